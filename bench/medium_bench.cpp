// Benchmarks of the medium tools. Prints ROW lines (see BenchInstaller.h).
//   medium_bench pack MIB      our SZDD coder against mscompress on the same data: output
//                              size and processor time, ours over theirs
//   medium_bench check LINES   setup-check's reading of a LINES-line script and of one twice
//                              as long: the doubling ratio and the processor seconds
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchInstaller.h"
#include "tools/medium/CheckMedium.h"
#include "tools/medium/Szdd.h"

namespace fs = std::filesystem;

namespace {

double SelfSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double ChildSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Product-like data: text of a small vocabulary, then program-like blocks (repeated
// stretches with changes), then a little noise.
std::string ProductData(std::size_t size) {
  static const char* kWords[] = {"setup ",    "install ", "the ", "file ", "window ", "\r\n",
                                 "registry ", "value ",   "DLL ", "a ",    "of ",     "program "};
  std::mt19937 random(1);
  std::string data;
  while (data.size() < size / 2) data += kWords[random() % 12];
  std::string block(512, '\0');
  for (char& c : block) c = static_cast<char>(random() % 40);
  while (data.size() < size * 15 / 16) {
    block[random() % block.size()] = static_cast<char>(random() & 0xFF);
    data += block.substr(0, 64 + random() % 448);
  }
  while (data.size() < size) data.push_back(static_cast<char>(random() & 0xFF));
  return data;
}

int Pack(std::size_t mib) {
  const fs::path dir = fs::temp_directory_path() / ("medium-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string data = ProductData(mib << 20);
  WriteFile(dir / "theirs.bin", data);
  WriteFile(dir / "ours.bin", data);

  const double childStart = ChildSeconds();
  const pid_t child = fork();
  if (child == 0) {
    execlp("mscompress", "mscompress", (dir / "theirs.bin").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double theirTime = ChildSeconds() - childStart;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "medium_bench: mscompress failed\n");
    fs::remove_all(dir);
    return 1;
  }
  const std::uintmax_t theirSize = fs::file_size(dir / "theirs.bin_");

  const double start = SelfSeconds();
  WriteFile(dir / "ours.bin_", medium::CompressSzdd(ReadFile(dir / "ours.bin"), 'n'));
  const double ourTime = SelfSeconds() - start;
  const std::uintmax_t ourSize = fs::file_size(dir / "ours.bin_");
  fs::remove_all(dir);

  std::fprintf(stderr,
               "SZDD pack of %zu MiB: ours %ju bytes in %.2f s, mscompress %ju bytes in %.2f s\n",
               mib, ourSize, ourTime, theirSize, theirTime);
  bench::Row("SZDD pack, output size", "ours / mscompress",
             static_cast<double>(ourSize) / theirSize, 1.02);
  bench::Row("SZDD pack, processor time", "ours / mscompress", ourTime / std::max(theirTime, 1e-6),
             1.0);
  return 0;
}

// A script of about `lines` lines over a medium of a few files: copy lines, registry items,
// INI and group blocks, each file named by many lines.
std::vector<std::string> Script(std::size_t lines) {
  std::vector<std::string> script = {"InstTo=C:\\Bench", "CAPTION=Bench", "UNINSTALL=YES",
                                     "LANG=English,en.lng,bench.lng", "MakeGroup=YES"};
  for (std::size_t i = 0; script.size() < lines; ++i) {
    const std::string n = std::to_string(i);
    script.push_back("COPYTOBASE=file" + std::to_string(i % 8) + ".dat,dir" + n + "\\f.dat$$100$$");
    script.insert(script.end(),
                  {"REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=SOFTWARE\\Bench\\" + n,
                   "KEYNAME=Value", "KEYNAMEVALUE=" + n, "KEYTYPE=INTEGER", "END OF REGISTRY ITEM",
                   "INI FILE=bench.ini", "SECTION=S" + n, "Key=<TOPATH>", "END OF INI",
                   "GROUP ITEM", "FILE=<TOPATH>\\dir" + n + "\\f.dat", "TITLE=Item " + n,
                   "PATH=<TOPATH>", "END OF GROUP ITEM"});
  }
  script.push_back("PROCESS=" + std::to_string(100 * (lines / 17 + 1)));
  return script;
}

double BestCheck(const medium::MediumDir& dir, const std::vector<std::string>& script) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    const double start = SelfSeconds();
    const std::vector<medium::Finding> findings = medium::CheckMedium(dir, script, {});
    best = std::min(best, SelfSeconds() - start);
    if (round == 0 && !findings.empty()) std::fprintf(stderr, "%zu findings\n", findings.size());
  }
  return best;
}

int Check(std::size_t lines) {
  const fs::path root = fs::temp_directory_path() / ("medium-bench-" + std::to_string(::getpid()));
  fs::create_directories(root);
  WriteFile(root / "Setup.Inf", "CAPTION=Bench\r\n");
  WriteFile(root / "uninstkp.exe", "MZ");
  WriteFile(root / "en.lng", "language");
  for (int i = 0; i < 8; ++i)
    WriteFile(root / ("file" + std::to_string(i) + ".dat"), std::string(100, 'x'));
  const std::optional<medium::MediumDir> dir = medium::MediumDir::Open(root);
  const double single = BestCheck(*dir, Script(lines));
  const double twice = BestCheck(*dir, Script(2 * lines));
  fs::remove_all(root);
  std::fprintf(stderr, "setup-check: %zu lines %.3f s, %zu lines %.3f s\n", lines, single,
               2 * lines, twice);
  bench::Row("setup-check, script length doubled",
             std::to_string(2 * lines) + " / " + std::to_string(lines) + " lines",
             twice / std::max(single, 1e-6), 2.3);
  bench::Row("setup-check of " + std::to_string(lines) + " lines", "processor seconds", single,
             1.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const std::size_t size = argc > 2 ? std::stoul(argv[2]) : 0;
  if (mode == "pack" && size > 0) return Pack(size);
  if (mode == "check" && size > 0) return Check(size);
  std::fprintf(stderr, "usage: medium_bench pack MIB | check LINES\n");
  return 2;
}
