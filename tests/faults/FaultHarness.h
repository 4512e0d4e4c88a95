// What the fault suite adds to the engine and program harnesses: a picture of the whole
// machine (the files of every drive and the registry) taken before and after a run, and the
// difference between two pictures, so a test can say exactly which paths a failed run may
// have touched.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sandbox/Machine.h"
#include "platform/sandbox/SandboxRegistry.h"
#include "script/Text.h"
#include "script/TextLines.h"
#include "tests/engine/CopyHarness.h"

namespace fault_test {

// Everything a run could change on a machine. Files and directories are named by their
// upper-cased Windows path ("C:\APP\A.TXT"); registry entries as "KEY" for a key that the
// saved registry lists, and "KEY|value line" for each of its values.
struct MachineState {
  std::map<std::string, std::string> files;  // path -> bytes
  std::set<std::string> directories;
  std::set<std::string> registry;
};

namespace detail {

inline void AddTree(MachineState& state, const std::filesystem::path& host,
                    const std::string& windowsRoot) {
  std::error_code ignored;
  if (!std::filesystem::is_directory(host, ignored)) return;
  for (auto it = std::filesystem::recursive_directory_iterator(host, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    std::string relative = std::filesystem::relative(it->path(), host).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    const std::string name = script::UpperAscii(windowsRoot + relative);
    if (it->is_directory(ignored)) {
      state.directories.insert(name);
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      state.files[name] = bytes.str();
    }
  }
}

}  // namespace detail

// The picture of drive C: and of the drives in `otherDrives` (the medium, say) and of the
// registry, as the machine holds them now.
inline MachineState Snapshot(sandbox::Machine& machine, const std::string& otherDrives = "D") {
  MachineState state;
  std::string drives = "C" + otherDrives;
  for (const char drive : drives) {
    const std::string root = std::string(1, drive) + ":\\";
    detail::AddTree(state, machine.HostPath(root), root);
  }
  std::string key;
  for (const std::string& line : script::SplitTextLines(machine.registry().Text())) {
    if (line.empty() || line == "REGEDIT4") continue;
    if (line.front() == '[' && line.back() == ']') {
      key = script::UpperAscii(line.substr(1, line.size() - 2));
      state.registry.insert(key);
    } else {
      state.registry.insert(key + "|" + line);
    }
  }
  return state;
}

// The names that differ between two pictures: files added, removed or with other bytes,
// directories added or removed, registry keys and values added, removed or changed.
inline std::set<std::string> Changed(const MachineState& before, const MachineState& after) {
  std::set<std::string> changed;
  for (const auto& [name, bytes] : before.files) {
    const auto it = after.files.find(name);
    if (it == after.files.end() || it->second != bytes) changed.insert(name);
  }
  for (const auto& [name, bytes] : after.files)
    if (!before.files.contains(name)) changed.insert(name);
  std::set_symmetric_difference(before.directories.begin(), before.directories.end(),
                                after.directories.begin(), after.directories.end(),
                                std::inserter(changed, changed.end()));
  std::set_symmetric_difference(before.registry.begin(), before.registry.end(),
                                after.registry.begin(), after.registry.end(),
                                std::inserter(changed, changed.end()));
  return changed;
}

// The changed names that are not covered by `allowed`. An allowed name covers itself,
// everything below it ("C:\APP" covers "C:\APP\A.TXT"; a registry key covers its values
// and subkeys) and the directories above it, which a copy makes. Compared upper-cased.
inline std::vector<std::string> Unexpected(const std::set<std::string>& changed,
                                           const std::vector<std::string>& allowed) {
  std::vector<std::string> outside;
  for (const std::string& name : changed) {
    const bool covered = std::any_of(allowed.begin(), allowed.end(), [&](const std::string& a) {
      const std::string prefix = script::UpperAscii(a);
      if (prefix.size() > name.size() && prefix.compare(0, name.size(), name) == 0 &&
          prefix[name.size()] == '\\')
        return true;
      if (name.compare(0, prefix.size(), prefix) != 0) return false;
      return name.size() == prefix.size() || name[prefix.size()] == '\\' ||
             name[prefix.size()] == '|';
    });
    if (!covered) outside.push_back(name);
  }
  return outside;
}

// `count` bytes of a fixed pseudo-random stream: the same garbage on every run.
inline std::string Garbage(std::uint32_t seed, std::size_t count) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(generator));
  return bytes;
}

// A registry key path of `levels` components ("K\K\...\K").
inline std::string DeepKeyPath(std::size_t levels) {
  std::string path = "K";
  for (std::size_t i = 1; i < levels; ++i) path += "\\K";
  return path;
}

// The main window and its forms on a machine with the medium as D:, ready for a run of the
// installation driver: the chosen language file D:\ENGLISH.LNG goes to C:\APP\LANG.DLL.
struct FaultDriver : copy_test::CopyHarness {
  explicit FaultDriver(const std::string& answers = "") : CopyHarness(answers) {
    PutFile("D:\\ENGLISH.LNG", "english");
    main().LangSourceFile = "ENGLISH.LNG";
    main().LangDestFile = "LANG.DLL";
    main().SpaceRequiredKB = 100;
  }
  // The message boxes the user saw, in order.
  std::vector<std::string> Boxes() const {
    return copy_test::LinesStarting(transcript(), "message ");
  }
};

// The open-failure message of a source that is there but cannot be read.
inline std::string OpenFailureBox(const std::string& upperSource) {
  return copy_test::BoxLine("Copying error of the file", "error", "OK",
                            "Source file  \x84" + upperSource +
                                "\x94 is not possible to open for copying. \r\nThe "
                                "installation will be terminated.");
}

// The message of a copy that a full disk cut short.
inline std::string FullDiskBox(const std::string& upperDest) {
  return copy_test::BoxLine("Copying error of the file", "error", "OK",
                            "Destination file  \x84" + upperDest +
                                "\x94 could not be written completely.\r\nThe installation "
                                "will be terminated.");
}

}  // namespace fault_test
