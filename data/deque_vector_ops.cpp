// The same three operations on a double-ended queue and on a vector: fill
// with seeded normal numbers, print on one line, bubble-sort.
#include "deque_vector_ops.h"

#include <iostream>
#include <random>
#include <utility>

namespace {

constexpr unsigned fill_seed = 1;

// Both containers offer push_back, at and size, so one template serves each
// pair of operations.
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
  const int n = static_cast<int>(numbers.size());
  for (int i = 0; i < n - 1; ++i) {
    for (int j = 0; j < n - 1 - i; ++j) {
      const auto here = static_cast<typename Container::size_type>(j);
      if (numbers.at(here) > numbers.at(here + 1)) {
        std::swap(numbers.at(here), numbers.at(here + 1));
      }
    }
  }
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
