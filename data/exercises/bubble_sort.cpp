// The same three operations on a double-ended queue and on a vector: fill
// with seeded normal numbers, print on one line, bubble-sort.
#include <iostream>
#include <random>
#include <utility>

#include "fill_print_sort.h"

namespace {

constexpr unsigned fill_seed = 1;

// Both containers offer push_back, at and size, so one template serves each
// pair of operations.

// A fresh engine with the same seed on every call: equal fills give equal
// numbers, which is why the program's deque and vector hold the same five.
template <typename Container>
void populate(Container& numbers, int count, double mean, double sd) {
  std::minstd_rand0 engine(fill_seed);
  std::normal_distribution<double> distribution(mean, sd);
  for (int i = 0; i < count; ++i) {
    numbers.push_back(distribution(engine));
  }
}

template <typename Container>
void print(const Container& numbers) {
  for (const double number : numbers) {
    std::cout << number << " ";
  }
  std::cout << std::endl;
}

template <typename Container>
void bubbleSort(Container& numbers) {
  // Sort numbers ascending in place: pass over them n - 1 times, each time
  // exchanging every two neighbours that are out of order (never two equal
  // ones), reading and writing them through numbers.at().
}

}  // namespace

void populateDeque(std::deque<double>& numbers, int count, double mean,
                   double sd) {
  populate(numbers, count, mean, sd);
}

void populateVector(std::vector<double>& numbers, int count, double mean,
                    double sd) {
  populate(numbers, count, mean, sd);
}

void printDeque(std::deque<double>& numbers) { print(numbers); }

void printVector(std::vector<double>& numbers) { print(numbers); }

void bubble_sort(std::deque<double>& numbers) { bubbleSort(numbers); }

void bubble_sort(std::vector<double>& numbers) { bubbleSort(numbers); }
