// Tests of the chart helpers: the CSV a gnuplot script reads, and the one
// line that says how to draw it where gnuplot is missing.
#include "chart.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// Tests that a value that is not a number is left empty (gnuplot's missing
// value), and that a file that cannot be written is reported.
TEST(ChartTest, WritesCsvWithMissingValues) {
  const std::string path = testing::TempDir() + "chart_test.csv";
  ASSERT_TRUE(writeCsv(path, {"t", "x"}, {{0.0, 1.5}, {0.02, std::nan("")}}));
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ("t,x\n0,1.5\n0.02,\n", text.str());
  std::remove(path.c_str());
  EXPECT_FALSE(writeCsv("/nonexistent/folder/x.csv", {"t"}, {{1.0}}));
}

// Tests that without gnuplot on the PATH nothing runs and one line on
// standard error gives a command a shell runs as it stands: each run's
// values as gnuplot strings, quoted for the shell.
TEST(ChartTest, SaysHowToDrawWithoutGnuplot) {
  const std::vector<GnuplotVariables> runs{
      {{"data", "a.csv"}, {"title", "Bob's flight"}}, {{"data", "b.csv"}}};
  EXPECT_EQ(
      "gnuplot -e \"data='a.csv'; title='Bob''s flight'\" /x/flight.gp "
      "-e \"data='b.csv'\" /x/flight.gp",
      gnuplotCommand("/x/flight.gp", runs));

  const char* path = std::getenv("PATH");
  const std::string saved = path == nullptr ? "" : path;
  setenv("PATH", "/nonexistent", 1);
  std::stringstream said;
  std::streambuf* cerr_buffer = std::cerr.rdbuf(said.rdbuf());
  const bool drawn = runGnuplot("demo", "/x/flight.gp", runs);
  std::cerr.rdbuf(cerr_buffer);
  setenv("PATH", saved.c_str(), 1);

  EXPECT_FALSE(drawn);
  EXPECT_EQ("demo: gnuplot not found; to draw the charts run: " +
                gnuplotCommand("/x/flight.gp", runs) + "\n",
            said.str());
}

}  // namespace
