// Shows a graph held as an adjacency list: a vector with one vector of
// neighbours per node, the node's number being its position in the outer
// vector. The program lists every node's neighbours; it does not search.
#include <cstdint>
#include <iostream>
#include <vector>

// Seven nodes, eight undirected edges: 0-1, 0-2, 1-4, 2-3, 2-4, 3-4, 3-5 and
// 5-6. The n-th list holds node n's neighbours in ascending order, so each
// edge appears twice, once in the list of each end node. The tests build this
// program once more with another graph, in which one node has no neighbours.
#ifndef GRAPH_LISTS
#define GRAPH_LISTS {1, 2}, {0, 4}, {0, 3, 4}, {2, 4, 5}, {1, 2, 3}, {3, 6}, {5}
#endif

int main() {
  // Each inner brace list becomes a std::vector<int>, which is copied into
  // the outer one.
  const std::vector<std::vector<int>> graph{GRAPH_LISTS};

  // List the graph: for each node in order, one line with "Node ", its
  // number, " is adjacent to [", each neighbour followed by one blank, and
  // "]"; after the last node, one empty line.
  return 0;
}
