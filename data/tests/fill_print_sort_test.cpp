// Tests of the container operations: the deque and the vector versions of
// fill, print and bubble sort, each held to the same expectations.
#include "fill_print_sort.h"

#include <cmath>
#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "capture_cout.h"

// The two containers, std::deque<double> and std::vector<double>, under
// short names: GoogleTest names a type parameter by its full type, so test
// lists (ctest's too) would read ContainerOpsTest.Fill<std::deque<double,
// std::allocator<double> >> rather than ContainerOpsTest.Fill<Deque>. They
// stand outside the anonymous namespace, whose name would show as well.
struct Deque : std::deque<double> {
  using deque::deque;
};
struct Vector : std::vector<double> {
  using vector::vector;
};

namespace {

// One name per operation, so that a typed test reaches both containers'.
void populate(std::deque<double>& numbers, int count, double mean, double sd) {
  populateDeque(numbers, count, mean, sd);
}
void populate(std::vector<double>& numbers, int count, double mean, double sd) {
  populateVector(numbers, count, mean, sd);
}
void print(std::deque<double>& numbers) { printDeque(numbers); }
void print(std::vector<double>& numbers) { printVector(numbers); }

template <typename Container>
class ContainerOpsTest : public testing::Test {};

using Containers = testing::Types<Deque, Vector>;
// The empty third argument keeps clang's -Wpedantic quiet about the macro.
TYPED_TEST_SUITE(ContainerOpsTest, Containers, );

// Tests sorting nothing, one element, sorted input and reversed input.
TYPED_TEST(ContainerOpsTest, SortOrders) {
  TypeParam empty;
  bubble_sort(empty);
  EXPECT_TRUE(empty.empty());
  TypeParam one{-2.5};
  bubble_sort(one);
  EXPECT_EQ(TypeParam{-2.5}, one);

  const TypeParam sorted{-3.0, 0.0, 1.5, 9.75};
  TypeParam ascending = sorted;
  bubble_sort(ascending);
  EXPECT_EQ(sorted, ascending);
  TypeParam descending(sorted.rbegin(), sorted.rend());
  bubble_sort(descending);
  EXPECT_EQ(sorted, descending)
      << "bubble_sort left a descending list unsorted";
}

// Tests that sorting keeps every value exactly, and equal values in their
// order: 0.0 and -0.0 compare equal but their signs tell them apart. In the
// longer list the zeros meet an even number of times, so a sort that
// exchanged equal values would put them back; alone, they meet once.
TYPED_TEST(ContainerOpsTest, SortKeepsValuesAndOrder) {
  TypeParam numbers{0.1, -0.0, 2.75, 0.0, -1.125, 2.75};
  bubble_sort(numbers);
  ASSERT_EQ((TypeParam{-1.125, 0.0, 0.0, 0.1, 2.75, 2.75}), numbers);
  EXPECT_TRUE(std::signbit(numbers.at(1)));
  EXPECT_FALSE(std::signbit(numbers.at(2)));

  TypeParam zeros{-0.0, 0.0};
  bubble_sort(zeros);
  EXPECT_TRUE(std::signbit(zeros.at(0)));
}

// Tests that equal fills append equal values, in either container, behind
// what is there; a count of 0 or below appends nothing.
TYPED_TEST(ContainerOpsTest, Fill) {
  TypeParam numbers{42.0};
  populate(numbers, 5, 8.0, 4.0);
  std::vector<double> other;
  populateVector(other, 5, 8.0, 4.0);
  other.insert(other.begin(), 42.0);
  EXPECT_EQ(other, std::vector<double>(numbers.begin(), numbers.end()));

  for (const int count : {0, -1}) {
    TypeParam unchanged{1.0};
    populate(unchanged, count, 8.0, 4.0);
    EXPECT_EQ(TypeParam{1.0}, unchanged) << "count " << count;
  }
}

// Tests the printed line: every value followed by one blank, six significant
// digits; an empty container prints only the line break.
TYPED_TEST(ContainerOpsTest, Print) {
  TypeParam empty;
  EXPECT_EQ("\n", capturedCout([&] { print(empty); }));
  TypeParam numbers{7.0, -0.25, 3.14159265, 1234567.0};
  EXPECT_EQ("7 -0.25 3.14159 1.23457e+06 \n",
            capturedCout([&] { print(numbers); }));
}

}  // namespace
