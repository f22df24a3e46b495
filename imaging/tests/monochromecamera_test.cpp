// Tests of the simulated camera: image sizes chosen by the size character,
// the intensity range, the halving rows and the image count.
#include "monochromecamera.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Image = std::vector<std::vector<int>>;

// Expects `image` to have `rows` rows of `columns` values, as the camera says.
void expectSize(MonochromeCamera& camera, const Image& image, int rows,
                int columns) {
  ASSERT_EQ(static_cast<std::size_t>(rows), image.size())
      << "rows in the image that takeImage returned";
  for (const std::vector<int>& row : image) {
    EXPECT_EQ(static_cast<std::size_t>(columns), row.size());
  }
  EXPECT_EQ(rows, camera.getImageRows());
  EXPECT_EQ(columns, camera.getImageColumns());
}

// Tests that 'A' and 'B' choose 5 x 4 and 25 x 16, in either order.
TEST(MonochromeCameraTest, SizeCharacters) {
  MonochromeCamera camera;
  EXPECT_EQ(5, camera.getImageRows());
  EXPECT_EQ(4, camera.getImageColumns());
  expectSize(camera, camera.takeImage('B'), 25, 16);
  expectSize(camera, camera.takeImage('A'), 5, 4);
}

// Tests that any other character, lower case and NUL included, keeps the
// last size: 5 x 4 after construction, 25 x 16 after a 'B'.
TEST(MonochromeCameraTest, OtherCharactersKeepTheSize) {
  MonochromeCamera camera;
  expectSize(camera, camera.takeImage('a'), 5, 4);
  expectSize(camera, camera.takeImage('Z'), 5, 4);
  camera.takeImage('B');
  expectSize(camera, camera.takeImage('b'), 25, 16);
  expectSize(camera, camera.takeImage('\0'), 25, 16);
}

// Tests that every value lies in [0, 255], every row below the top is the
// row above halved (so rows from index 8 on are zero), and the top rows vary
// and reach both ends of the range: a fixed seed, or a draw over [0, 255)
// whose truncation never gives 255, shows here. (Each of the 3,200 values is
// 0, or 255, with odds 1 in 256: missing an end happens about once in 140,000
// runs.)
TEST(MonochromeCameraTest, RandomTopRowFadingByHalves) {
  MonochromeCamera camera;
  std::vector<int> first_top = camera.takeImage('B').front();
  bool varies = false;
  int lowest = 255;
  int highest = 0;
  for (int take = 0; take < 200; ++take) {
    Image image = camera.takeImage('B');
    ASSERT_EQ(25u, image.size());
    varies = varies || image.front() != first_top;
    for (int value : image.front()) {
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
    }
    for (std::size_t row = 0; row < image.size(); ++row) {
      for (std::size_t column = 0; column < image[row].size(); ++column) {
        int value = image[row][column];
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 255);
        if (row > 0) {
          ASSERT_EQ(image[row - 1][column] / 2, value)
              << "row " << row << ", column " << column;
        }
        if (row >= 8) {
          ASSERT_EQ(0, value) << "row " << row << ", column " << column;
        }
      }
    }
  }
  EXPECT_TRUE(varies);
  EXPECT_EQ(0, lowest);
  EXPECT_EQ(255, highest);
}

// Tests the image count and the fixed characteristics, after construction
// and after calls with any characters.
TEST(MonochromeCameraTest, CountAndFixedCharacteristics) {
  MonochromeCamera camera;
  EXPECT_EQ(0, camera.getSampleNumber());
  int taken = 0;
  for (char size : {'A', 'B', 'x', 'a', 'B', '7'}) {
    camera.takeImage(size);
    EXPECT_EQ(++taken, camera.getSampleNumber());
    EXPECT_DOUBLE_EQ(1.0, camera.getSamplingTime());
    EXPECT_EQ(0u, camera.getMinValue());
    EXPECT_EQ(255u, camera.getMaxValue());
  }
}

}  // namespace
