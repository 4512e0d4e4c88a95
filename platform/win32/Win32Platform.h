// The operating-system services of the running Windows, gathered for the program.
#pragma once

#include "platform/Platform.h"
#include "platform/Sha256.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32Dde.h"
#include "platform/win32/Win32Disks.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Lz.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Profiles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Restart.h"
#include "platform/win32/Win32System.h"

namespace win32 {

// Owns one of each Win32 service; Services() refers to them and lives no longer than this.
class Win32Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The services as the portable program takes them.
  platform::Platform Services() {
    return {files_,    disks_, clock_, system_,    lz_,      registry_,
            profiles_, dde_,   com_,   processes_, restart_, digest_};
  }

 private:
  Win32Files files_;
  Win32Disks disks_;
  Win32Clock clock_;
  Win32System system_;
  Win32Lz lz_;
  Win32Registry registry_;
  Win32Profiles profiles_;
  Win32Dde dde_;
  Win32Com com_;
  Win32Processes processes_;
  Win32Restart restart_;
  // Digests are computed in portable code: CryptoAPI knows SHA-256 only from XP SP3 on.
  platform::PortableDigest digest_;
};

}  // namespace win32
