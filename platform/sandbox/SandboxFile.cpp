#include "platform/sandbox/SandboxFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/sandbox/SandboxClock.h"

namespace sandbox {
namespace {

// File times are kept at two-second resolution, as on a FAT volume.
constexpr std::uint64_t kTwoSeconds = 20'000'000;

std::uint32_t ErrorFromErrno(int error) {
  switch (error) {
    case ENOSPC:
      return platform::kErrorDiskFull;
    case EBADF:
      return platform::kErrorInvalidHandle;
    default:
      return platform::kErrorAccessDenied;
  }
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

platform::FileInfo InfoOfStat(const struct stat& info) {
  platform::FileInfo result;
  // Folded to the 32 bits of a volume serial number.
  const auto device = static_cast<std::uint64_t>(info.st_dev);
  result.identity.volume = static_cast<std::uint32_t>(device ^ (device >> 32));
  result.identity.index = static_cast<std::uint64_t>(info.st_ino);
  result.links = static_cast<std::uint32_t>(info.st_nlink);
  return result;
}

std::optional<platform::FileInfo> SandboxFile::Info() {
  struct stat info {};
  if (::fstat(fd_.Get(), &info) != 0) {
    Fail(ErrorFromErrno(errno));
    return std::nullopt;
  }
  return InfoOfStat(info);
}

bool SharingAllows(const std::vector<OpenGrant>& grants, std::uint32_t access,
                   std::uint32_t share) {
  using platform::kFileShareRead, platform::kFileShareWrite, platform::kGenericRead,
      platform::kGenericWrite;
  return std::all_of(grants.begin(), grants.end(), [&](const OpenGrant& grant) {
    if ((access & kGenericRead) && !(grant.share & kFileShareRead)) return false;
    if ((access & kGenericWrite) && !(grant.share & kFileShareWrite)) return false;
    if ((grant.access & kGenericRead) && !(share & kFileShareRead)) return false;
    if ((grant.access & kGenericWrite) && !(share & kFileShareWrite)) return false;
    return true;
  });
}

SandboxFile::SandboxFile(std::shared_ptr<FilesState> state, std::string key, UniqueFd fd,
                         std::uint32_t access, std::uint32_t share, char drive)
    : state_(std::move(state)),
      key_(std::move(key)),
      fd_(std::move(fd)),
      grantId_(state_->nextGrantId++),
      access_(access),
      drive_(drive) {
  state_->opens[key_].push_back(OpenGrant{grantId_, access, share});
}

SandboxFile::~SandboxFile() {
  const auto it = state_->opens.find(key_);
  if (it == state_->opens.end()) return;
  std::erase_if(it->second, [&](const OpenGrant& grant) { return grant.id == grantId_; });
  if (it->second.empty()) state_->opens.erase(it);
}

bool SandboxFile::Fail(std::uint32_t error) {
  state_->lastError = error;
  return false;
}

std::int64_t SandboxFile::FailIo(std::uint32_t error) {
  Fail(error);
  return -1;
}

std::int64_t SandboxFile::Read(void* buffer, std::uint32_t size) {
  if (!(access_ & platform::kGenericRead)) return FailIo(platform::kErrorAccessDenied);
  std::size_t done = 0;
  char* out = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t count = ::read(fd_.Get(), out + done, size - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return FailIo(ErrorFromErrno(errno));
    if (count == 0) break;
    done += static_cast<std::size_t>(count);
  }
  return static_cast<std::int64_t>(done);
}

bool SandboxFile::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(fd_.Get(), data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return Fail(ErrorFromErrno(errno));
    data += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

std::int64_t SandboxFile::Write(const void* data, std::uint32_t size) {
  if (!(access_ & platform::kGenericWrite)) return FailIo(platform::kErrorAccessDenied);
  const char* bytes = static_cast<const char*>(data);
  // Writing marks the file for backup, as Windows does.
  if (const auto marked = state_->markedAttributes.find(key_);
      marked != state_->markedAttributes.end()) {
    marked->second =
        (marked->second & ~platform::kFileAttributeNormal) | platform::kFileAttributeArchive;
  }
  std::int64_t result = size;
  const auto budget = state_->faults.driveFillsAfter.find(drive_);
  if (budget != state_->faults.driveFillsAfter.end()) {
    if (size > budget->second) {
      const auto fits = static_cast<std::size_t>(budget->second);
      budget->second = 0;
      if (WriteAll(bytes, fits)) Fail(platform::kErrorDiskFull);
      result = -1;
      size = 0;
    } else {
      budget->second -= size;
    }
  }
  if (size > 0 && !WriteAll(bytes, size)) result = -1;
  ApplyPinnedTime();
  return result;
}

bool SandboxFile::SetLastWriteTime(platform::FileTime time) {
  if (!(access_ & platform::kGenericWrite)) return Fail(platform::kErrorAccessDenied);
  pinnedTime_ = platform::FileTime{time.ticks - time.ticks % kTwoSeconds};
  ApplyPinnedTime();
  return true;
}

bool SandboxFile::SeekToEnd() {
  if (::lseek(fd_.Get(), 0, SEEK_END) < 0) return Fail(ErrorFromErrno(errno));
  return true;
}

void SandboxFile::ApplyPinnedTime() {
  if (!pinnedTime_) return;
  const UnixTime hostTime = UnixFromFileTime(*pinnedTime_);
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(hostTime.seconds);
  times[1].tv_nsec = static_cast<long>(hostTime.nanoseconds);
  ::futimens(fd_.Get(), times);
}

}  // namespace sandbox
