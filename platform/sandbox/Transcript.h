// system.log of the machine directory: one line for each call of a service that the
// sandbox does not carry out for real (DDE, COM registration and its taking back,
// processes, restart).
//
// Line format: the kind, then its fields, separated by one TAB, ending in LF. Inside a
// field, backslash, TAB, CR and LF are written as \\, \t, \r and \n, so that one call is
// always one line. Kinds and fields:
//   dde-connect   SERVICE  TOPIC  ok|no-server
//   dde-execute   SERVICE  TOPIC  COMMAND-TEXT
//   com-dll       PATH     called 0xHRESULT | not-loaded | no-entry-point
//   com-typelib   PATH     0xHRESULT
//   com-dll-unregister      PATH  called 0xHRESULT | not-loaded | no-entry-point | crashed
//   com-typelib-unregister  PATH  0xHRESULT | other-file | unsupported
//   process       COMMAND-LINE  SHOW-WINDOW  exit N | not-started
//   privilege     NAME     ok|refused
//   exit-windows  FLAGS    ok|failed N
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace sandbox {

class Transcript {
 public:
  explicit Transcript(std::filesystem::path file);
  // Appends one line and flushes it to the file at once.
  void Append(std::initializer_list<std::string> fields);
  // Every line written by this machine so far (without the LF).
  const std::vector<std::string>& Lines() const { return lines_; }
  // The escaped form of one field.
  static std::string Escape(const std::string& field);

 private:
  std::filesystem::path file_;
  std::vector<std::string> lines_;
};

}  // namespace sandbox
