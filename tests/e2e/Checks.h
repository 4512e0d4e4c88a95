// The checks of the Windows-side test programs: each is counted, a failing one is printed
// with what was seen, and the program closes with "N passed, N failed", which the Wine run
// looks for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Counts the checks and reports the failing ones as they happen.
class Checks {
 public:
  // Records one check; `detail` says what was seen when it failed.
  bool Expect(bool ok, const std::string& name, const std::string& detail = {}) {
    if (ok) {
      ++passed_;
    } else {
      ++failed_;
      std::printf("FAIL: %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    return ok;
  }

  bool EqualText(const std::string& actual, const std::string& expected, const std::string& name) {
    return Expect(actual == expected, name, "got \"" + actual + "\", want \"" + expected + "\"");
  }

  bool EqualNumber(std::uint64_t actual, std::uint64_t expected, const std::string& name) {
    return Expect(actual == expected, name,
                  "got " + std::to_string(actual) + ", want " + std::to_string(expected));
  }

  int Failed() const { return failed_; }
  int Passed() const { return passed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

// Prints the closing line; the program's exit code: 0 when every check passed.
inline int Report(const Checks& checks) {
  std::printf("%d passed, %d failed\n", checks.Passed(), checks.Failed());
  std::fflush(stdout);
  return checks.Failed() == 0 ? 0 : 1;
}
