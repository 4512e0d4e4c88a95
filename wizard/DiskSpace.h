// The free-space figure of the destination page: its unit ladder and its display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Disks.h"

// A free-space figure as the page shows it, with the same space in KB for the check.
struct SpaceFigure {
  std::int32_t figure = 0;  // in `unit`; 2147483647 when the true figure is larger
  std::string unit;         // "KB", "MB", "GB" or "TB"
  std::int64_t kilobytes = 0;
  friend bool operator==(const SpaceFigure&, const SpaceFigure&) = default;
};

// The figure for what GetDiskFreeSpaceA reported: the free clusters divided by 1024, then by
// 1024 again while above 1048576 (KB, MB, GB, at most TB), times the cluster size. Done in
// 64 bits, so nothing wraps.
SpaceFigure FreeSpaceFigure(const platform::DiskFreeSpace& space);

// The root GetDiskFreeSpaceA is asked about for a path: "X:\" for a path that starts with a
// letter (either case), "" (the current drive) for one that starts with "@"; nothing for an
// empty path or any other start (a network path), whose query fails.
std::optional<std::string> FreeSpaceRoot(const std::string& path);

// The free space on the drive of `path`; nothing when the query fails.
std::optional<SpaceFigure> QueryFreeSpace(platform::Disks& disks, const std::string& path);

// `digits` grouped by three from the right with single spaces when it has 4 to 15
// characters (every character counts, a minus sign too), then a space and `unit`.
std::string FormatSize(const std::string& digits, const std::string& unit);
