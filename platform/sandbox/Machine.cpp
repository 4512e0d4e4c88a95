#include "platform/sandbox/Machine.h"

#include "platform/sandbox/SandboxClock.h"
#include "platform/sandbox/SandboxCom.h"
#include "platform/sandbox/SandboxDigest.h"
#include "platform/sandbox/SandboxDisks.h"
#include "platform/sandbox/SandboxFiles.h"
#include "platform/sandbox/SandboxLz.h"
#include "platform/sandbox/SandboxProfiles.h"
#include "platform/sandbox/SandboxRegistry.h"
#include "platform/sandbox/SandboxRestart.h"
#include "platform/sandbox/SandboxServices.h"
#include "platform/sandbox/SandboxSystem.h"
#include "script/Text.h"

namespace sandbox {

namespace {

bool IsNt(const MachineOptions& options) {
  return options.platformId == platform::kPlatformWin32Nt;
}

// Creates a Windows directory of drive C: with every missing parent.
void MakeDirectories(const PathResolver& paths, const std::string& windowsPath) {
  if (std::optional<std::filesystem::path> host = paths.HostPath(windowsPath))
    std::filesystem::create_directories(*host);
}

}  // namespace

Machine::Machine(MachineOptions options)
    : options_(std::move(options)),
      paths_(options_.root),
      transcript_(options_.root / "system.log") {
  MakeDirectories(paths_, SystemDirectory());
  MakeDirectories(paths_, ProgramsDirectory());
  files_ = std::make_unique<SandboxFiles>(paths_, faults_, WindowsDirectory(), SystemDirectory(),
                                          options_.moduleFileName, options_.platformId);
  disks_ = std::make_unique<SandboxDisks>(paths_);
  clock_ = std::make_unique<SandboxClock>();
  system_ = std::make_unique<SandboxSystem>(options_.platformId, options_.csdVersion);
  lz_ = std::make_unique<SandboxLz>(*files_);
  registry_ = std::make_unique<SandboxRegistry>(
      options_.root / "registry.reg", faults_,
      IsNt(options_) ? std::nullopt : std::optional(k95FamilyRegistryLimits));
  profiles_ = std::make_unique<SandboxProfiles>(*files_, faults_);
  dde_ = std::make_unique<SandboxDde>(transcript_, outcomes_);
  com_ = std::make_unique<SandboxCom>(*files_, transcript_, outcomes_);
  processes_ = std::make_unique<SandboxProcesses>(transcript_, outcomes_);
  restart_ = std::make_unique<SandboxRestart>(transcript_, outcomes_);
  digest_ = std::make_unique<SandboxDigest>();
  platform_ = std::make_unique<platform::Platform>(
      platform::Platform{*files_, *disks_, *clock_, *system_, *lz_, *registry_, *profiles_, *dde_,
                         *com_, *processes_, *restart_, *digest_});
}

Machine::~Machine() = default;

void Machine::Mount(char letter, const std::filesystem::path& hostDir, std::uint32_t driveType) {
  paths_.Mount(letter, hostDir, driveType);
}

std::filesystem::path Machine::HostPath(const std::string& windowsPath) const {
  return paths_.HostPath(windowsPath).value_or(std::filesystem::path());
}

bool Machine::Save() {
  return registry_->Save();
}

std::vector<std::string> Machine::DeletionsAtRestart() {
  std::vector<std::string> paths = files_->PendingDeletes();
  const std::vector<std::string> lines =
      profiles_->ReadSection("rename", "WININIT.INI").value_or(std::vector<std::string>());
  for (const std::string& line : lines) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos &&
        script::EqualsUpper(script::TrimBlanks(line.substr(0, equals)), "NUL"))
      paths.push_back(script::TrimBlanks(line.substr(equals + 1)));
  }
  return paths;
}

std::string Machine::WindowsDirectory() const {
  return IsNt(options_) ? "C:\\WINNT" : "C:\\WINDOWS";
}

std::string Machine::SystemDirectory() const {
  return IsNt(options_) ? "C:\\WINNT\\SYSTEM32" : "C:\\WINDOWS\\SYSTEM";
}

std::string Machine::ProgramsDirectory() const {
  return IsNt(options_) ? "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs"
                        : "C:\\WINDOWS\\Start Menu\\Programs";
}

}  // namespace sandbox
