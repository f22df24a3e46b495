// Makes the sample picture "megumin.jpg" in the working directory for the
// pixel access program, unless a picture of that name is there already.
#include <filesystem>
#include <iostream>

#include "sample_picture.h"

int main() {
  const char* name = "megumin.jpg";

  // A picture of the user's own under that name is kept as it is.
  if (std::filesystem::exists(name)) {
    std::cout << name << " is there already: left as it is" << std::endl;
    return 0;
  }

  if (!writeSamplePicture(name)) {
    std::cerr << "Could not write " << name << std::endl;
    return 1;
  }
  std::cout << "Drew " << name << ": " << sample_width << " x " << sample_height
            << ", row 400 pure white over columns 0 to " << white_end - 1
            << " and near-white over " << white_end << " to "
            << near_white_end - 1 << std::endl;
  return 0;
}
