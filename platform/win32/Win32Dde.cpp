#include "platform/win32/Win32Dde.h"

#include <optional>

#include "platform/WinTypes.h"
#include "platform/win32/Handles.h"
#include "platform/win32/StartProcess.h"
#include "platform/win32/Win32Logic.h"

namespace win32 {
namespace {

// How long a server program started for a conversation may take to get ready.
constexpr DWORD kServerStartWaitMs = 10000;

// A client answers no transactions of its own; DDEML still wants a callback.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

// One open conversation. Members end in reverse order: the conversation is disconnected,
// the string handles freed, then the instance uninitialized.
class Win32DdeConversation final : public platform::DdeConversation {
 public:
  bool Open(const std::string& service, const std::string& topic) {
    DWORD id = 0;
    if (::DdeInitializeA(&id, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
      return false;
    }
    instance_ = UniqueDdeInstance(id);
    service_.emplace(id, service.c_str());
    // An empty topic is passed as no string handle at all.
    if (!topic.empty()) topic_.emplace(id, topic.c_str());
    if (TryConnect()) return true;
    StartedProcess started;
    if (!StartProcess(DdeServerCommandLine(service, topic), platform::kSwShowMinNoActive,
                      started)) {
      return false;
    }
    ::WaitForInputIdle(started.process.Get(), kServerStartWaitMs);
    return TryConnect();
  }

  bool Execute(const std::string& command) override {
    // The command travels with its terminating zero.
    HDDEDATA data = ::DdeCreateDataHandle(
        instance_.Get(), reinterpret_cast<BYTE*>(const_cast<char*>(command.c_str())),
        static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
    if (!data) return false;
    // The transaction takes the data handle over; its reply is not awaited.
    DWORD transaction = 0;
    return ::DdeClientTransaction(reinterpret_cast<BYTE*>(data), 0xFFFFFFFF, conversation_.Get(),
                                  nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC,
                                  &transaction) != nullptr;
  }

 private:
  bool TryConnect() {
    conversation_ = UniqueDdeConversation(
        ::DdeConnect(instance_.Get(), service_->Get(), topic_ ? topic_->Get() : nullptr, nullptr));
    return static_cast<bool>(conversation_);
  }

  UniqueDdeInstance instance_;
  std::optional<DdeString> service_;
  std::optional<DdeString> topic_;
  UniqueDdeConversation conversation_;
};

}  // namespace

std::unique_ptr<platform::DdeConversation> Win32Dde::Connect(const std::string& service,
                                                             const std::string& topic) {
  auto conversation = std::make_unique<Win32DdeConversation>();
  if (!conversation->Open(service, topic)) return nullptr;
  return conversation;
}

}  // namespace win32
