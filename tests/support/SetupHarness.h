// A whole installer run for tests: a sandbox machine in a fresh temporary folder, an
// installation medium mounted as D: (the program is D:\SETUP.EXE), a scripted user and the
// transcript of what the user saw.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/Setup_.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"

namespace testing_support {

// A folder removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("setup-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to a host file, creating its folders.
inline void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// Reads a host file whole (empty when missing).
inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Joins script lines with CR LF, as scripts are written.
inline std::string ScriptText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The outcome of one run.
struct RunResult {
  int stopCode = 0;  // 0: the program ended; otherwise the scripted user's stop code
  std::string stopMessage;
  std::vector<std::string> transcript;
};

// Runs the program on `platform` with the answers (one action a line) and gives what
// happened; `inspect` sees the program's windows after the run, before they are freed.
inline RunResult RunProgram(platform::Platform& platform, const std::string& answers,
                            const std::function<void(SetupForms&)>& inspect = nullptr) {
  forms::headless::HeadlessToolkit toolkit(forms::headless::ParseAnswers(answers));
  RunResult result;
  forms::Application app(toolkit);
  SetupContext context{app, platform, {}};
  try {
    CreateSetupForms(context);
    app.Run(*context.forms.MainForm);
    app.AddLine("exit");
    result.transcript = toolkit.Transcript();
  } catch (const forms::headless::ScriptStopped& stopped) {
    result.stopCode = stopped.Code();
    result.stopMessage = stopped.what();
    result.transcript = stopped.Transcript();
  }
  if (inspect) inspect(context.forms);
  return result;
}

class SetupHarness {
 public:
  explicit SetupHarness(std::uint32_t platformId = platform::kPlatformWindows,
                        std::string csdVersion = {}) {
    sandbox::MachineOptions options;
    options.root = root_.path() / "machine";
    options.platformId = platformId;
    options.csdVersion = std::move(csdVersion);
    options.moduleFileName = "D:\\SETUP.EXE";
    machine_ = std::make_unique<sandbox::Machine>(options);
    std::filesystem::create_directories(MediumDir());
    machine_->Mount('D', MediumDir());
  }

  sandbox::Machine& machine() { return *machine_; }
  std::filesystem::path MediumDir() const { return root_.path() / "medium"; }

  // Puts a file on the medium (a path relative to the medium's root, "/" separated).
  void AddMediumFile(const std::string& relative, const std::string& bytes) {
    WriteHostFile(MediumDir() / relative, bytes);
  }
  // Writes Setup.Inf on the medium from script lines.
  void SetScript(const std::vector<std::string>& lines) {
    AddMediumFile("Setup.Inf", ScriptText(lines));
  }

  // Runs the program with the answers (one action a line) and gives what happened;
  // `inspect` sees the program's windows after the run, before they are freed.
  RunResult Run(const std::string& answers,
                const std::function<void(SetupForms&)>& inspect = nullptr) {
    return RunProgram(machine_->platform(), answers, inspect);
  }

 private:
  TempDir root_;
  std::unique_ptr<sandbox::Machine> machine_;
};

// The transcript as one text, a line each, for readable failure output.
inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace testing_support
