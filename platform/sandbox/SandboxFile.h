// An open file of the emulated machine, and the state it shares with the file service:
// the table of open files that Windows sharing rules are checked against, the attributes
// marked on files and directories, and the last error.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/sandbox/Faults.h"

namespace sandbox {

// FILE_SHARE_DELETE: lets the file be deleted while this handle is open.
constexpr std::uint32_t kFileShareDelete = 0x4;

// A host file descriptor, closed when the object goes away.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  // The descriptor, -1 when none.
  int Get() const { return fd_; }
  // Gives up ownership.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The access and sharing that one open handle holds.
struct OpenGrant {
  std::uint64_t id = 0;
  std::uint32_t access = 0;
  std::uint32_t share = 0;
};

// A host entry's device, inode and link count as the identity Windows would give.
platform::FileInfo InfoOfStat(const struct stat& info);

// Whether a new open with `access` and `share` is compatible with every existing grant.
bool SharingAllows(const std::vector<OpenGrant>& grants, std::uint32_t access, std::uint32_t share);

// What the file service and its open files share. Keys are host paths.
struct FilesState {
  explicit FilesState(Faults& faults) : faults(faults) {}
  Faults& faults;
  std::map<std::string, std::vector<OpenGrant>> opens;
  // Attributes set on an entry; entries not listed read as the defaults.
  std::map<std::string, std::uint32_t> markedAttributes;
  std::uint32_t lastError = 0;
  std::uint64_t nextGrantId = 1;
};

class SandboxFile : public platform::File {
 public:
  // Takes `fd` and registers the grant under `key`; `drive` is the file's drive letter.
  SandboxFile(std::shared_ptr<FilesState> state, std::string key, UniqueFd fd, std::uint32_t access,
              std::uint32_t share, char drive);
  ~SandboxFile() override;
  SandboxFile(const SandboxFile&) = delete;
  SandboxFile& operator=(const SandboxFile&) = delete;

  std::int64_t Read(void* buffer, std::uint32_t size) override;
  // Honours the drive's fill fault: writes what fits, then fails with kErrorDiskFull.
  std::int64_t Write(const void* data, std::uint32_t size) override;
  // Stores the time rounded down to an even second; later writes through this handle keep it.
  bool SetLastWriteTime(platform::FileTime time) override;
  // The host file's device and inode stand for the volume and the file index.
  std::optional<platform::FileInfo> Info() override;
  // Moves the file pointer to the end, so that writes add to the file. False on failure.
  bool SeekToEnd();

 private:
  bool Fail(std::uint32_t error);
  std::int64_t FailIo(std::uint32_t error);
  bool WriteAll(const char* data, std::size_t size);
  void ApplyPinnedTime();

  std::shared_ptr<FilesState> state_;
  std::string key_;
  UniqueFd fd_;
  std::uint64_t grantId_;
  std::uint32_t access_;
  char drive_;
  std::optional<platform::FileTime> pinnedTime_;
};

}  // namespace sandbox
