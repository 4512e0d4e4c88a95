// The copy routines, the size and date of a file, and the two path routines through which
// the whole program joins directories and file names.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace engine {

// The outcome of one copy.
enum class CopyResult {
  CopyOk = 0,             // the file was copied whole
  CopyNoSource = 1,       // the source cannot be opened
  CopyNoDestination = 2,  // the destination cannot be created
  CopyWriteFailed = 3,    // a write failed or fell short (a full disk); the copy is not whole
};

// Bytes moved by one read or write of a copy.
inline constexpr std::uint32_t kCopyBlockSize = 8192;

// What a write left at its destination: whether it wrote there at all, and the identity
// of the file it wrote, taken from the handle it wrote through (none where the system
// keeps no lasting identity).
struct WrittenFile {
  bool wrote = false;
  std::optional<platform::FileIdentity> identity;
};

// What a copy needs from its caller: the platform's services, the running count of bytes
// read (the progress display follows it) and the message pump run after every block. The
// copy tells back in `written` what it left at the destination.
struct CopyContext {
  platform::Files& files;
  platform::Lz& lz;
  platform::Clock& clock;
  platform::System& system;  // which Windows: how a finished copy replaces a file
  std::int64_t& bytesCopied;
  std::function<void()> pumpMessages;
  WrittenFile written = {};
};

// Blanks removed at both ends, then one trailing backslash.
std::string TrimDir(std::string_view text);

// TrimDir of the text with one backslash appended; empty when that is empty.
std::string DirWithSlash(std::string_view text);

// Everything up to and including the last "\" or ":" of a path (empty when neither).
std::string DirectoryPart(std::string_view path);

// The part of a path after its last "\" or ":".
std::string FileNamePart(std::string_view path);

// Creates a directory with all its missing parents; failures to create are not reported
// (a later create of a file in it fails instead). Throws std::runtime_error("Unable to
// create directory") for an empty or blank path.
void ForceDirectories(platform::Files& files, std::string_view directory);

// Copies byte for byte in 8192-byte blocks, creating the destination's directories first.
// The destination's last-write time becomes the time of the copy.
CopyResult CopyPlainFile(CopyContext& context, const std::string& source, const std::string& dest);

// As CopyPlainFile, reading the source through the LZ expansion (plain files pass through).
CopyResult CopyExpandedFile(CopyContext& context, const std::string& source,
                            const std::string& dest);

// The size of a file in bytes from a directory search; -1 when no such file is found (a
// directory is none).
std::int64_t FileSizeOf(platform::Files& files, const std::string& path);

// The last-write time of a file in local time, at two-second resolution (the odd second
// and the milliseconds dropped). Throws std::runtime_error("Invalid argument to date
// encode") when there is no such file, or only a directory: it has no time stamp to give.
platform::SystemTime FileDateOf(platform::Files& files, platform::Clock& clock,
                                const std::string& path);

// Orders two local times: negative when a is earlier, 0 when equal, positive when later.
int CompareDateTimes(const platform::SystemTime& a, const platform::SystemTime& b);

}  // namespace engine
