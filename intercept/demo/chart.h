// Charts drawn by a tool made for them: a program writes its data as CSV and
// hands it to a gnuplot script, instead of drawing pixels itself. The scripts
// live in intercept/demo/, which a program that links this piece finds as
// INTERCEPT_DEMO_DIR.
#ifndef INTERCEPT_DEMO_CHART_H_
#define INTERCEPT_DEMO_CHART_H_

#include <string>
#include <utility>
#include <vector>

// One number as printf formats it ("%.2f"): for the labels of the charts and
// the lines the programs print.
std::string formatted(const char* format, double value);

// Writes a CSV file: a header line of column names, then one line per row.
// A value that is not a number is left empty, which gnuplot reads as missing.
// Returns false when the file cannot be written.
bool writeCsv(const std::string& path, const std::vector<std::string>& columns,
              const std::vector<std::vector<double>>& rows);

// The values one run of a gnuplot script reads, by variable name: its input
// and output files, titles, anything else it is written to take. gnuplot sees
// each value as a string (it turns strings into numbers where needed).
using GnuplotVariables = std::vector<std::pair<std::string, std::string>>;

// The command that runs the script once per entry of runs, in one gnuplot
// process, as a user would type it in a shell.
std::string gnuplotCommand(const std::string& script,
                           const std::vector<GnuplotVariables>& runs);

// Runs gnuplotCommand's command, when gnuplot is on the PATH, with gnuplot's
// output on standard error, and returns whether gnuplot succeeded. Without
// gnuplot, or when it fails, it writes one line to standard error, starting
// with program, with the command to run, and returns false.
bool runGnuplot(const std::string& program, const std::string& script,
                const std::vector<GnuplotVariables>& runs);

#endif  // INTERCEPT_DEMO_CHART_H_
