#include "wizard/DiskSpace.h"

#include <limits>

namespace {

constexpr std::int64_t kUnitLimit = 1048576;
constexpr std::int64_t kMaxFigure = std::numeric_limits<std::int32_t>::max();

}  // namespace

SpaceFigure FreeSpaceFigure(const platform::DiskFreeSpace& space) {
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB"};
  const std::int64_t clusterBytes =
      static_cast<std::int64_t>(space.sectorsPerCluster) * space.bytesPerSector;
  std::int64_t n = space.freeClusters / 1024;
  SpaceFigure result;
  result.kilobytes = clusterBytes * n;
  std::size_t unit = 0;
  while (n > kUnitLimit && unit + 1 < std::size(kUnits)) {
    n /= 1024;
    ++unit;
  }
  result.unit = kUnits[unit];
  const std::int64_t figure = clusterBytes * n;
  result.figure = static_cast<std::int32_t>(figure > kMaxFigure ? kMaxFigure : figure);
  return result;
}

std::optional<std::string> FreeSpaceRoot(const std::string& path) {
  if (path.empty()) return std::nullopt;
  char first = path[0];
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  if (first == '@') return std::string();
  if (first < 'A' || first > 'Z') return std::nullopt;
  return std::string{first, ':', '\\'};
}

std::optional<SpaceFigure> QueryFreeSpace(platform::Disks& disks, const std::string& path) {
  const std::optional<std::string> root = FreeSpaceRoot(path);
  if (!root) return std::nullopt;
  platform::DiskFreeSpace space;
  if (!disks.GetFreeSpace(*root, space)) return std::nullopt;
  return FreeSpaceFigure(space);
}

std::string FormatSize(const std::string& digits, const std::string& unit) {
  std::string text = digits;
  if (digits.size() >= 4 && digits.size() <= 15) {
    text.clear();
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (i > 0 && (digits.size() - i) % 3 == 0) text += ' ';
      text += digits[i];
    }
  }
  return text + " " + unit;
}
