// The child-window id of a named control. The id is computed from the name alone, so the
// end-to-end robot finds a control with GetDlgItem knowing only the name the program gives
// it. Kept free of <windows.h>: the robot and the native unit tests use it too.
#pragma once

#include <cstdint>
#include <string_view>

namespace forms::win32 {

// Ids below this are the message-box answers (IDOK...) and other dialog conventions.
constexpr int kFirstControlId = 0x0100;
// Ids above this are left alone: 0xFFFF is the static text of every message box.
constexpr int kLastControlId = 0xFEFF;

// The id of the control named `name` (FNV-1a of the bytes, folded to 16 bits and put into
// [kFirstControlId, kLastControlId]); 0 for an unnamed control.
constexpr int ControlIdOf(std::string_view name) {
  if (name.empty()) return 0;
  std::uint32_t hash = 2166136261u;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  const std::uint32_t folded = (hash >> 16) ^ (hash & 0xFFFFu);
  constexpr std::uint32_t span = kLastControlId - kFirstControlId + 1;
  return kFirstControlId + static_cast<int>(folded % span);
}

}  // namespace forms::win32
