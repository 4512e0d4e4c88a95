// The main window with its sibling forms on a sandbox machine whose medium is D:, for
// driving the copy steps and the installation driver without the wizard in front.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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
#include "platform/sandbox/SandboxClock.h"
#include "wizard/BackNext.h"
#include "wizard/ExitFrm_.h"
#include "wizard/FldrFrm.h"
#include "wizard/ShutF_.h"

namespace copy_test {

// The message-box line the headless transcript holds for a box.
inline std::string BoxLine(const std::string& caption, const std::string& icon,
                           const std::string& buttons, const std::string& text) {
  return "message " + forms::Quote(caption) + " " + icon + " " + buttons + " " + forms::Quote(text);
}

// The transcript lines that start with `prefix`.
inline std::vector<std::string> LinesStarting(const std::vector<std::string>& transcript,
                                              const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : transcript)
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

// The transcript as one text, for failure output.
inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A local time on the sandbox clock (which has no time zone).
inline platform::SystemTime At(int year, int month, int day, int hour, int minute, int second) {
  platform::SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}

class CopyHarness {
 public:
  // A machine of the 95 family (or `platformId`) in a fresh folder with the medium as D:,
  // the eight forms, and a scripted user giving `answers`. The clock stands at 1 March 2024
  // 10:20:30.
  explicit CopyHarness(const std::string& answers = "",
                       std::uint32_t platformId = platform::kPlatformWindows)
      : machine_(Options(root_.path, platformId)),
        toolkit_(forms::headless::ParseAnswers(answers)),
        app_(toolkit_),
        context_{app_, machine_.platform(), {}} {
    std::filesystem::create_directories(root_.path / "medium");
    machine_.Mount('D', root_.path / "medium");
    machine_.clock().SetFixedLocalTime(At(2024, 3, 1, 10, 20, 30));
    CreateSetupForms(context_);
    main().SetupDir = "D:\\";
    main().InstallDir = "C:\\APP";
  }
  CopyHarness(const CopyHarness&) = delete;
  CopyHarness& operator=(const CopyHarness&) = delete;

  TMainForm& main() { return *context_.forms.MainForm; }
  TProcessForm& progress() { return *context_.forms.ProcessForm; }
  TReplForm& replace() { return *context_.forms.ReplForm; }
  TNotFileForm& notFile() { return *context_.forms.NotFileForm; }
  sandbox::Machine& machine() { return machine_; }
  platform::Platform& platform() { return machine_.platform(); }
  forms::Application& app() { return app_; }
  forms::headless::HeadlessToolkit& toolkit() { return toolkit_; }
  const std::vector<std::string>& transcript() const { return toolkit_.Transcript(); }
  std::size_t RemainingAnswers() const { return toolkit_.RemainingActions(); }

  // Writes a file of the machine (a Windows path), creating its folders.
  void PutFile(const std::string& windowsPath, const std::string& bytes) {
    const std::filesystem::path host = machine_.HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }
  // Sets a file's last-write time (host time stamps are UTC, as the sandbox's local time).
  void SetFileTime(const std::string& windowsPath, const platform::SystemTime& time) {
    const sandbox::UnixTime unix = sandbox::UnixFromFileTime(sandbox::ToFileTime(time));
    const auto since =
        std::chrono::seconds(unix.seconds) + std::chrono::nanoseconds(unix.nanoseconds);
    std::filesystem::last_write_time(machine_.HostPath(windowsPath),
                                     std::filesystem::file_time_type::clock::from_sys(
                                         std::chrono::sys_time<std::chrono::nanoseconds>(since)));
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
  // Writes Setup.Inf on the medium, one line each, CR LF ended.
  void SetScript(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    PutFile("D:\\Setup.Inf", text);
  }

 private:
  // The machine's folder, removed after everything else has gone.
  struct TempRoot {
    std::filesystem::path path;
    TempRoot() {
      static int counter = 0;
      path = std::filesystem::temp_directory_path() /
             ("setup-copy-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
      std::filesystem::remove_all(path);
      std::filesystem::create_directories(path);
    }
    ~TempRoot() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };

  static sandbox::MachineOptions Options(const std::filesystem::path& root,
                                         std::uint32_t platformId) {
    sandbox::MachineOptions options;
    options.root = root / "machine";
    options.platformId = platformId;
    options.moduleFileName = "D:\\SETUP.EXE";
    return options;
  }

  TempRoot root_;
  sandbox::Machine machine_;
  forms::headless::HeadlessToolkit toolkit_;
  forms::Application app_;
  SetupContext context_;
};

}  // namespace copy_test
