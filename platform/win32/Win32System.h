// Facts about the running Windows: its version and its message texts.
#pragma once

#include "platform/System.h"

namespace win32 {

// The System service of the running Windows.
class Win32System final : public platform::System {
 public:
  platform::OsVersion Version() override;
  std::string ErrorText(std::uint32_t code) override;
};

}  // namespace win32
