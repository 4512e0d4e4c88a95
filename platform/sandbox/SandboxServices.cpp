#include "platform/sandbox/SandboxServices.h"

#include "platform/WinTypes.h"
#include "script/Text.h"

namespace sandbox {
namespace {

// An open conversation: every execute request is recorded with its whole command text.
class RecordedConversation : public platform::DdeConversation {
 public:
  RecordedConversation(Transcript& transcript, std::string service, std::string topic)
      : transcript_(transcript), service_(std::move(service)), topic_(std::move(topic)) {}

  bool Execute(const std::string& command) override {
    transcript_.Append({"dde-execute", service_, topic_, command});
    return true;
  }

 private:
  Transcript& transcript_;
  std::string service_;
  std::string topic_;
};

}  // namespace

std::unique_ptr<platform::DdeConversation> SandboxDde::Connect(const std::string& service,
                                                               const std::string& topic) {
  const bool answers = outcomes_.ddeServerPresent &&
                       script::EqualsUpper(service, kProgramManagerService) &&
                       (topic.empty() || script::EqualsUpper(topic, kProgramManagerService));
  if (answers) {
    transcript_.Append({"dde-connect", service, topic, "ok"});
    return std::make_unique<RecordedConversation>(transcript_, service, topic);
  }
  transcript_.Append({"dde-connect", service, topic, "no-server"});
  // A client whose server does not answer starts the program named after the service,
  // with the topic as its argument, and tries once more; here the start itself fails.
  const std::string commandLine = topic.empty() ? service : service + " " + topic;
  transcript_.Append(
      {"process", commandLine, std::to_string(platform::kSwShowMinNoActive), "not-started"});
  return nullptr;
}

std::optional<std::uint32_t> SandboxProcesses::RunAndWait(const std::string& commandLine,
                                                          int showWindow) {
  const std::string key = script::UpperAscii(commandLine);
  if (outcomes_.processesNotStartable.contains(key)) {
    transcript_.Append({"process", commandLine, std::to_string(showWindow), "not-started"});
    return std::nullopt;
  }
  auto found = outcomes_.processExitCodes.find(key);
  const std::uint32_t exitCode = found == outcomes_.processExitCodes.end() ? 0 : found->second;
  transcript_.Append(
      {"process", commandLine, std::to_string(showWindow), "exit " + std::to_string(exitCode)});
  return exitCode;
}

}  // namespace sandbox
