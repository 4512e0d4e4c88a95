// DDE conversations and started processes on the emulated machine: nothing runs, each call
// is written to system.log and answered from the machine's outcomes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Dde.h"
#include "platform/Processes.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/Transcript.h"

namespace sandbox {

// The service of the only DDE server the machine knows, the Program Manager.
constexpr char kProgramManagerService[] = "PROGMAN";

class SandboxDde : public platform::Dde {
 public:
  SandboxDde(Transcript& transcript, const Outcomes& outcomes)
      : transcript_(transcript), outcomes_(outcomes) {}
  // Connects when the Program Manager is present and asked for by its service name (DDE
  // names ignore case) and an empty or its own topic. Otherwise the start of the program
  // named after the service is recorded as failed, since the machine has none to start.
  std::unique_ptr<platform::DdeConversation> Connect(const std::string& service,
                                                     const std::string& topic) override;

 private:
  Transcript& transcript_;
  const Outcomes& outcomes_;
};

class SandboxProcesses : public platform::Processes {
 public:
  SandboxProcesses(Transcript& transcript, const Outcomes& outcomes)
      : transcript_(transcript), outcomes_(outcomes) {}
  // The exit code set for the command line (0 by default), or nothing when the outcomes
  // say that it cannot be started.
  std::optional<std::uint32_t> RunAndWait(const std::string& commandLine, int showWindow) override;

 private:
  Transcript& transcript_;
  const Outcomes& outcomes_;
};

}  // namespace sandbox
