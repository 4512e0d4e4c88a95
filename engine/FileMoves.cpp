#include "engine/FileMoves.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileUtil32.h"
#include "script/Text.h"

namespace engine {
namespace {

constexpr char kWinInit[] = "WININIT.INI";
constexpr char kRenameSection[] = "rename";

bool Is95Family(platform::System& system) {
  return system.Version().platformId == platform::kPlatformWindows;
}

// Renames `path` to the first free "~TSnnnnn.OLD" beside it; the new name, or nothing when
// the file cannot be renamed.
std::optional<std::string> MoveAside(platform::Files& files, const std::string& path) {
  const std::string directory = DirectoryPart(path);
  for (int number = 0; number < 100000; ++number) {
    // Five digits by hand: the printf family would bring the C library's whole formatter,
    // tens of kilobytes, into a program that must fit a diskette.
    const std::string digits = std::to_string(number);
    const std::string aside =
        directory + "~TS" + std::string(5 - digits.size(), '0') + digits + ".OLD";
    if (files.Move(path, aside)) return aside;
    const std::uint32_t error = files.LastError();
    if (error != platform::kErrorAlreadyExists && error != platform::kErrorFileExists) break;
  }
  return std::nullopt;
}

}  // namespace

bool ReplaceFile(platform::Files& files, platform::System& system, const std::string& from,
                 const std::string& to) {
  if (!Is95Family(system)) return files.MoveReplacing(from, to);
  // A file that went in the meantime needs no room made for the new one.
  if (files.GetAttributes(to) == platform::kInvalidFileAttributes) return files.Move(from, to);
  const std::optional<std::string> old = MoveAside(files, to);
  if (!old) return false;
  if (!files.Move(from, to)) {
    files.Move(*old, to);
    return false;
  }
  // A file that could be renamed can be deleted: a failure here is all but impossible, and
  // would only leave the old file beside the new one.
  files.DeleteFile(*old);
  return true;
}

bool DeleteAtRestart(platform::Platform& platform, const std::string& path) {
  if (!Is95Family(platform.system)) return platform.files.DeleteOnRestart(path);
  // The section may name a file twice (one NUL= line for each): the whole section is read and
  // written back, since writing one key would replace the first NUL= line of another program.
  const std::string line = "NUL=" + path;
  std::optional<std::vector<std::string>> lines =
      platform.profiles.ReadSection(kRenameSection, kWinInit);
  if (!lines) return false;
  if (std::ranges::any_of(*lines,
                          [&](const std::string& l) { return script::EqualsUpper(l, line); }))
    return true;
  lines->push_back(line);
  return platform.profiles.WriteSection(kRenameSection, *lines, kWinInit);
}

}  // namespace engine
