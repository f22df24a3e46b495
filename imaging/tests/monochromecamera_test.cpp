// Tests of the simulated camera: image sizes chosen by the size character,
// the intensity range, the halving rows and the image count.
#include "monochromecamera.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Image = std::vector<std::vector<int>>;

// Expects `image` to have `rows` rows of `columns` values each.
void expectSize(const Image& image, std::size_t rows, std::size_t columns) {
  ASSERT_EQ(rows, image.size());
  for (const std::vector<int>& row : image) {
    EXPECT_EQ(columns, row.size());
  }
}

// Tests that 'A' and 'B' choose 5 x 4 and 25 x 16, and that the getters
// report the size of the image just taken.
TEST(MonochromeCameraTest, SizeCharacters) {
  MonochromeCamera camera;
  EXPECT_EQ(5, camera.getImageRows());
  EXPECT_EQ(4, camera.getImageColumns());

  expectSize(camera.takeImage('B'), 25, 16);
  EXPECT_EQ(25, camera.getImageRows());
  EXPECT_EQ(16, camera.getImageColumns());

  expectSize(camera.takeImage('A'), 5, 4);
  EXPECT_EQ(5, camera.getImageRows());
  EXPECT_EQ(4, camera.getImageColumns());
}

// Tests that any other character, lower case included, keeps the last size:
// 5 x 4 after construction, 25 x 16 after a 'B'.
TEST(MonochromeCameraTest, OtherCharactersKeepTheSize) {
  MonochromeCamera camera;
  expectSize(camera.takeImage('a'), 5, 4);
  expectSize(camera.takeImage('Z'), 5, 4);
  expectSize(camera.takeImage('\0'), 5, 4);

  camera.takeImage('B');
  expectSize(camera.takeImage('b'), 25, 16);
  expectSize(camera.takeImage('Z'), 25, 16);
  EXPECT_EQ(25, camera.getImageRows());
  EXPECT_EQ(16, camera.getImageColumns());
}

// Tests that every value lies in [0, 255] and every row below the top is the
// row above halved, so a 25-row image is all zeros from row 8 on. Many images
// are taken, so that values near both ends of the range turn up.
TEST(MonochromeCameraTest, ValuesFadeByHalves) {
  MonochromeCamera camera;
  for (int take = 0; take < 200; ++take) {
    Image image = camera.takeImage('B');
    ASSERT_EQ(25u, image.size());
    for (std::size_t row = 0; row < image.size(); ++row) {
      for (std::size_t column = 0; column < image[row].size(); ++column) {
        int value = image[row][column];
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 255);
        if (row > 0) {
          EXPECT_EQ(image[row - 1][column] / 2, value) << "row " << row << ", column " << column;
        }
        if (row >= 8) {
          EXPECT_EQ(0, value) << "row " << row << ", column " << column;
        }
      }
    }
  }
}

// Tests that the top rows vary from image to image and spread over the whole
// range (the clock seeds every pixel afresh): a wrong range or a constant
// seed shows here.
TEST(MonochromeCameraTest, TopRowIsRandom) {
  MonochromeCamera camera;
  std::vector<int> first_top = camera.takeImage('B').front();
  bool differs = false;
  int lowest = 255;
  int highest = 0;
  for (int take = 0; take < 200; ++take) {
    std::vector<int> top = camera.takeImage('B').front();
    differs = differs || top != first_top;
    for (int value : top) {
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
    }
  }
  EXPECT_TRUE(differs);
  EXPECT_LE(lowest, 15);
  EXPECT_GE(highest, 240);
}

// Tests the image count after construction and after calls with any
// characters, and that the copy returned is the image the camera keeps
// (taking another image leaves an earlier copy as it was).
TEST(MonochromeCameraTest, CountsImages) {
  MonochromeCamera camera;
  EXPECT_EQ(0, camera.getSampleNumber());
  const char sizes[] = {'A', 'B', 'x', 'a', 'B', 'A', '7'};
  int taken = 0;
  for (char size : sizes) {
    camera.takeImage(size);
    EXPECT_EQ(++taken, camera.getSampleNumber());
  }
  Image earlier = camera.takeImage('A');
  Image kept = earlier;
  camera.takeImage('B');
  EXPECT_EQ(kept, earlier);
}

// Tests the fixed characteristics, before and after images of both sizes.
TEST(MonochromeCameraTest, FixedCharacteristics) {
  MonochromeCamera camera;
  for (char size : {'\0', 'A', 'B', 'q'}) {
    if (size != '\0') {
      camera.takeImage(size);
    }
    EXPECT_DOUBLE_EQ(1.0, camera.getSamplingTime());
    EXPECT_EQ(0u, camera.getMinValue());
    EXPECT_EQ(255u, camera.getMaxValue());
  }
}

}  // namespace
