// The shutdown privilege that a restart of Windows NT needs.
#pragma once

#include "platform/Restart.h"

// Enables "SeShutdownPrivilege" for this process; true when the adjustment succeeded.
bool EnableShutdownPrivilege(platform::Restart& restart);
