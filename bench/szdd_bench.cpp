// szdd_bench: expands one SZDD-compressed file through the installer's copy path (InstallFile
// with compressed sources, on a sandbox machine) and times the same expansion done by
// libmspack's own SZDD extract called directly, file to file, in the same run.
//
//   szdd_bench [MIB [ROUNDS]]     defaults: 256 3
//   szdd_bench --peak MIB         installs one compressed file and prints the peak memory
//
// The compressed file is made with mscompress from text-like data. Targets: within 1.1x of
// the direct extract; the peak memory of an install under 32 MiB, whatever the file's size
// (the expansion runs a few blocks ahead of the copy).
#include <mspack.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "bench/BenchInstaller.h"

namespace fs = std::filesystem;

namespace {

// Lines of words from a small vocabulary: data that compresses about as a program's does.
void WriteText(const fs::path& path, std::uint64_t size) {
  static const char* const kWords[] = {"setup",  "install", "file", "window", "program",
                                       "system", "value",   "key",  "data",   "copy",
                                       "the",    "of",      "and",  "to",     "registry",
                                       "0x00",   "0xFF",    "\t",   "return", "error"};
  std::mt19937 random(12345);
  std::ofstream out(path, std::ios::binary);
  std::string chunk;
  for (std::uint64_t written = 0; written < size;) {
    chunk.clear();
    while (chunk.size() < (1 << 16)) {
      chunk += kWords[random() % std::size(kWords)];
      chunk += (random() % 9 == 0) ? "\r\n" : " ";
      if (random() % 5 == 0) chunk += std::to_string(random() % 100000);
    }
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - written));
    out.write(chunk.data(), static_cast<std::streamsize>(n));
    written += n;
  }
}

bool ExtractDirectly(const fs::path& source, const fs::path& dest) {
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
  if (decompressor == nullptr) return false;
  bool ok = false;
  if (msszddd_header* header = decompressor->open(decompressor, source.c_str())) {
    ok = decompressor->extract(decompressor, header, dest.c_str()) == MSPACK_ERR_OK;
    decompressor->close(decompressor, header);
  }
  mspack_destroy_szdd_decompressor(decompressor);
  return ok;
}

bool SameBytes(const fs::path& a, const fs::path& b) {
  return bench::Shell("cmp -s " + bench::Quoted(a) + " " + bench::Quoted(b)) == 0;
}

// Writes `mib` MiB of text to root/plain.bin and its compressed form to
// root/medium/large.bi_. False when mscompress fails.
bool MakeMedium(const fs::path& root, std::uint64_t mib) {
  fs::create_directories(root / "medium");
  WriteText(root / "plain.bin", mib << 20);
  if (bench::Shell("cd " + bench::Quoted(root) + " && mscompress plain.bin") != 0) {
    std::fprintf(stderr, "szdd_bench: mscompress failed\n");
    return false;
  }
  fs::rename(root / "plain.bin_", root / "medium" / "large.bi_");
  return true;
}

// Installs the compressed file once and reports this process's peak resident memory; the
// data is made on disk in blocks and compressed by a child process, so the peak is the
// install's.
int Peak(std::uint64_t mib) {
  const fs::path root = bench::ScratchRoot("szdd-peak");
  if (!MakeMedium(root, mib)) return 1;
  bool ok = false;
  {
    bench::Installer installer(root / "machine", root / "medium");
    installer.Main().Compressed = true;
    ok = installer.Install({"large.bi_"}) &&
         SameBytes(root / "machine" / "drive_c" / "BENCH" / "large.bi_", root / "plain.bin");
  }
  fs::remove_all(root);
  bench::PeakMemoryRow("peak memory, install of " + std::to_string(mib) + " MiB SZDD (MiB)");
  if (!ok) std::fprintf(stderr, "szdd_bench: the expansion failed or differs\n");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--peak")
    return Peak(std::strtoull(argv[2], nullptr, 10));
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const fs::path root = bench::ScratchRoot("szdd-bench");
  if (!MakeMedium(root, mib)) return 1;
  const fs::path medium = root / "medium";
  const fs::path plain = root / "plain.bin";

  int failures = 0;
  {
    bench::Installer installer(root / "machine", medium);
    installer.Main().Compressed = true;
    const fs::path ours = root / "machine" / "drive_c" / "BENCH";
    const fs::path theirs = root / "direct.bin";
    const bench::Pair best = bench::BestOf(
        rounds, [&] { failures += installer.Install({"large.bi_"}) ? 0 : 1; },
        [&] { failures += ExtractDirectly(medium / "large.bi_", theirs) ? 0 : 1; },
        [&] {
          if (fs::exists(ours / "large.bi_") && !SameBytes(ours / "large.bi_", plain)) ++failures;
          if (fs::exists(theirs) && !SameBytes(theirs, plain)) ++failures;
          fs::remove_all(ours);
          fs::remove_all(theirs);
        });
    char measured[128];
    std::snprintf(measured, sizeof measured, "%.3f s vs %.3f s", best.ours, best.base);
    bench::Row("SZDD expansion of " + std::to_string(mib) + " MiB vs libmspack", measured,
               best.ours / best.base, 1.1);
  }
  fs::remove_all(root);
  if (failures > 0) std::fprintf(stderr, "szdd_bench: %d expansions failed or differ\n", failures);
  return failures > 0 ? 1 : 0;
}
