// The test event log: see test_events.h.
#include "test_events.h"

#include <cstdlib>

namespace {

std::string testName(const testing::TestInfo& test) {
  return std::string(test.test_suite_name()) + "." + test.name();
}

// Installed before main, so that GoogleTest's own main needs no change.
[[maybe_unused]] const bool installed = installTestEventLog();

}  // namespace

TestEventLog::TestEventLog(std::FILE* file) : file_(file) {}

TestEventLog::~TestEventLog() { std::fclose(file_); }

void TestEventLog::OnTestStart(const testing::TestInfo& test) {
  running_ = testName(test);
  write("{\"event\": \"start\", \"test\": " + jsonString(running_) + "}");
}

void TestEventLog::OnTestPartResult(const testing::TestPartResult& result) {
  if (!result.failed()) {
    return;
  }
  const char* file = result.file_name();
  write("{\"event\": \"failure\", \"test\": " + jsonString(running_) +
        ", \"file\": " + jsonString(file == nullptr ? "" : file) +
        ", \"line\": " + std::to_string(result.line_number()) +
        ", \"message\": " + jsonString(result.message()) + "}");
}

void TestEventLog::OnTestEnd(const testing::TestInfo& test) {
  const bool passed = !test.result()->Failed();
  write("{\"event\": \"end\", \"test\": " + jsonString(testName(test)) +
        ", \"passed\": " + (passed ? "true" : "false") + "}");
  running_.clear();
}

void TestEventLog::write(const std::string& line) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::fputs((line + "\n").c_str(), file_);
  std::fflush(file_);
}

bool installTestEventLog() {
  const char* path = std::getenv("PELTRA_TEST_EVENTS");
  if (path == nullptr || *path == '\0') {
    return false;
  }
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) {
    return false;
  }
  testing::UnitTest::GetInstance()->listeners().Append(new TestEventLog(file));
  return true;
}

std::string jsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (code < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}
