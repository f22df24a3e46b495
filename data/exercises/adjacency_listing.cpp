// Shows a graph held as an adjacency list: a vector with one vector of
// neighbours per node, the node's number being its position in the outer
// vector. The program lists every node's neighbours; it does not search.
#include <cstdint>
#include <iostream>
#include <vector>

int main() {
  // Seven nodes, eight undirected edges. Each edge appears twice, once in the
  // list of each end node, and every list is in ascending order. Each inner
  // brace list becomes a std::vector<int>, which is copied into the outer one.
  // (The tests build this program once more with GRAPH_LISTS, another graph,
  // in which one node has no neighbours.)
  const std::vector<std::vector<int>> graph{
#ifdef GRAPH_LISTS
      GRAPH_LISTS
#else
      {1, 2},     // node 0
      {0, 4},     // node 1
      {0, 3, 4},  // node 2
      {2, 4, 5},  // node 3
      {1, 2, 3},  // node 4
      {3, 6},     // node 5
      {5},        // node 6
#endif
  };

  // List the graph: for each node in order, one line with "Node ", its
  // number, " is adjacent to [", each neighbour followed by one blank, and
  // "]"; after the last node, one empty line.
  return 0;
}
