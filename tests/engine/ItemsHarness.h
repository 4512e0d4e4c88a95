// One main window with its sibling forms on a sandbox machine, for driving single engine
// steps (registry, INI, groups, uninstall, COM) without a whole installation run.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/Setup_.h"
#include "engine/Gaugep_.h"
#include "engine/Problem_.h"
#include "engine/ReplF_.h"
#include "forms/Quote.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "platform/sandbox/SandboxRegistry.h"
#include "wizard/BackNext.h"
#include "wizard/ExitFrm_.h"
#include "wizard/FldrFrm.h"
#include "wizard/ShutF_.h"

namespace items_test {

// A registry value as read back: its type and bytes.
struct StoredValue {
  std::uint32_t type = 0;
  std::string data;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// The four little-endian bytes of a REG_DWORD.
inline std::string DwordBytes(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
  return bytes;
}

inline StoredValue Dword(std::uint32_t value) {
  return {platform::kRegDword, DwordBytes(value)};
}

inline StoredValue Sz(std::string text) {
  return {platform::kRegSz, std::move(text)};
}

// The message-box line the headless transcript holds for a box.
inline std::string BoxLine(const std::string& caption, const std::string& icon,
                           const std::string& buttons, const std::string& text) {
  return "message " + forms::Quote(caption) + " " + icon + " " + buttons + " " + forms::Quote(text);
}

// The transcript lines that record message boxes.
inline std::vector<std::string> Boxes(const std::vector<std::string>& transcript) {
  std::vector<std::string> boxes;
  for (const std::string& line : transcript)
    if (line.rfind("message ", 0) == 0) boxes.push_back(line);
  return boxes;
}

class ItemsHarness {
 public:
  // A machine in a fresh folder and the eight forms; `answers` answer the message boxes.
  explicit ItemsHarness(const std::string& answers = "")
      : machine_(Options(root_.path)),
        toolkit_(forms::headless::ParseAnswers(answers)),
        app_(toolkit_),
        context_{app_, machine_.platform(), {}} {
    CreateSetupForms(context_);
  }
  ItemsHarness(const ItemsHarness&) = delete;
  ItemsHarness& operator=(const ItemsHarness&) = delete;

  TMainForm& main() { return *context_.forms.MainForm; }
  TWizForm& wizard() { return *context_.forms.WizForm; }
  sandbox::Machine& machine() { return machine_; }
  platform::Platform& platform() { return machine_.platform(); }
  const std::vector<std::string>& transcript() const { return toolkit_.Transcript(); }
  std::size_t RemainingAnswers() const { return toolkit_.RemainingActions(); }

  // Writes a file of the machine (a Windows path), creating its folders.
  void PutFile(const std::string& windowsPath, const std::string& bytes) {
    const std::filesystem::path host = machine_.HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }
  // Reads a file of the machine; nothing when it is not there.
  std::optional<std::string> ReadFile(const std::string& windowsPath) {
    const std::filesystem::path host = machine_.HostPath(windowsPath);
    if (!std::filesystem::is_regular_file(host)) return std::nullopt;
    std::ifstream in(host, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // The value `name` of the key `path` below `root`; nothing when key or value is missing.
  std::optional<StoredValue> Value(platform::HKey root, const std::string& path,
                                   const std::string& name) {
    platform::Registry& registry = platform().registry;
    platform::HKey key = 0;
    if (registry.OpenKey(root, path, platform::kKeyRead, key) != 0) return std::nullopt;
    StoredValue value;
    const long error = registry.QueryValue(key, name, value.type, value.data);
    registry.CloseKey(key);
    if (error != 0) return std::nullopt;
    return value;
  }
  // The number of values of a key; nothing when the key is missing.
  std::optional<std::uint32_t> ValueCount(platform::HKey root, const std::string& path) {
    platform::Registry& registry = platform().registry;
    platform::HKey key = 0;
    if (registry.OpenKey(root, path, platform::kKeyRead, key) != 0) return std::nullopt;
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    registry.QueryInfo(key, subKeys, values);
    registry.CloseKey(key);
    return values;
  }
  // Writes a value, creating its key (test set-up).
  void SetValue(platform::HKey root, const std::string& path, const std::string& name,
                const StoredValue& value) {
    platform::Registry& registry = platform().registry;
    platform::HKey key = 0;
    ASSERT_EQ(registry.CreateKey(root, path, platform::kKeyAllAccess, key), 0);
    ASSERT_EQ(registry.SetValue(key, name, value.type, value.data), 0);
    registry.CloseKey(key);
  }
  // The whole registry as its REGEDIT4 text, to see that nothing changed.
  std::string RegistryText() { return machine_.registry().Text(); }

 private:
  // The machine's folder, removed after everything else has gone.
  struct TempRoot {
    std::filesystem::path path;
    TempRoot() {
      static int counter = 0;
      path = std::filesystem::temp_directory_path() /
             ("setup-items-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
      std::filesystem::remove_all(path);
      std::filesystem::create_directories(path);
    }
    ~TempRoot() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };

  static sandbox::MachineOptions Options(const std::filesystem::path& root) {
    sandbox::MachineOptions options;
    options.root = root / "machine";
    options.moduleFileName = "D:\\SETUP.EXE";
    return options;
  }

  TempRoot root_;
  sandbox::Machine machine_;
  forms::headless::HeadlessToolkit toolkit_;
  forms::Application app_;
  SetupContext context_;
};

}  // namespace items_test
