// LZ expansion on lz32.
#pragma once

#include "platform/Lz.h"

namespace win32 {

// The Lz service of the running Windows.
class Win32Lz final : public platform::Lz {
 public:
  std::unique_ptr<platform::LzFile> Open(const std::string& path) override;
};

}  // namespace win32
