#include "engine/FileUtil32.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "engine/FileMoves.h"
#include "platform/SzddHeader.h"
#include "script/Numbers.h"
#include "script/Text.h"

namespace engine {
namespace {

bool IsDirectory(platform::Files& files, const std::string& path) {
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) != 0;
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
    path = directory + "~TS" + script::Digits(static_cast<std::uint64_t>(number), 5) + ".TMP";
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
  CopyTarget(platform::Files& files, platform::System& system, const std::string& dest)
      : files_(files), system_(system), dest_(dest) {}
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
    // Most destinations are new: made in one call that fails when anything is at the
    // place, which is then looked at as below. (Under Wine every look-up of a name that
    // is not there reads the whole directory, to find it in another case.)
    file_ = files_.Open(dest_, platform::kGenericRead | platform::kGenericWrite, 0,
                        platform::Disposition::CreateNew, platform::kFileAttributeNormal);
    if (file_) return true;
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
  // `context` learns whether the destination now holds what was written (all of it, or
  // the part written in place before a failure) and which file that is.
  bool Complete(CopyContext& context, bool whole) {
    const std::optional<platform::FileInfo> info = file_->Info();
    file_.reset();
    const bool inPlace = aside_.empty();
    if (!inPlace && (!whole || !ReplaceFile(files_, system_, aside_, dest_))) return false;
    aside_.clear();
    context.written = {true, info ? std::optional(info->identity) : std::nullopt};
    return true;
  }

 private:
  platform::Files& files_;
  platform::System& system_;
  std::string dest_;
  std::string aside_;
  std::unique_ptr<platform::File> file_;
};

// The loop both copy routines share. `read` gives the bytes read (negative on error);
// `more` says whether a read of that count leaves more to read.
template <class Read, class More>
CopyResult CopyBlocks(CopyContext& context, const std::string& dest, Read read, More more) {
  std::vector<char> buffer(kCopyBlockSize);
  context.written = {};
  CopyTarget target(context.files, context.system, dest);
  if (!target.Open()) {
    // The directory may have gone since it was made or found for an earlier file.
    if (!context.knownDirectories || !context.knownDirectories->Forget())
      return CopyResult::CopyNoDestination;
    ForceDirectories(context.files, TrimDir(DirectoryPart(dest)), context.knownDirectories);
    if (!target.Open()) return CopyResult::CopyNoDestination;
  }

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
    target.Complete(context, false);
    throw;
  }
  StampWithNow(context.clock, target.File());
  const bool whole = result == CopyResult::CopyOk;
  if (!target.Complete(context, whole)) return whole ? CopyResult::CopyNoDestination : result;
  return result;
}

// What the source's first bytes say of it: a compressed file declares its expanded
// length, a plain one passes through as it is.
struct SourceForm {
  std::optional<std::uint32_t> expandedLength;  // empty for a plain file
};

// Reads the source's header. Empty when the header cannot be read, or carries the
// compressed signature without a header the expansion can use. A source that does not open
// is left to the expansion's own open, which then fails as well.
std::optional<SourceForm> ReadSourceForm(platform::Files& files, const std::string& source) {
  std::unique_ptr<platform::File> in =
      files.Open(source, platform::kGenericRead, platform::kFileShareRead,
                 platform::Disposition::OpenExisting, platform::kFileAttributeNormal);
  if (!in) return SourceForm{};
  char head[platform::kSzddHeaderSize];
  std::size_t got = 0;
  while (got < sizeof head) {
    const std::int64_t count = in->Read(head + got, static_cast<std::uint32_t>(sizeof head - got));
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    got += static_cast<std::size_t>(count);
  }
  const std::string_view bytes(head, got);
  if (!platform::HasSzddSignature(bytes)) return SourceForm{};
  const std::optional<platform::SzddHeader> header = platform::ReadSzddHeader(bytes);
  if (!header) return std::nullopt;
  return SourceForm{header->expandedLength};
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

bool KnownDirectories::Contains(std::string_view directory) const {
  return upperCased_.contains(script::UpperAscii(directory));
}

void KnownDirectories::Add(std::string_view directory) {
  upperCased_.insert(script::UpperAscii(directory));
}

bool KnownDirectories::Forget() {
  const bool any = !upperCased_.empty();
  upperCased_.clear();
  return any;
}

void ForceDirectories(platform::Files& files, std::string_view directory, KnownDirectories* known) {
  const std::string path = TrimDir(directory);
  if (path.empty()) throw std::runtime_error("Unable to create directory");
  if (known && known->Contains(path)) return;
  // The lengths of the path's directories, the whole path first, each parent being the
  // part before the last "\" or ":" (without that "\"), down to a drive or nothing. Found
  // in one pass back over the path, so a path of many levels costs no more than its length.
  std::vector<std::size_t> lengths;
  for (std::size_t length = path.size(); length > 0;) {
    if (length == 2 && path[1] == ':') break;  // a drive's root is never created
    lengths.push_back(length);
    const std::size_t cut = path.find_last_of("\\:", length - 1);
    if (cut == std::string::npos) break;
    const std::size_t parent = path[cut] == '\\' ? cut : cut + 1;
    if (parent >= length) break;
    length = parent;
  }
  // The ANSI calls take no path longer than MAX_PATH: such a directory is never
  // there and cannot be made, and neither can anything below it.
  const auto fits = [](std::size_t length) { return length <= platform::kMaxPath; };
  const auto there = [&](const std::string& level) {
    return (known && known->Contains(level)) || IsDirectory(files, level);
  };
  std::size_t missing = lengths.size();  // lengths[missing - 1] is the first to create
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    if (fits(lengths[i]) && there(path.substr(0, lengths[i]))) {
      missing = i;
      break;
    }
  }
  // Parents first; once one cannot be made, none below it can be either.
  for (std::size_t i = missing; i > 0; --i) {
    if (!fits(lengths[i - 1])) return;
    const std::string level = path.substr(0, lengths[i - 1]);
    if (!files.CreateDirectory(level) && !IsDirectory(files, level)) return;
  }
  // The directory and the parents looked at on the way are all there now.
  if (known) {
    for (std::size_t i = 0; i < lengths.size() && i <= missing; ++i)
      known->Add(path.substr(0, lengths[i]));
  }
}

CopyResult CopyPlainFile(CopyContext& context, const std::string& source, const std::string& dest) {
  ForceDirectories(context.files, TrimDir(DirectoryPart(dest)), context.knownDirectories);
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
  ForceDirectories(context.files, TrimDir(DirectoryPart(dest)), context.knownDirectories);
  const std::optional<SourceForm> form = ReadSourceForm(context.files, source);
  if (!form) return CopyResult::CopyNoSource;
  std::unique_ptr<platform::LzFile> in = context.lz.Open(source);
  if (!in) return CopyResult::CopyNoSource;
  // The expansion reports a damaged or cut-short file only as an early end: a compressed
  // source is whole only when it gives exactly the length its header declares.
  std::int64_t delivered = 0;
  return CopyBlocks(
      context, dest,
      [&](char* buffer, std::uint32_t size) -> std::int64_t {
        const std::int32_t count = in->Read(buffer, static_cast<std::int32_t>(size));
        if (count < 0) return -1;
        delivered += count;
        if (form->expandedLength &&
            (delivered > *form->expandedLength ||
             (count < static_cast<std::int32_t>(size) && delivered != *form->expandedLength)))
          return -1;
        return count;
      },
      [](std::int64_t count) { return count >= kCopyBlockSize; });
}

std::int64_t FileSizeOf(platform::Files& files, const std::string& path) {
  const std::vector<platform::FindData> found = files.Find(path);
  // A directory has no size of a file.
  if (found.empty() || (found.front().attributes & platform::kFileAttributeDirectory) != 0)
    return -1;
  return static_cast<std::int64_t>(found.front().size);
}

platform::SystemTime FileDateOf(platform::Files& files, platform::Clock& clock,
                                const std::string& path) {
  const std::vector<platform::FindData> found = files.Find(path);
  // A directory is no file: it has no time stamp to weigh against a source.
  if (found.empty() || (found.front().attributes & platform::kFileAttributeDirectory) != 0)
    throw std::runtime_error("Invalid argument to date encode");
  // File dates are compared and shown as the file system's date and time fields hold them:
  // to the even second below, so stamps within one two-second step are equally new.
  platform::SystemTime time = clock.FileTimeToLocal(found.front().lastWriteTime);
  time.second -= time.second % 2;
  time.milliseconds = 0;
  return time;
}

int CompareDateTimes(const platform::SystemTime& a, const platform::SystemTime& b) {
  const auto key = [](const platform::SystemTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
  };
  if (key(a) < key(b)) return -1;
  return key(b) < key(a) ? 1 : 0;
}

}  // namespace engine
