// script_bench: how the script passes grow with the script. Each row is the time at twice
// the size over the time at the size, on a fresh sandbox machine each run:
//   - the header pass over scripts of N and 2N lines;
//   - the installation walk over scripts of N and 2N lines that copy nothing;
//   - an INI FILE block of E and 2E entries;
//   - R and 2R REGISTRY ITEM blocks.
// Times are the processor time of the thread that runs the pass (its own work, in the
// program and in the kernel): the walk ends with a fixed pause in real time, and the
// machine is shared, so wall time would measure the pause and the neighbours. The walk on
// an empty script is taken off every walk.
//
//   script_bench [N [E [R [ROUNDS]]]]     defaults: 400000 10000 40000 3
//
// The sizes are those at which the shorter pass of each pair lasts 50 ms or more of
// processor time: at 100 000 lines a pass took 12-45 ms and the ratios swung from run to
// run with the machine's load.
//
// Target: every doubling within 2.3x.
#include <time.h>

#include <cstdlib>
#include <fstream>

#include "bench/BenchInstaller.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// Lines the header pass reads and the walk passes over without copying a file.
Lines PlainScript(int count) {
  static const char* const kLines[] = {"CAPTION=Bench product",
                                       "InstTo=C:\\Bench",
                                       "REBOOT=NO",
                                       "DISK=1",
                                       "; a remark about the files",
                                       "UNINSTALL=NO",
                                       "OSTYPE=WIN95/NT",
                                       "SOMETHING=else,entirely",
                                       "MAKE GROUP=NO",
                                       "PROCESS=1000000"};
  Lines lines;
  for (int i = 0; i < count; ++i) lines.emplace_back(kLines[i % std::size(kLines)]);
  return lines;
}

Lines IniScript(int entries) {
  Lines lines = {"INI FILE=bench.ini", "SECTION=Bench"};
  for (int i = 0; i < entries; ++i)
    lines.push_back("Entry" + std::to_string(i) + "=value of entry " + std::to_string(i));
  lines.emplace_back("END OF INI");
  return lines;
}

Lines RegistryScript(int items) {
  Lines lines;
  for (int i = 0; i < items; ++i) {
    const Lines item = {"REGISTRY ITEM",
                        "KEYROOT=HKEY_LOCAL_MACHINE",
                        "KEYLEVEL=SOFTWARE\\Bench\\Group" + std::to_string(i % 100),
                        "KEYNAME=Value" + std::to_string(i),
                        "KEYNAMEVALUE=data of value " + std::to_string(i),
                        "KEYTYPE=STRING",
                        "END OF REGISTRY ITEM"};
    lines.insert(lines.end(), item.begin(), item.end());
  }
  return lines;
}

enum class Pass { Header, Walk };

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best time of `rounds` runs of `pass` over `script`, each on a fresh machine.
double Best(const fs::path& root, const Lines& script, Pass pass, int rounds) {
  fs::remove_all(root / "medium");
  fs::create_directories(root / "medium");
  {
    std::ofstream out(root / "medium" / "Setup.Inf", std::ios::binary);
    for (const std::string& line : script) out << line << "\r\n";
  }
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    fs::remove_all(root / "machine");
    bench::Installer installer(root / "machine", root / "medium");
    TMainForm& main = installer.Main();
    main.InstallDir = "C:\\Bench";
    ::sync();
    const double start = ThreadSeconds();
    if (pass == Pass::Header)
      main.ReadScriptHeader();
    else
      main.RunInstallation();
    best = std::min(best, ThreadSeconds() - start);
  }
  return best;
}

void Doubling(const fs::path& root, const std::string& what, const Lines& single,
              const Lines& twice, Pass pass, int rounds, double fixed) {
  const double one = Best(root, single, pass, rounds) - fixed;
  const double two = Best(root, twice, pass, rounds) - fixed;
  char measured[128];
  std::snprintf(measured, sizeof measured, "%.3f s vs %.3f s cpu", two, one);
  bench::Row(what, measured, two / one, 2.3);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 400000;
  const int entries = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int items = argc > 3 ? std::atoi(argv[3]) : 40000;
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
  const fs::path root = bench::ScratchRoot("script-bench");

  const double pause = Best(root, {}, Pass::Walk, rounds);
  const std::string lines = std::to_string(n);
  Doubling(root, "header pass, " + lines + " lines x2", PlainScript(n), PlainScript(2 * n),
           Pass::Header, rounds, 0.0);
  Doubling(root, "walk, " + lines + " lines x2", PlainScript(n), PlainScript(2 * n), Pass::Walk,
           rounds, pause);
  Doubling(root, "INI block, " + std::to_string(entries) + " entries x2", IniScript(entries),
           IniScript(2 * entries), Pass::Walk, rounds, pause);
  Doubling(root, "registry items, " + std::to_string(items) + " x2", RegistryScript(items),
           RegistryScript(2 * items), Pass::Walk, rounds, pause);
  fs::remove_all(root);
  return 0;
}
