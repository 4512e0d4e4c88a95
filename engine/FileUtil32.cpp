#include "engine/FileUtil32.h"

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

// The loop both copy routines share. `read` gives the bytes read (negative on error);
// `more` says whether a read of that count leaves more to read.
template <class Read, class More>
CopyResult CopyBlocks(CopyContext& context, const std::string& dest, Read read, More more) {
  std::vector<char> buffer(kCopyBlockSize);
  std::unique_ptr<platform::File> out =
      context.files.Open(dest, platform::kGenericRead | platform::kGenericWrite, 0,
                         platform::Disposition::CreateAlways, platform::kFileAttributeNormal);
  if (!out) return CopyResult::CopyNoDestination;

  bool written = true;
  try {
    std::int64_t count = 0;
    do {
      count = read(buffer.data(), kCopyBlockSize);
      if (count > 0) {
        context.bytesCopied += count;
        const std::int64_t put = out->Write(buffer.data(), static_cast<std::uint32_t>(count));
        // A full disk leaves a partial file behind; it must never pass for a copy.
        if (put != count) written = false;
      }
      if (context.pumpMessages) context.pumpMessages();
    } while (written && more(count));
  } catch (...) {
    StampWithNow(context.clock, *out);
    throw;
  }
  StampWithNow(context.clock, *out);
  return written ? CopyResult::CopyOk : CopyResult::CopyWriteFailed;
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
      context, dest,
      [&](char* buffer, std::uint32_t size) {
        return std::max<std::int64_t>(0, in->Read(buffer, size));
      },
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
