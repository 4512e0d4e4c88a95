// The whole program on a sandbox machine for the destination and folder pages: the medium
// is D: and the current directory, and a drive can be made to report a free-space geometry
// of the test's choosing (the sandbox alone always reports 4 KB clusters).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/Setup_.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "platform/sandbox/SandboxDisks.h"
#include "tests/support/SetupHarness.h"
#include "wizard/BackNext.h"

namespace page_test {

using testing_support::Joined;
using testing_support::RunResult;

// The sandbox's drives, except that chosen drives report a fixed GetDiskFreeSpaceA answer.
class GeometryDisks : public platform::Disks {
 public:
  explicit GeometryDisks(platform::Disks& inner) : inner_(inner) {}
  void Set(char drive, const platform::DiskFreeSpace& space) { fixed_[drive] = space; }
  // The roots asked about, in order.
  const std::vector<std::string>& Queries() const { return queries_; }

  bool GetFreeSpace(const std::string& root, platform::DiskFreeSpace& space) override {
    queries_.push_back(root);
    if (root.size() == 3 && root[1] == ':' && root[2] == '\\') {
      if (auto found = fixed_.find(root[0]); found != fixed_.end()) {
        space = found->second;
        return true;
      }
    }
    return inner_.GetFreeSpace(root, space);
  }
  std::uint32_t LogicalDrives() override { return inner_.LogicalDrives(); }
  std::uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  std::string VolumeLabel(const std::string& root) override { return inner_.VolumeLabel(root); }

 private:
  platform::Disks& inner_;
  std::map<char, platform::DiskFreeSpace> fixed_;
  std::vector<std::string> queries_;
};

// Walks from the welcome page to the destination page (61).
constexpr const char* kToDestination =
    "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
    "click nextBut\nclick nextBut\n";
// On from the destination page to the folder page (66).
constexpr const char* kToFolder = "click nextBut\n";
// Leaves the wizard at any page through the cancel confirmation.
constexpr const char* kCancel = "click cancBut\nclick Button2\n";

class PageHarness {
 public:
  explicit PageHarness(std::uint32_t platformId = platform::kPlatformWindows) {
    sandbox::MachineOptions options;
    options.root = root_.path() / "machine";
    options.platformId = platformId;
    options.moduleFileName = "D:\\SETUP.EXE";
    machine_ = std::make_unique<sandbox::Machine>(options);
    std::filesystem::create_directories(root_.path() / "medium");
    machine_->Mount('D', root_.path() / "medium");
    disks_ = std::make_unique<GeometryDisks>(machine_->platform().disks);
    platform::Platform& p = machine_->platform();
    platform_ = std::make_unique<platform::Platform>(
        platform::Platform{p.files, *disks_, p.clock, p.system, p.lz, p.registry, p.profiles, p.dde,
                           p.com, p.processes, p.restart, p.digest});
    p.files.SetCurrentDirectory("D:\\");
  }

  sandbox::Machine& machine() { return *machine_; }
  platform::Platform& platform() { return *platform_; }
  GeometryDisks& disks() { return *disks_; }

  // Writes Setup.Inf on the medium; a language entry is added so the wizard can pass 21.
  void SetScript(std::vector<std::string> lines) {
    lines.push_back("LANG=English,lang.en,demo.lng");
    testing_support::WriteHostFile(root_.path() / "medium" / "Setup.Inf",
                                   testing_support::ScriptText(lines));
    testing_support::WriteHostFile(root_.path() / "medium" / "lang.en", "language");
  }
  // Makes a directory of the machine (a Windows path) with its parents.
  void MakeDir(const std::string& windowsPath) {
    std::filesystem::create_directories(machine_->HostPath(windowsPath));
  }
  bool DirExists(const std::string& windowsPath) {
    const std::filesystem::path host = machine_->HostPath(windowsPath);
    return !host.empty() && std::filesystem::is_directory(host);
  }

  // Runs the program; `inspect` sees its windows after the run, before they are freed.
  RunResult Run(const std::string& answers,
                const std::function<void(SetupForms&)>& inspect = nullptr) {
    return testing_support::RunProgram(*platform_, answers, inspect);
  }

 private:
  testing_support::TempDir root_;
  std::unique_ptr<sandbox::Machine> machine_;
  std::unique_ptr<GeometryDisks> disks_;
  std::unique_ptr<platform::Platform> platform_;
};

// The lines of a transcript that start with `prefix`.
inline std::vector<std::string> LinesStarting(const std::vector<std::string>& transcript,
                                              const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : transcript)
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

// A GetDiskFreeSpaceA answer.
inline platform::DiskFreeSpace Geometry(std::uint32_t sectorsPerCluster,
                                        std::uint32_t bytesPerSector, std::uint32_t freeClusters) {
  platform::DiskFreeSpace space;
  space.sectorsPerCluster = sectorsPerCluster;
  space.bytesPerSector = bytesPerSector;
  space.freeClusters = freeClusters;
  space.totalClusters = freeClusters;
  return space;
}

}  // namespace page_test
