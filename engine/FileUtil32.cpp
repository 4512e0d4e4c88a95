#include "engine/FileUtil32.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace engine {
namespace {

bool IsDirectory(platform::Files& files, const std::string& path) {
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) != 0;
}

// "X:" alone: the root of a drive, which always exists and is never created.
bool IsDriveName(const std::string& path) {
  return path.size() == 2 && path[1] == ':';
}

// Stamps the copy with the time it was made, to the whole second: the source's time stamp
// is deliberately not carried over, so a later in-use check finds the copy newer.
void StampWithNow(platform::Clock& clock, platform::File& dest) {
  platform::SystemTime now = clock.LocalNow();
  now.milliseconds = 0;
  dest.SetLastWriteTime(clock.LocalToFileTime(now));
}

// A new file beside `dest` that the copy is written to while `dest` stays as it was:
// "~TSnnnnn.TMP" with the first number not taken. Null when none can be created.
std::unique_ptr<platform::File> CreateFileBeside(platform::Files& files, const std::string& dest,
                                                 std::string& path) {
  const std::string directory = DirectoryPart(dest);
  for (int number = 0; number < 100000; ++number) {
    char name[16];
    std::snprintf(name, sizeof name, "~TS%05d.TMP", number);
    path = directory + name;
    std::unique_ptr<platform::File> file =
        files.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                   platform::Disposition::CreateNew, platform::kFileAttributeNormal);
    if (file) return file;
    const std::uint32_t error = files.LastError();
    if (error != platform::kErrorFileExists && error != platform::kErrorAlreadyExists) break;
  }
  return nullptr;
}

// Where one copy is written. A new destination is written in place. An existing one is
// only replaced once the copy is whole: the bytes go to a file beside it that then takes
// its name, so a full disk or an unreadable source never leaves a damaged file where a
// good one was (a system DLL cut short would break more than this installation).
class CopyTarget {
 public:
  CopyTarget(platform::Files& files, const std::string& dest) : files_(files), dest_(dest) {}
  CopyTarget(const CopyTarget&) = delete;
  CopyTarget& operator=(const CopyTarget&) = delete;
  // Drops the unfinished file beside the destination.
  ~CopyTarget() {
    file_.reset();
    if (!aside_.empty()) files_.DeleteFile(aside_);
  }

  // False when the destination cannot be written: in use, read-only, hidden or system
  // (which creating it over with normal attributes is refused), or its directory refuses.
  bool Open() {
    const std::uint32_t attributes = files_.GetAttributes(dest_);
    if (attributes == platform::kInvalidFileAttributes) {
      file_ = files_.Open(dest_, platform::kGenericRead | platform::kGenericWrite, 0,
                          platform::Disposition::CreateAlways, platform::kFileAttributeNormal);
      return file_ != nullptr;
    }
    if (attributes & (platform::kFileAttributeDirectory | platform::kFileAttributeHidden |
                      platform::kFileAttributeSystem)) {
      return false;
    }
    // Opened for writing, not truncated, so that a file held by another program is found
    // before anything is copied.
    if (!files_.Open(dest_, platform::kGenericWrite, 0, platform::Disposition::OpenExisting,
                     platform::kFileAttributeNormal)) {
      return false;
    }
    file_ = CreateFileBeside(files_, dest_, aside_);
    if (!file_) aside_.clear();
    return file_ != nullptr;
  }

  platform::File& File() { return *file_; }

  // Closes the copy and, when it was written beside the destination, gives it its name.
  bool Complete() {
    file_.reset();
    if (aside_.empty()) return true;
    if (!files_.MoveReplacing(aside_, dest_)) return false;
    aside_.clear();
    return true;
  }

 private:
  platform::Files& files_;
  std::string dest_;
  std::string aside_;
  std::unique_ptr<platform::File> file_;
};

// The loop both copy routines share. `read` gives the bytes read (negative on error);
// `more` says whether a read of that count leaves more to read.
template <class Read, class More>
CopyResult CopyBlocks(CopyContext& context, const std::string& dest, Read read, More more) {
  std::vector<char> buffer(kCopyBlockSize);
  CopyTarget target(context.files, dest);
  if (!target.Open()) return CopyResult::CopyNoDestination;

  CopyResult result = CopyResult::CopyOk;
  try {
    std::int64_t count = 0;
    do {
      count = read(buffer.data(), kCopyBlockSize);
      // A source that stops reading part way is as unusable as one that does not open.
      if (count < 0) {
        result = CopyResult::CopyNoSource;
        break;
      }
      if (count > 0) {
        context.bytesCopied += count;
        const std::int64_t put =
            target.File().Write(buffer.data(), static_cast<std::uint32_t>(count));
        // A full disk leaves a partial file behind; it must never pass for a copy.
        if (put != count) result = CopyResult::CopyWriteFailed;
      }
      if (context.pumpMessages) context.pumpMessages();
    } while (result == CopyResult::CopyOk && more(count));
  } catch (...) {
    StampWithNow(context.clock, target.File());
    throw;
  }
  StampWithNow(context.clock, target.File());
  if (result != CopyResult::CopyOk) return result;
  return target.Complete() ? CopyResult::CopyOk : CopyResult::CopyNoDestination;
}

}  // namespace

std::string TrimDir(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  return std::string(text);
}

std::string DirWithSlash(std::string_view text) {
  std::string trimmed = TrimDir(text);
  if (!trimmed.empty()) trimmed += '\\';
  return trimmed;
}

std::string DirectoryPart(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string FileNamePart(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

void ForceDirectories(platform::Files& files, std::string_view directory) {
  const std::string path = TrimDir(directory);
  if (path.empty()) throw std::runtime_error("Unable to create directory");
  if (IsDriveName(path) || IsDirectory(files, path)) return;
  const std::string parent = TrimDir(DirectoryPart(path));
  if (!parent.empty() && parent != path) ForceDirectories(files, parent);
  files.CreateDirectory(path);
}

CopyResult CopyPlainFile(CopyContext& context, const std::string& source, const std::string& dest) {
  ForceDirectories(context.files, TrimDir(DirectoryPart(dest)));
  std::unique_ptr<platform::File> in =
      context.files.Open(source, platform::kGenericRead, platform::kFileShareRead,
                         platform::Disposition::OpenExisting, platform::kFileAttributeNormal);
  if (!in) return CopyResult::CopyNoSource;
  return CopyBlocks(
      context, dest, [&](char* buffer, std::uint32_t size) { return in->Read(buffer, size); },
      [](std::int64_t count) { return count == kCopyBlockSize; });
}

CopyResult CopyExpandedFile(CopyContext& context, const std::string& source,
                            const std::string& dest) {
  ForceDirectories(context.files, TrimDir(DirectoryPart(dest)));
  std::unique_ptr<platform::LzFile> in = context.lz.Open(source);
  if (!in) return CopyResult::CopyNoSource;
  return CopyBlocks(
      context, dest,
      [&](char* buffer, std::uint32_t size) {
        return static_cast<std::int64_t>(in->Read(buffer, static_cast<std::int32_t>(size)));
      },
      [](std::int64_t count) { return count >= kCopyBlockSize; });
}

std::int64_t FileSizeOf(platform::Files& files, const std::string& path) {
  const std::vector<platform::FindData> found = files.Find(path);
  if (found.empty()) return -1;
  return static_cast<std::int64_t>(found.front().size);
}

platform::SystemTime FileDateOf(platform::Files& files, platform::Clock& clock,
                                const std::string& path) {
  const std::vector<platform::FindData> found = files.Find(path);
  if (found.empty()) throw std::runtime_error("Invalid argument to date encode");
  return clock.FileTimeToLocal(found.front().lastWriteTime);
}

int CompareDateTimes(const platform::SystemTime& a, const platform::SystemTime& b) {
  const auto key = [](const platform::SystemTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
  };
  if (key(a) < key(b)) return -1;
  return key(b) < key(a) ? 1 : 0;
}

}  // namespace engine
