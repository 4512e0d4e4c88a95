// DDE client conversations (DDEML).
#pragma once

#include <memory>
#include <string>

namespace platform {

class DdeConversation {
 public:
  virtual ~DdeConversation() = default;
  // An XTYP_EXECUTE transaction in CF_TEXT carrying `command` and its terminating zero,
  // sent asynchronously. False when the transaction could not be started.
  virtual bool Execute(const std::string& command) = 0;
};

class Dde {
 public:
  virtual ~Dde() = default;
  // DdeConnect to `service` and `topic`. When no server answers, the program named after
  // the service is started minimised without activation, with the topic as its argument,
  // and the connection is tried once more. Null when no conversation could be opened.
  virtual std::unique_ptr<DdeConversation> Connect(const std::string& service,
                                                   const std::string& topic) = 0;
};

}  // namespace platform
