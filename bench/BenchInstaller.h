// What the benchmarks share: the program's forms on one sandbox machine, timing, and the
// one-line result format that bench/run gathers into its table.
#pragma once

#include <unistd.h>

#include <sys/resource.h>
#include <algorithm>
#include <chrono>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
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

namespace bench {

// Wall time of `work` after flushing what earlier parts left to be written, so neither
// side pays for the other's write-back.
inline double Seconds(const std::function<void()>& work) {
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of `rounds` runs of each side, taken in turns: the machine is shared, and the
// fastest run is the one least disturbed. `between` runs untimed after every run.
struct Pair {
  double ours = 1e30;
  double base = 1e30;
};
inline Pair BestOf(int rounds, const std::function<void()>& ours, const std::function<void()>& base,
                   const std::function<void()>& between) {
  Pair best;
  for (int i = 0; i < rounds; ++i) {
    best.base = std::min(best.base, Seconds(base));
    between();
    best.ours = std::min(best.ours, Seconds(ours));
    between();
  }
  return best;
}

// One row of bench/run's table: "ROW<TAB>what<TAB>measured<TAB>value<TAB>target".
// `value` must not exceed `target`.
inline void Row(const std::string& what, const std::string& measured, double value, double target) {
  std::printf("ROW\t%s\t%s\t%.2f\t%.2f\n", what.c_str(), measured.c_str(), value, target);
  std::fflush(stdout);
}

// The row of the process's peak memory so far (its largest resident set), in MiB, against
// the target every installation must keep to.
inline void PeakMemoryRow(const std::string& what) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
  char measured[96];
  std::snprintf(measured, sizeof measured, "%.1f MiB", mib);
  Row(what, measured, mib, 32.0);
}

// The program's forms on one sandbox machine whose medium is D:.
struct Installer {
  sandbox::Machine machine;
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app{toolkit};
  SetupContext context{app, machine.platform(), {}};

  Installer(const std::filesystem::path& root, const std::filesystem::path& medium)
      : machine(Options(root)) {
    machine.Mount('D', medium);
    CreateSetupForms(context);
    context.forms.MainForm->SetupDir = "D:\\";
  }
  static sandbox::MachineOptions Options(const std::filesystem::path& root) {
    sandbox::MachineOptions options;
    options.root = root;
    options.moduleFileName = "D:\\SETUP.EXE";
    return options;
  }
  TMainForm& Main() { return *context.forms.MainForm; }
  // Installs each source of the medium into `destDir` under its own name, with the
  // progress window shown and its thread running, as during a real run. With a
  // `recordName` every file is noted in the uninstall record of that product first, as
  // when the script asks for an uninstall entry.
  bool Install(const std::vector<std::string>& names, const std::string& destDir = "C:\\BENCH",
               const std::string& recordName = "") {
    TMainForm& main = Main();
    main.Record = recordName.empty()
                      ? nullptr
                      : std::make_unique<engine::StateRecord>(machine.platform(), recordName);
    TProcessForm& progress = *context.forms.ProcessForm;
    TInfoThread thread(app);
    thread.SetProgressForm(&progress);
    thread.Start();
    progress.Show();
    bool ok = true;
    for (const std::string& name : names)
      ok = main.InstallFile("D:\\" + name, destDir + "\\" + name, false, "BASE") && ok;
    progress.Hide();
    return ok;
  }
};

inline std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

inline int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// A fresh scratch folder under the temporary directory, named after `what` and the process.
inline std::filesystem::path ScratchRoot(const std::string& what) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / (what + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  return root;
}

}  // namespace bench
