#include "tools/medium/HostTool.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace medium {
namespace fs = std::filesystem;
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// The file actions of a child: stdin from /dev/null, stdout and stderr into `pipe`.
class ChildFiles {
 public:
  explicit ChildFiles(int pipe) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions_, pipe, 1);
    posix_spawn_file_actions_adddup2(&actions_, pipe, 2);
  }
  ~ChildFiles() { posix_spawn_file_actions_destroy(&actions_); }
  ChildFiles(const ChildFiles&) = delete;
  ChildFiles& operator=(const ChildFiles&) = delete;
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

// The last `count` lines of a tool's output, for a message.
std::string LastLines(const std::string& output, int count) {
  std::size_t start = output.size();
  while (start > 0 && (output[start - 1] == '\n' || output[start - 1] == '\r')) --start;
  const std::size_t end = start;
  for (int found = 0; start > 0; --start)
    if (output[start - 1] == '\n' && ++found == count) break;
  return output.substr(start, end - start);
}

std::string Joined(const std::vector<std::string>& argv) {
  std::string text;
  for (const std::string& arg : argv) text += (text.empty() ? "" : " ") + arg;
  return text;
}

}  // namespace

std::string RunHostTool(const std::vector<std::string>& argv, const std::string& package) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    throw ToolError("cannot start " + argv.at(0) + ": " + std::strerror(errno));
  Descriptor readEnd(ends[0]);
  Descriptor writeEnd(ends[1]);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t child = 0;
  const int spawned = [&] {
    ChildFiles files(writeEnd.get());
    return posix_spawnp(&child, args[0], files.get(), nullptr, args.data(), environ);
  }();
  writeEnd.Close();
  if (spawned == ENOENT)
    throw ToolError(argv[0] + " is not installed (it comes with the Debian package " + package +
                    ")");
  if (spawned != 0) throw ToolError("cannot start " + argv[0] + ": " + std::strerror(spawned));

  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(readEnd.get(), buffer, sizeof buffer);
    if (got > 0) {
      output.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return output;
  const std::string how = WIFEXITED(status)
                              ? "ended with exit code " + std::to_string(WEXITSTATUS(status))
                              : "was killed by signal " + std::to_string(WTERMSIG(status));
  throw ToolError(Joined(argv) + " " + how + ":\n" + LastLines(output, 6));
}

fs::path PendingFile::PathFor(const fs::path& target) {
  fs::path pending = target;
  pending.replace_filename("." + target.filename().string() + ".part-" +
                           std::to_string(::getpid()));
  return pending;
}

PendingFile::PendingFile(fs::path target) : target_(std::move(target)), pending_(PathFor(target_)) {
  std::error_code error;
  fs::remove(pending_, error);  // left by an earlier run of ours that was killed
}

PendingFile::~PendingFile() {
  if (committed_) return;
  std::error_code error;
  fs::remove(pending_, error);
}

void PendingFile::Commit() {
  std::error_code error;
  fs::rename(pending_, target_, error);
  if (error) throw ToolError("cannot write " + target_.string() + ": " + error.message());
  committed_ = true;
}

}  // namespace medium
