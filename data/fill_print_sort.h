// Filling, printing and bubble-sorting a std::deque<double> and a
// std::vector<double>: one operation per container, alike in behaviour.
#ifndef DATA_FILL_PRINT_SORT_H_
#define DATA_FILL_PRINT_SORT_H_

#include <deque>
#include <vector>

// Appends `count` normally distributed values (mean `mean`, standard
// deviation `sd`) at the back, from an engine seeded with 1 on every call, so
// equal arguments always append equal values; a count of 0 or less appends
// nothing.
void populateDeque(std::deque<double>& numbers, int count, double mean,
                   double sd);
void populateVector(std::vector<double>& numbers, int count, double mean,
                    double sd);

// Writes the elements front to back on one line, each followed by one blank,
// then a line break; an empty container writes only the line break.
void printDeque(std::deque<double>& numbers);
void printVector(std::vector<double>& numbers);

// Sorts ascending in place by bubble sort: always n - 1 full passes, and
// equal elements are never exchanged, so they keep their order.
void bubble_sort(std::deque<double>& numbers);
void bubble_sort(std::vector<double>& numbers);

#endif  // DATA_FILL_PRINT_SORT_H_
