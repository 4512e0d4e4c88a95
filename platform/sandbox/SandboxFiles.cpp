#include "platform/sandbox/SandboxFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/sandbox/Devices.h"
#include "platform/sandbox/SandboxClock.h"
#include "platform/sandbox/Wildcards.h"
#include "script/Text.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;
using platform::Disposition;

// The attribute bits a program can set; the directory bit belongs to the entry itself.
constexpr std::uint32_t kSettableAttributes =
    platform::kFileAttributeReadonly | platform::kFileAttributeHidden |
    platform::kFileAttributeSystem | platform::kFileAttributeArchive;

fs::file_status StatusOf(const fs::path& host) {
  std::error_code ec;
  return fs::symlink_status(host, ec);
}

// The error Windows gives for a missing entry: the file, or a directory on the way to it.
std::uint32_t MissingError(const fs::path& host) {
  std::error_code ec;
  return fs::is_directory(host.parent_path(), ec) ? platform::kErrorFileNotFound
                                                  : platform::kErrorPathNotFound;
}

bool IsDriveRoot(const ResolvedPath& path) {
  return path.windowsPath.size() == 3;
}

std::string Key(const fs::path& host) {
  return host.string();
}

// What a call that neither opens nor finds gives for a device: `error`, or "path not found"
// when the directory the device is named in is missing.
std::uint32_t DeviceRefusal(const ResolvedPath& path, std::uint32_t error) {
  std::error_code ec;
  return fs::is_directory(path.hostPath.parent_path(), ec) ? error : platform::kErrorPathNotFound;
}

// Deleting or removing a device: NUL takes the name as a bad parameter.
std::uint32_t DeviceRemovalError(const ResolvedPath& path) {
  return DeviceRefusal(path, IsNullDevice(path.device) ? platform::kErrorInvalidParameter
                                                       : DeviceOpenError(path.device));
}

}  // namespace

SandboxFiles::SandboxFiles(PathResolver& paths, Faults& faults, std::string windowsDir,
                           std::string systemDir, std::string moduleFileName,
                           std::uint32_t platformId)
    : paths_(paths),
      state_(std::make_shared<FilesState>(faults)),
      windowsDir_(std::move(windowsDir)),
      systemDir_(std::move(systemDir)),
      moduleFileName_(std::move(moduleFileName)),
      platformId_(platformId) {}

bool SandboxFiles::Fail(std::uint32_t error) {
  state_->lastError = error;
  return false;
}

std::unique_ptr<platform::File> SandboxFiles::FailOpen(std::uint32_t error) {
  Fail(error);
  return nullptr;
}

std::vector<platform::FindData> SandboxFiles::FailFind(std::uint32_t error) {
  Fail(error);
  return {};
}

std::optional<ResolvedPath> SandboxFiles::Resolve(std::string_view path) {
  // The ANSI file functions take a path up to its first NUL byte; so does the sandbox.
  Resolution resolution = paths_.Resolve(path.substr(0, path.find('\0')));
  if (!resolution.path) Fail(resolution.error);
  return std::move(resolution.path);
}

bool SandboxFiles::DriveIsReadOnly(char drive) const {
  return paths_.DriveType(drive) == platform::kDriveCdrom;
}

void SandboxFiles::Vanish(const ResolvedPath& path) {
  std::map<std::string, int>& vanishing = state_->faults.filesVanishAfterOpens;
  const auto it = vanishing.find(UpperKey(path.windowsPath));
  if (it == vanishing.end()) return;
  if (it->second-- > 0) return;
  vanishing.erase(it);
  std::error_code ignored;
  fs::remove(path.hostPath, ignored);
}

bool SandboxFiles::IsInUse(const ResolvedPath& path) const {
  return state_->faults.filesInUse.contains(UpperKey(path.windowsPath));
}

std::uint32_t SandboxFiles::AttributesOf(const fs::path& host, bool isDirectory) const {
  const auto marked = state_->markedAttributes.find(Key(host));
  if (isDirectory) {
    const std::uint32_t bits = marked == state_->markedAttributes.end() ? 0 : marked->second;
    return platform::kFileAttributeDirectory | (bits & kSettableAttributes);
  }
  if (marked == state_->markedAttributes.end()) return platform::kFileAttributeArchive;
  return marked->second == 0 ? platform::kFileAttributeNormal : marked->second;
}

std::unique_ptr<platform::File> SandboxFiles::Open(const std::string& path, std::uint32_t access,
                                                   std::uint32_t share, Disposition disposition,
                                                   std::uint32_t attributes) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return nullptr;
  if (!resolved->device.empty()) {
    if (!IsNullDevice(resolved->device) || DeviceRefusal(*resolved, 0) != 0)
      return FailOpen(DeviceRefusal(*resolved, DeviceOpenError(resolved->device)));
    state_->lastError = platform::kErrorSuccess;
    return OpenNullDevice();
  }
  const fs::path& host = resolved->hostPath;
  Vanish(*resolved);
  const fs::file_status status = StatusOf(host);
  const bool exists = fs::exists(status);
  const bool wantsWrite = (access & platform::kGenericWrite) != 0;
  const bool truncates = exists && (disposition == Disposition::CreateAlways ||
                                    disposition == Disposition::TruncateExisting);

  if (fs::is_directory(status)) return FailOpen(platform::kErrorAccessDenied);
  if (!exists) {
    if (MissingError(host) == platform::kErrorPathNotFound) {
      return FailOpen(platform::kErrorPathNotFound);
    }
    if (disposition == Disposition::OpenExisting || disposition == Disposition::TruncateExisting) {
      return FailOpen(platform::kErrorFileNotFound);
    }
  } else if (disposition == Disposition::CreateNew) {
    return FailOpen(platform::kErrorFileExists);
  }
  if (disposition == Disposition::TruncateExisting && !wantsWrite) {
    return FailOpen(platform::kErrorInvalidParameter);
  }
  if ((wantsWrite || truncates || !exists) && DriveIsReadOnly(resolved->drive)) {
    return FailOpen(platform::kErrorAccessDenied);
  }
  const std::string key = Key(host);
  const std::uint32_t current = exists ? AttributesOf(host, false) : 0;
  if ((current & platform::kFileAttributeReadonly) && (wantsWrite || truncates)) {
    return FailOpen(platform::kErrorAccessDenied);
  }
  // Replacing a hidden or system file must say so, or Windows refuses it.
  const std::uint32_t hiddenSystem =
      platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  if (disposition == Disposition::CreateAlways && exists &&
      (current & hiddenSystem & ~attributes) != 0) {
    return FailOpen(platform::kErrorAccessDenied);
  }
  if (IsInUse(*resolved)) {
    const bool onlyOpens = exists && (disposition == Disposition::OpenExisting ||
                                      disposition == Disposition::OpenAlways);
    const OpenGrant holder{0, platform::kGenericRead, platform::kFileShareRead};
    if (!onlyOpens || !SharingAllows({holder}, access, share)) {
      return FailOpen(platform::kErrorSharingViolation);
    }
  }
  if (const auto open = state_->opens.find(key);
      open != state_->opens.end() && !SharingAllows(open->second, access, share)) {
    return FailOpen(platform::kErrorSharingViolation);
  }

  int flags = O_CLOEXEC | O_NOFOLLOW | ((wantsWrite || truncates) ? O_RDWR : O_RDONLY);
  if (!exists) flags |= O_CREAT | O_EXCL | O_RDWR;
  if (truncates) flags |= O_TRUNC;
  UniqueFd fd(::open(host.c_str(), flags, 0644));
  if (fd.Get() < 0) {
    return FailOpen(errno == ENOSPC ? platform::kErrorDiskFull : platform::kErrorAccessDenied);
  }
  if (!exists) paths_.NoteCreated(host);

  const std::uint32_t given = attributes & (kSettableAttributes & ~platform::kFileAttributeArchive);
  if (!exists || truncates) {
    const auto marked = state_->markedAttributes.find(key);
    if (marked != state_->markedAttributes.end() || given != 0) {
      const std::uint32_t kept =
          marked == state_->markedAttributes.end() || !exists ? 0 : marked->second & hiddenSystem;
      state_->markedAttributes[key] = kept | given | platform::kFileAttributeArchive;
    }
  }
  // A successful open reports whether CREATE_ALWAYS or OPEN_ALWAYS found the file there.
  const bool alwaysFound = exists && (disposition == Disposition::CreateAlways ||
                                      disposition == Disposition::OpenAlways);
  state_->lastError = alwaysFound ? platform::kErrorAlreadyExists : platform::kErrorSuccess;
  return std::make_unique<SandboxFile>(state_, key, std::move(fd), access, share, resolved->drive);
}

std::uint32_t SandboxFiles::GetAttributes(const std::string& path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) {
    // A link is never followed, but it can be seen, as Windows shows a junction: a
    // reparse point (a directory too when it points at one).
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos || cut + 1 >= path.size()) return platform::kInvalidFileAttributes;
    const Resolution parent = paths_.Resolve(path.substr(0, cut + 1));
    if (!parent.path) return platform::kInvalidFileAttributes;
    const fs::path link = parent.path->hostPath / path.substr(cut + 1);
    if (!fs::is_symlink(StatusOf(link))) return platform::kInvalidFileAttributes;
    std::error_code ec;
    return platform::kFileAttributeReparsePoint |
           (fs::is_directory(link, ec) ? platform::kFileAttributeDirectory : 0);
  }
  if (!resolved->device.empty()) {
    if (const std::uint32_t refusal = DeviceRefusal(*resolved, 0)) {
      Fail(refusal);
      return platform::kInvalidFileAttributes;
    }
    return platform::kFileAttributeArchive;
  }
  const fs::file_status status = StatusOf(resolved->hostPath);
  if (!fs::exists(status)) {
    Fail(MissingError(resolved->hostPath));
    return platform::kInvalidFileAttributes;
  }
  return AttributesOf(resolved->hostPath, fs::is_directory(status));
}

std::optional<platform::FileInfo> SandboxFiles::InfoOf(const std::string& path) {
  // A link is never followed, so a path through one has no identity to give.
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return std::nullopt;
  if (!resolved->device.empty()) {
    Fail(DeviceRefusal(*resolved, platform::kErrorInvalidFunction));
    return std::nullopt;
  }
  struct stat info {};
  if (::lstat(resolved->hostPath.c_str(), &info) != 0) {
    Fail(MissingError(resolved->hostPath));
    return std::nullopt;
  }
  return InfoOfStat(info);
}

bool SandboxFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (!resolved->device.empty()) return Fail(DeviceRemovalError(*resolved));
  const fs::file_status status = StatusOf(resolved->hostPath);
  if (!fs::exists(status)) return Fail(MissingError(resolved->hostPath));
  if (DriveIsReadOnly(resolved->drive)) return Fail(platform::kErrorAccessDenied);
  // A file marked with none of the bits reads back as "normal".
  state_->markedAttributes[Key(resolved->hostPath)] = attributes & kSettableAttributes;
  return true;
}

bool SandboxFiles::CreateDirectory(const std::string& path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (!resolved->device.empty()) {
    return Fail(DeviceRefusal(*resolved, IsNullDevice(resolved->device)
                                             ? platform::kErrorAlreadyExists
                                             : DeviceOpenError(resolved->device)));
  }
  const fs::path& host = resolved->hostPath;
  if (fs::exists(StatusOf(host))) return Fail(platform::kErrorAlreadyExists);
  if (MissingError(host) == platform::kErrorPathNotFound) {
    return Fail(platform::kErrorPathNotFound);
  }
  if (DriveIsReadOnly(resolved->drive)) return Fail(platform::kErrorAccessDenied);
  std::error_code ec;
  if (!fs::create_directory(host, ec)) {
    return Fail(ec == std::errc::no_space_on_device ? platform::kErrorDiskFull
                                                    : platform::kErrorAccessDenied);
  }
  paths_.NoteCreated(host);
  return true;
}

bool SandboxFiles::RemoveDirectory(const std::string& path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (!resolved->device.empty()) return Fail(DeviceRemovalError(*resolved));
  const fs::path& host = resolved->hostPath;
  const fs::file_status status = StatusOf(host);
  if (!fs::exists(status)) return Fail(MissingError(host));
  if (!fs::is_directory(status)) return Fail(platform::kErrorDirectory);
  if (IsDriveRoot(*resolved) || DriveIsReadOnly(resolved->drive) ||
      (AttributesOf(host, true) & platform::kFileAttributeReadonly)) {
    return Fail(platform::kErrorAccessDenied);
  }
  // The current directory is held open by the process.
  if (const Resolution current = paths_.Resolve(paths_.CurrentDirectory());
      current.path && current.path->hostPath == host) {
    return Fail(platform::kErrorSharingViolation);
  }
  std::error_code ec;
  if (!fs::is_empty(host, ec)) return Fail(platform::kErrorDirNotEmpty);
  if (!fs::remove(host, ec)) return Fail(platform::kErrorAccessDenied);
  paths_.NoteRemoved(host);
  state_->markedAttributes.erase(Key(host));
  return true;
}

bool SandboxFiles::DeleteFile(const std::string& path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (!resolved->device.empty()) return Fail(DeviceRemovalError(*resolved));
  const fs::path& host = resolved->hostPath;
  const fs::file_status status = StatusOf(host);
  if (!fs::exists(status)) return Fail(MissingError(host));
  if (fs::is_directory(status)) return Fail(platform::kErrorAccessDenied);
  if (const std::uint32_t refusal = RemovalRefusal(*resolved)) return Fail(refusal);
  std::error_code ec;
  if (!fs::remove(host, ec)) return Fail(platform::kErrorAccessDenied);
  paths_.NoteRemoved(host);
  state_->markedAttributes.erase(Key(host));
  return true;
}

std::uint32_t SandboxFiles::RemovalRefusal(const ResolvedPath& file) const {
  if (DriveIsReadOnly(file.drive) ||
      (AttributesOf(file.hostPath, false) & platform::kFileAttributeReadonly)) {
    return platform::kErrorAccessDenied;
  }
  if (IsInUse(file)) return platform::kErrorSharingViolation;
  if (const auto open = state_->opens.find(Key(file.hostPath)); open != state_->opens.end()) {
    const bool allDelete =
        std::all_of(open->second.begin(), open->second.end(),
                    [](const OpenGrant& g) { return g.share & kFileShareDelete; });
    if (!allDelete) return platform::kErrorSharingViolation;
  }
  return platform::kErrorSuccess;
}

bool SandboxFiles::MoveReplacing(const std::string& from, const std::string& to) {
  if (LacksMoveFileEx()) return Fail(platform::kErrorCallNotImplemented);
  return Rename(from, to, true);
}

bool SandboxFiles::Move(const std::string& from, const std::string& to) {
  return Rename(from, to, false);
}

bool SandboxFiles::Rename(const std::string& from, const std::string& to, bool replace) {
  const std::optional<ResolvedPath> source = Resolve(from);
  if (!source) return false;
  const std::optional<ResolvedPath> target = Resolve(to);
  if (!target) return false;
  // A device is never the one end or the other of a rename.
  if (!source->device.empty()) return Fail(DeviceRefusal(*source, platform::kErrorBadDevType));
  if (!target->device.empty()) return Fail(DeviceRefusal(*target, platform::kErrorBadDevType));
  const fs::file_status sourceStatus = StatusOf(source->hostPath);
  if (!fs::exists(sourceStatus)) return Fail(MissingError(source->hostPath));
  if (fs::is_directory(sourceStatus)) return Fail(platform::kErrorAccessDenied);
  if (const std::uint32_t refusal = RemovalRefusal(*source)) return Fail(refusal);
  const fs::file_status targetStatus = StatusOf(target->hostPath);
  const bool replaces = fs::exists(targetStatus);
  if (!replaces && MissingError(target->hostPath) == platform::kErrorPathNotFound) {
    return Fail(platform::kErrorPathNotFound);
  }
  if (replaces) {
    if (!replace) return Fail(platform::kErrorAlreadyExists);
    if (fs::is_directory(targetStatus)) return Fail(platform::kErrorAccessDenied);
    if (const std::uint32_t refusal = RemovalRefusal(*target)) return Fail(refusal);
  }
  if (DriveIsReadOnly(target->drive)) return Fail(platform::kErrorAccessDenied);
  // Drives are folders of one host file system, so a rename is one step there too.
  std::error_code ec;
  fs::rename(source->hostPath, target->hostPath, ec);
  if (ec) return Fail(platform::kErrorAccessDenied);
  paths_.NoteRemoved(source->hostPath);
  if (!replaces) paths_.NoteCreated(target->hostPath);
  // The marks (hidden, system, ...) travel with the file; the replaced file's go with it.
  const auto marked = state_->markedAttributes.find(Key(source->hostPath));
  if (marked != state_->markedAttributes.end()) {
    const std::uint32_t marks = marked->second;
    state_->markedAttributes.erase(marked);
    state_->markedAttributes[Key(target->hostPath)] = marks;
  } else {
    state_->markedAttributes.erase(Key(target->hostPath));
  }
  return true;
}

bool SandboxFiles::DeleteOnRestart(const std::string& path) {
  if (LacksMoveFileEx()) return Fail(platform::kErrorCallNotImplemented);
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  pendingDeletes_.push_back(resolved->windowsPath);
  return true;
}

platform::FindData SandboxFiles::FindDataOf(const fs::path& host, std::string name) const {
  platform::FindData data;
  data.name = std::move(name);
  struct stat info {};
  if (::lstat(host.c_str(), &info) != 0) return data;
  const bool isDirectory = S_ISDIR(info.st_mode);
  data.attributes = AttributesOf(host, isDirectory);
  data.size = isDirectory ? 0 : static_cast<std::uint64_t>(info.st_size);
  data.lastWriteTime = FileTimeFromUnix(UnixTime{info.st_mtim.tv_sec, info.st_mtim.tv_nsec});
  return data;
}

std::vector<platform::FindData> SandboxFiles::Find(const std::string& pattern) {
  // The last component is a name pattern; only the directory before it is resolved.
  const std::size_t separator = pattern.find_last_of("\\/");
  std::string directory;
  std::string namePattern;
  if (separator != std::string::npos) {
    directory = pattern.substr(0, separator + 1);
    namePattern = pattern.substr(separator + 1);
  } else if (pattern.size() >= 2 && pattern[1] == ':') {
    directory = pattern.substr(0, 2);
    namePattern = pattern.substr(2);
  } else {
    directory = ".";
    namePattern = pattern;
  }
  std::vector<platform::FindData> found;
  if (pattern.size() > platform::kMaxPath) return FailFind(platform::kErrorFilenameExcedRange);
  if (namePattern.empty()) return FailFind(platform::kErrorFileNotFound);
  const std::optional<ResolvedPath> resolved = Resolve(directory);
  if (!resolved) return found;
  const fs::path& host = resolved->hostPath;
  std::error_code ec;
  if (!fs::is_directory(StatusOf(host))) return FailFind(platform::kErrorPathNotFound);
  // A device name without wildcards finds the device, whatever the directory holds.
  if (namePattern.find_first_of("*?") == std::string::npos) {
    if (std::optional<std::string> device = DeviceNameOf(namePattern)) {
      Fail(platform::kErrorNoMoreFiles);
      return {DeviceFindData(std::move(*device))};
    }
  }

  if (!IsDriveRoot(*resolved)) {
    for (const char* dots : {".", ".."}) {
      if (!MatchesFindPattern(namePattern, dots)) continue;
      const fs::path dotsHost = dots[1] == '\0' ? host : host.parent_path();
      found.push_back(FindDataOf(dotsHost, dots));
    }
  }
  const std::size_t dotEntries = found.size();
  for (const fs::directory_entry& entry : fs::directory_iterator(host, ec)) {
    std::string name = entry.path().filename().string();
    if (entry.is_symlink(ec) || !MatchesFindPattern(namePattern, name)) continue;
    found.push_back(FindDataOf(entry.path(), std::move(name)));
  }
  std::sort(found.begin() + static_cast<std::ptrdiff_t>(dotEntries), found.end(),
            [](const platform::FindData& a, const platform::FindData& b) {
              return script::UpperAscii(a.name) < script::UpperAscii(b.name);
            });
  Fail(found.empty() ? platform::kErrorFileNotFound : platform::kErrorNoMoreFiles);
  return found;
}

bool SandboxFiles::SetCurrentDirectory(const std::string& path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (!resolved->device.empty()) return Fail(DeviceRefusal(*resolved, platform::kErrorDirectory));
  const fs::file_status status = StatusOf(resolved->hostPath);
  if (!fs::exists(status)) return Fail(MissingError(resolved->hostPath));
  if (!fs::is_directory(status)) return Fail(platform::kErrorDirectory);
  paths_.SetCurrentDirectory(resolved->windowsPath);
  return true;
}

}  // namespace sandbox
