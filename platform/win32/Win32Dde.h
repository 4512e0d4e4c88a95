// DDE client conversations on DDEML.
#pragma once

#include "platform/Dde.h"

namespace win32 {

// The Dde service of the running Windows. Each conversation has its own DDEML instance,
// made and ended with it, in the thread that calls Connect.
class Win32Dde final : public platform::Dde {
 public:
  std::unique_ptr<platform::DdeConversation> Connect(const std::string& service,
                                                     const std::string& topic) override;
};

}  // namespace win32
