// copy_bench: installs files through the real InstallFile path on a sandbox machine and
// times `cp` on the same data in the same run, for (a) one large file and (b) many small
// files. Prints both times, their ratio, and the peak memory after each part.
//
//   copy_bench [LARGE_MIB [SMALL_COUNT [SMALL_KIB]]]     defaults: 1024 10000 4
//
// Targets: (a) within 1.25x of cp, (b) within 3x of cp; peak memory independent of the
// file size (the copy moves 8192-byte blocks through one buffer).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/Gaugep_.h"
#include "engine/Problem_.h"
#include "engine/ReplF_.h"
#include "engine/infoThread.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "wizard/BackNext.h"
#include "wizard/ExitFrm_.h"
#include "wizard/FldrFrm.h"
#include "wizard/ShutF_.h"

namespace fs = std::filesystem;

namespace {

// Times `work` after flushing what earlier parts left to be written, so neither side pays
// for the other's write-back.
double Seconds(const std::function<void()>& work) {
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void WriteFilled(const fs::path& path, std::uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(size, 1 << 20)));
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    out.write(block.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// The program's forms on one sandbox machine whose medium is D:.
struct Installer {
  sandbox::Machine machine;
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app{toolkit};
  SetupContext context{app, machine.platform(), {}};

  Installer(const fs::path& root, const fs::path& medium) : machine(Options(root)) {
    machine.Mount('D', medium);
    SetupForms& f = context.forms;
    f.MainForm = &app.CreateForm<TMainForm>(context);
    f.ProcessForm = &app.CreateForm<TProcessForm>(context);
    f.NotFileForm = &app.CreateForm<TNotFileForm>(context);
    f.ExitForm = &app.CreateForm<TExitForm>(context);
    f.FolderForm = &app.CreateForm<TFolderForm>(context);
    f.ReplForm = &app.CreateForm<TReplForm>(context);
    f.ShutForm = &app.CreateForm<TShutForm>(context);
    f.WizForm = &app.CreateForm<TWizForm>(context);
    f.MainForm->SetupDir = "D:\\";
  }
  static sandbox::MachineOptions Options(const fs::path& root) {
    sandbox::MachineOptions options;
    options.root = root;
    options.moduleFileName = "D:\\SETUP.EXE";
    return options;
  }
  // Installs each source of the medium into C:\BENCH under its own name, with the
  // progress window shown and its thread running, as during a real run.
  bool Install(const std::vector<std::string>& names) {
    TMainForm& main = *context.forms.MainForm;
    TProcessForm& progress = *context.forms.ProcessForm;
    TInfoThread thread(app);
    thread.SetProgressForm(&progress);
    thread.Start();
    progress.Show();
    bool ok = true;
    for (const std::string& name : names)
      ok = main.InstallFile("D:\\" + name, "C:\\BENCH\\" + name, false, "BASE") && ok;
    progress.Hide();
    return ok;
  }
};

void Report(const char* part, double ours, double cp, double target) {
  std::printf("%s: InstallFile %.3f s, cp %.3f s, ratio %.2f (target %.2f) %s\n", part, ours, cp,
              ours / cp, target, ours / cp <= target ? "ok" : "OVER");
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t largeMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const int smallCount = argc > 2 ? std::atoi(argv[2]) : 10000;
  const std::uint64_t smallKiB = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 4;

  const fs::path root = fs::temp_directory_path() / ("copy-bench-" + std::to_string(::getpid()));
  fs::remove_all(root);
  const fs::path medium = root / "medium";
  fs::create_directories(medium / "many");
  fs::create_directories(root / "cp" / "many");
  std::printf("peak memory at start: %ld KiB\n", PeakKiB());

  // (a) one large file.
  WriteFilled(medium / "large.bin", largeMiB << 20);
  // (b) many small files in one directory.
  std::vector<std::string> smallNames;
  for (int i = 0; i < smallCount; ++i) {
    const std::string name = "f" + std::to_string(i) + ".dat";
    WriteFilled(medium / "many" / name, smallKiB << 10);
    smallNames.push_back("many\\" + name);
  }

  int failures = 0;
  {
    Installer installer(root / "machine-a", medium);
    const double cp = Seconds([&] {
      Shell("cp " + Quoted(medium / "large.bin") + " " + Quoted(root / "cp" / "large.bin"));
    });
    // The same data moved in the same 8 KiB blocks by dd: what the block size alone costs.
    const double dd = Seconds([&] {
      Shell("dd if=" + Quoted(medium / "large.bin") + " of=" + Quoted(root / "cp" / "dd.bin") +
            " bs=8k status=none");
    });
    bool ok = true;
    const double ours = Seconds([&] { ok = installer.Install({"large.bin"}); });
    if (!ok) ++failures;
    std::printf("(a) dd with 8 KiB blocks: %.3f s, ratio to cp %.2f\n", dd, dd / cp);
    char label[64];
    std::snprintf(label, sizeof label, "(a) one file of %llu MiB",
                  static_cast<unsigned long long>(largeMiB));
    Report(label, ours, cp, 1.25);
    std::printf("peak memory after (a): %ld KiB\n", PeakKiB());
  }
  fs::remove_all(root / "cp");
  fs::remove_all(root / "machine-a");
  fs::create_directories(root / "cp");
  {
    Installer installer(root / "machine-b", medium);
    const double cp = Seconds(
        [&] { Shell("cp -r " + Quoted(medium / "many") + " " + Quoted(root / "cp" / "many")); });
    bool ok = true;
    const double ours = Seconds([&] { ok = installer.Install(smallNames); });
    if (!ok) ++failures;
    char label[64];
    std::snprintf(label, sizeof label, "(b) %d files of %llu KiB", smallCount,
                  static_cast<unsigned long long>(smallKiB));
    Report(label, ours, cp, 3.0);
    std::printf("peak memory after (b): %ld KiB\n", PeakKiB());
  }
  fs::remove_all(root);
  if (failures > 0) std::printf("some installs failed\n");
  return failures > 0 ? 1 : 0;
}
