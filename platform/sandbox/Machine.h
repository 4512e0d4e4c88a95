// One emulated Windows machine kept in a host directory: every service of the platform,
// wired together, with the faults and outcomes tests can set.
//
// Machine directory layout (a contract tools and tests rely on):
//   drive_c/        drive C:, with the Windows and system directories laid out
//   registry.reg    the registry as a REGEDIT4 file, loaded at start, saved by Save()
//   registry.reserve  disk space held for the next save of registry.reg
//   system.log      one line per DDE, COM registration, process and restart call
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/Paths.h"
#include "platform/sandbox/Transcript.h"

namespace sandbox {

class SandboxFiles;
class SandboxDisks;
class SandboxClock;
class SandboxSystem;
class SandboxLz;
class SandboxRegistry;
class SandboxProfiles;
class SandboxDde;
class SandboxCom;
class SandboxProcesses;
class SandboxRestart;
class SandboxDigest;

// What kind of Windows the machine is.
struct MachineOptions {
  std::filesystem::path root;                             // the machine directory
  std::uint32_t platformId = platform::kPlatformWindows;  // or kPlatformWin32Nt
  std::string csdVersion;                                 // service-pack text (NT only)
  std::string moduleFileName = "C:\\SETUP.EXE";           // the running program
};

class Machine {
 public:
  explicit Machine(MachineOptions options);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // Maps drive `letter` to a host folder (the installation medium), as a CD-ROM by default.
  void Mount(char letter, const std::filesystem::path& hostDir,
             std::uint32_t driveType = platform::kDriveCdrom);

  // The services, for the program.
  platform::Platform& platform() { return *platform_; }

  // The concrete services, for tests and tools.
  SandboxFiles& files() { return *files_; }
  SandboxDisks& disks() { return *disks_; }
  SandboxClock& clock() { return *clock_; }
  SandboxRegistry& registry() { return *registry_; }
  PathResolver& paths() { return paths_; }
  Transcript& transcript() { return transcript_; }
  Faults& faults() { return faults_; }
  Outcomes& outcomes() { return outcomes_; }

  // The host file behind a Windows path of this machine (for reading results back).
  std::filesystem::path HostPath(const std::string& windowsPath) const;

  // Writes registry.reg; false when it could not be written.
  bool Save();

  // The files this machine deletes at its next restart: those MoveFileExA was asked to on
  // NT, the "NUL=" lines of WININIT.INI's [rename] section on the 95 family.
  std::vector<std::string> DeletionsAtRestart();

  const MachineOptions& options() const { return options_; }
  // The Windows directory ("C:\WINDOWS" or "C:\WINNT") and the system directory.
  std::string WindowsDirectory() const;
  std::string SystemDirectory() const;
  // The folder that holds the Start menu's program folders on this kind of Windows.
  std::string ProgramsDirectory() const;

 private:
  MachineOptions options_;
  Faults faults_;
  Outcomes outcomes_;
  PathResolver paths_;
  Transcript transcript_;
  std::unique_ptr<SandboxFiles> files_;
  std::unique_ptr<SandboxDisks> disks_;
  std::unique_ptr<SandboxClock> clock_;
  std::unique_ptr<SandboxSystem> system_;
  std::unique_ptr<SandboxLz> lz_;
  std::unique_ptr<SandboxRegistry> registry_;
  std::unique_ptr<SandboxProfiles> profiles_;
  std::unique_ptr<SandboxDde> dde_;
  std::unique_ptr<SandboxCom> com_;
  std::unique_ptr<SandboxProcesses> processes_;
  std::unique_ptr<SandboxRestart> restart_;
  std::unique_ptr<SandboxDigest> digest_;
  std::unique_ptr<platform::Platform> platform_;
};

}  // namespace sandbox
