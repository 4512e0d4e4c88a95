#include "fuzz/SandboxRun.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Program.h"
#include "forms/Application.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"

namespace fuzzing {
namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "setup-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "HELLO.TXT" compressed in the SZDD form the installer expands: one flag byte saying the
// next eight bytes are literals.
std::string SzddSample() {
  const std::string text = "Hello!\r\n";
  std::string bytes = "SZDD\x88\xF0\x27\x33";
  bytes += 'A';
  bytes += 'T';  // the last letter of the name, replaced by "_" on the medium
  for (int shift = 0; shift < 32; shift += 8)
    bytes += static_cast<char>((text.size() >> shift) & 0xFF);
  bytes += '\xFF';
  bytes += text;
  return bytes;
}

// A 2x2 picture of 24 bits per pixel.
std::string BmpSample() {
  std::string bytes = "BM";
  auto put32 = [&](std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((v >> shift) & 0xFF);
  };
  auto put16 = [&](std::uint16_t v) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>(v >> 8);
  };
  put32(14 + 40 + 16);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(2);
  put32(2);
  put16(1);
  put16(24);
  for (int i = 0; i < 6; ++i) put32(0);
  bytes += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
  bytes += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
  return bytes;
}

void LayOutMedium(const fs::path& medium, std::string_view script, bool withFiles) {
  WriteFile(medium / "Setup.Inf", script);
  if (!withFiles) return;
  WriteFile(medium / "A.TXT", "first file\r\n");
  WriteFile(medium / "DISK2" / "B.TXT", "second disk\r\n");
  WriteFile(medium / "HELLO.TX_", SzddSample());
  WriteFile(medium / "lang.en", "English language file\r\n");
  WriteFile(medium / "Present.bmp", BmpSample());
}

// The names the program may leave in the run folder.
bool OnlyOwnFolders(const fs::path& run) {
  for (const fs::directory_entry& entry : fs::directory_iterator(run)) {
    const std::string name = entry.path().filename().string();
    if (name != "machine" && name != "medium") {
      std::fprintf(stderr, "the run wrote %s outside the machine\n", entry.path().c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

void RunOnSandbox(std::string_view script, const RunOptions& options) {
  ScratchDir scratch;
  // The machine sits one level down, so that a path leading out of it lands in `run` or in
  // the scratch folder, both of which are checked.
  const fs::path run = scratch.path() / "run";
  LayOutMedium(run / "medium", script, options.withFiles);
  sandbox::MachineOptions machineOptions;
  machineOptions.root = run / "machine";
  machineOptions.platformId =
      options.windowsNt ? platform::kPlatformWin32Nt : platform::kPlatformWindows;
  machineOptions.csdVersion = options.windowsNt ? "Service Pack 3" : "";
  machineOptions.moduleFileName = "D:\\SETUP.EXE";
  {
    sandbox::Machine machine(machineOptions);
    machine.Mount('D', run / "medium");
    machine.platform().files.SetCurrentDirectory("D:\\");

    std::vector<forms::headless::Action> actions;
    if (options.cancelAtOnce)
      actions = forms::headless::ParseAnswers("click cancBut\nclick Button2\n");
    forms::headless::HeadlessToolkit toolkit(actions);
    forms::headless::DefaultAnswers answers;
    answers.limit = 200;
    answers.fill = "Fuzz User";
    // The wizard's forward button, giving up a missing file (accepting the same folder
    // again would only ask again), the browse dialog's OK and the overwrite question's
    // "Yes to all" lead furthest through the installation.
    answers.preferred = {"nextBut", "cancbut", "okbut", "BTN_YESTOALL"};
    toolkit.SetDefaultAnswers(answers);
    // A timer that keeps firing with no one answering counts as idle after a virtual minute.
    toolkit.SetIdleLimit(60000);
    // The main window covers the screen and is painted pixel by pixel: a small screen keeps
    // a run quick without leaving any code out.
    toolkit.SetScreenSize(160, 120);
    {
      forms::Application app(toolkit);
      std::vector<std::string> transcript;
      try {
        RunSetup(app, machine.platform());
        transcript = toolkit.Transcript();
      } catch (const forms::headless::ScriptStopped& stopped) {
        // The generic user gave up (its limit, or nothing on screen to answer): a normal end.
        transcript = stopped.Transcript();
        transcript.push_back(std::string("stopped: ") + stopped.what());
      }
      // For a person looking into one input: what the user saw.
      if (std::getenv("SETUP_FUZZ_TRANSCRIPT"))
        for (const std::string& line : transcript) std::fprintf(stderr, "%s\n", line.c_str());
    }
    machine.Save();
  }
  // The next program on the same machine (the uninstaller, another installation) starts
  // from the registry this one saved: it must load back to the same registry.
  {
    const std::string saved = ReadFile(run / "machine" / "registry.reg");
    sandbox::Machine again(machineOptions);
    again.Save();
    if (ReadFile(run / "machine" / "registry.reg") != saved) {
      std::fprintf(stderr, "the saved registry does not load back the same\n");
      std::abort();
    }
  }
  bool clean = OnlyOwnFolders(run);
  for (const fs::directory_entry& entry : fs::directory_iterator(scratch.path()))
    if (entry.path().filename() != "run") {
      std::fprintf(stderr, "the run wrote %s outside the machine\n", entry.path().c_str());
      clean = false;
    }
  if (!clean) std::abort();
}

}  // namespace fuzzing
