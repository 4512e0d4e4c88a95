// Why the uninstaller leaves a thing: the reasons its closing message gives.
#pragma once

namespace uninst {

inline constexpr char kThereBefore[] = "it was there before the installation";
inline constexpr char kThroughLink[] = "a link or junction lies on its path";
inline constexpr char kReplaced[] = "it was replaced after the installation";
inline constexpr char kHardLinked[] = "other names (hard links) lead to it";

}  // namespace uninst
