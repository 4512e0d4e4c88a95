#include "platform/sandbox/Paths.h"

#include <stdexcept>
#include <vector>

#include "platform/WinTypes.h"
#include "script/Text.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char UpperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Characters Windows does not allow in a file or directory name.
bool IsValidName(std::string_view name) {
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32) return false;
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// Windows drops trailing dots and blanks of a name ("README." opens "README").
std::string_view StripTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

// Splits at backslashes, dropping empty pieces (runs of separators count as one).
std::vector<std::string> SplitComponents(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The name of an entry of `dir` that equals `name` without regard to case; the first in
// byte order when several do. Nothing when there is none or `dir` cannot be listed.
std::optional<std::string> FindEntryIgnoringCase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> best;
  for (const fs::directory_entry& entry : it) {
    std::string entryName = entry.path().filename().string();
    if (!script::EqualsUpper(entryName, name)) continue;
    if (!best || entryName < *best) best = std::move(entryName);
  }
  return best;
}

Resolution Refuse(std::uint32_t error) {
  return Resolution{std::nullopt, error};
}

}  // namespace

std::string UpperKey(std::string_view windowsPath) {
  return script::UpperAscii(windowsPath);
}

PathResolver::PathResolver(fs::path machineRoot) {
  fs::path driveC = std::move(machineRoot) / "drive_c";
  fs::create_directories(driveC);
  drives_['C'] = Drive{std::move(driveC), platform::kDriveFixed};
}

void PathResolver::Mount(char letter, fs::path hostDir, std::uint32_t driveType) {
  const char upper = UpperLetter(letter);
  if (!IsAsciiLetter(letter) || upper == 'C') {
    throw std::invalid_argument("a drive other than C: must be a letter A to Z");
  }
  drives_[upper] = Drive{std::move(hostDir), driveType};
}

Resolution PathResolver::Resolve(std::string_view windowsPath) const {
  std::string text(windowsPath);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (text.empty()) return Refuse(platform::kErrorPathNotFound);
  // UNC names and device paths ("\\server\share", "\\.\X:") lead off the machine.
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    return Refuse(platform::kErrorAccessDenied);
  }

  char drive = CurrentDrive();
  std::vector<std::string> components;
  std::string_view rest = text;
  if (rest.size() >= 2 && rest[1] == ':' && IsAsciiLetter(rest[0])) {
    // "X:\dir" and "X:dir" both start at the root of X: a drive has no directory of its own.
    drive = UpperLetter(rest[0]);
    rest.remove_prefix(2);
  } else if (rest[0] != '\\') {
    components = SplitComponents(std::string_view(currentDirectory_).substr(2));
  }
  const auto driveIt = drives_.find(drive);
  if (driveIt == drives_.end()) return Refuse(platform::kErrorPathNotFound);

  for (const std::string& part : SplitComponents(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (components.empty()) return Refuse(platform::kErrorAccessDenied);
      components.pop_back();
      continue;
    }
    const std::string_view name = StripTrailingDotsAndBlanks(part);
    if (name.empty() || !IsValidName(name)) return Refuse(platform::kErrorInvalidName);
    components.emplace_back(name);
  }

  ResolvedPath resolved;
  resolved.drive = drive;
  resolved.windowsPath = std::string(1, drive) + ":\\";
  fs::path host = driveIt->second.hostDir;
  bool onDisk = true;  // every component so far names an existing host entry
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string& name = components[i];
    if (i > 0) resolved.windowsPath += '\\';
    resolved.windowsPath += name;
    if (onDisk) {
      std::error_code ec;
      fs::path candidate = host / name;
      fs::file_status status = fs::symlink_status(candidate, ec);
      if (!fs::exists(status)) {
        if (std::optional<std::string> found = FindEntryIgnoringCase(host, name)) {
          candidate = host / *found;
          status = fs::symlink_status(candidate, ec);
        }
      }
      if (fs::is_symlink(status)) return Refuse(platform::kErrorAccessDenied);
      if (fs::exists(status)) {
        host = std::move(candidate);
        continue;
      }
      onDisk = false;
    }
    host /= name;
  }
  resolved.hostPath = std::move(host);
  return Resolution{std::move(resolved), platform::kErrorSuccess};
}

std::optional<std::string> PathResolver::FullPath(const std::string& windowsPath) const {
  Resolution resolution = Resolve(windowsPath);
  if (!resolution.path) return std::nullopt;
  return std::move(resolution.path->windowsPath);
}

std::optional<fs::path> PathResolver::HostPath(const std::string& windowsPath) const {
  Resolution resolution = Resolve(windowsPath);
  if (!resolution.path) return std::nullopt;
  return std::move(resolution.path->hostPath);
}

std::optional<fs::path> PathResolver::DriveRoot(char letter) const {
  const auto it = drives_.find(UpperLetter(letter));
  if (it == drives_.end()) return std::nullopt;
  return it->second.hostDir;
}

std::uint32_t PathResolver::DriveType(char letter) const {
  const auto it = drives_.find(UpperLetter(letter));
  return it == drives_.end() ? platform::kDriveNoRootDir : it->second.type;
}

std::uint32_t PathResolver::DriveMask() const {
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_) mask |= 1u << (letter - 'A');
  return mask;
}

}  // namespace sandbox
