// LZ expansion on lz32.
#pragma once

#include <memory>

#include "platform/Lz.h"

namespace win32 {

// The Lz service of the running Windows. lz32 is loaded from the system directory by its
// full path when the service is made; without it no file opens.
class Win32Lz final : public platform::Lz {
 public:
  struct Library;

  Win32Lz();
  ~Win32Lz() override;
  Win32Lz(const Win32Lz&) = delete;
  Win32Lz& operator=(const Win32Lz&) = delete;

  std::unique_ptr<platform::LzFile> Open(const std::string& path) override;

 private:
  std::shared_ptr<const Library> library_;
};

}  // namespace win32
