// Tests of printNumberVector: the line rand_vector_main prints for a vector.
#include "print_number_vector.h"

#include <vector>

#include <gtest/gtest.h>

#include "capture_cout.h"

namespace {

std::string printed(const std::vector<double>& numbers) {
  return capturedCout([&] { printNumberVector(numbers); });
}

// Tests the empty vector ("empty", then an empty line) and one element.
TEST(PrintNumberVectorTest, EmptyAndOne) {
  EXPECT_EQ("empty\n\n", printed({}));
  EXPECT_EQ("2.5 \n", printed({2.5}));
}

// Tests several elements in the default format: six significant digits,
// whole numbers without a point, exponent notation where the value needs it.
TEST(PrintNumberVectorTest, SeveralElements) {
  EXPECT_EQ("1 -0.5 3.14159 1.23457e+06 \n",
            printed({1.0, -0.5, 3.14159265, 1234567.0}));
}

}  // namespace
