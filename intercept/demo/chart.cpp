// Writing CSV and running a gnuplot script on it: gnuplot is started directly,
// without a shell, so that no file name or title needs shell quoting.
#include "chart.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The arguments of gnuplot: -e <assignments> <script>, once per run, each
// run's variables set as gnuplot strings (a quote inside is doubled,
// gnuplot's escape in single quotes).
std::vector<std::string> arguments(const std::string& script,
                                   const std::vector<GnuplotVariables>& runs) {
  std::vector<std::string> args{"gnuplot"};
  for (const GnuplotVariables& run : runs) {
    std::string assignments;
    for (const auto& [name, value] : run) {
      assignments += (assignments.empty() ? "" : "; ") + name + "='";
      for (char c : value) {
        assignments += c == '\'' ? std::string("''") : std::string(1, c);
      }
      assignments += "'";
    }
    args.insert(args.end(), {"-e", assignments, script});
  }
  return args;
}

// The argument in double quotes if a shell would otherwise split or expand it.
std::string shellWord(const std::string& word) {
  if (word.find_first_of(" '\"$`\\;*?") == std::string::npos) {
    return word;
  }
  std::string quoted = "\"";
  for (char c : word) {
    if (c == '"' || c == '$' || c == '`' || c == '\\') {
      quoted += '\\';
    }
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

bool writeCsv(const std::string& path, const std::vector<std::string>& columns,
              const std::vector<std::vector<double>>& rows) {
  std::ofstream out(path);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    out << (i == 0 ? "" : ",") << columns[i];
  }
  out << '\n';
  for (const std::vector<double>& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      out << (i == 0 ? "" : ",")
          << (std::isnan(row[i]) ? std::string() : formatted("%.10g", row[i]));
    }
    out << '\n';
  }
  out.close();
  return static_cast<bool>(out);
}

std::string gnuplotCommand(const std::string& script,
                           const std::vector<GnuplotVariables>& runs) {
  std::string command;
  for (const std::string& arg : arguments(script, runs)) {
    command += (command.empty() ? "" : " ") + shellWord(arg);
  }
  return command;
}

bool runGnuplot(const std::string& program, const std::string& script,
                const std::vector<GnuplotVariables>& runs) {
  std::vector<std::string> args = arguments(script, runs);
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  // gnuplot's own output goes to standard error: standard output stays the
  // program's. posix_spawnp searches the PATH as a shell would.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, "gnuplot", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned == ENOENT) {
    std::cerr << program << ": gnuplot not found; to draw the charts run: "
              << gnuplotCommand(script, runs) << std::endl;
    return false;
  }
  int status = 0;
  pid_t waited = -1;
  if (spawned == 0) {
    do {  // again if a signal broke the wait off
      waited = waitpid(child, &status, 0);
    } while (waited == -1 && errno == EINTR);
  }
  if (waited == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::cerr << program << ": gnuplot did not draw the charts; the command "
              << "was: " << gnuplotCommand(script, runs) << std::endl;
    return false;
  }
  return true;
}
