// The host's own tools that setup-pack hands work to (mtools, xorriso, osslsigncode), run as
// child processes with an argument vector: no shell ever sees a name from the medium.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace medium {

// A tool that is missing or failed; the text says which and why.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs `argv` (argv[0] looked up on PATH) with standard input from /dev/null. Returns what
// it wrote to standard output and standard error. Throws ToolError when the program is not
// installed (naming the Debian `package` that brings it) or ends with another code than 0
// (with the last lines it wrote).
std::string RunHostTool(const std::vector<std::string>& argv, const std::string& package);

// A file that is written under a name of its own beside `target` and takes `target`'s name
// only when Commit() is called; otherwise it is removed, so that a failed tool never
// leaves half a file where the finished one belongs.
class PendingFile {
 public:
  explicit PendingFile(std::filesystem::path target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Where the tool writes.
  const std::filesystem::path& path() const { return pending_; }
  // The name a file for `target` is written under: .NAME.part-PID beside it.
  static std::filesystem::path PathFor(const std::filesystem::path& target);
  // Renames the written file to the target; throws ToolError when that fails.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path pending_;
  bool committed_ = false;
};

}  // namespace medium
