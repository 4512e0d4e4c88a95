// The operating-system services the installer uses, gathered in one object that the
// program hands down. Each implementation (Win32, sandbox) owns the services; this only
// refers to them.
#pragma once

#include "platform/Clock.h"
#include "platform/Com.h"
#include "platform/Dde.h"
#include "platform/Digest.h"
#include "platform/Disks.h"
#include "platform/Files.h"
#include "platform/Lz.h"
#include "platform/Processes.h"
#include "platform/Profiles.h"
#include "platform/Registry.h"
#include "platform/Restart.h"
#include "platform/System.h"

namespace platform {

struct Platform {
  Files& files;
  Disks& disks;
  Clock& clock;
  System& system;
  Lz& lz;
  Registry& registry;
  Profiles& profiles;
  Dde& dde;
  Com& com;
  Processes& processes;
  Restart& restart;
  Digest& digest;
};

}  // namespace platform
