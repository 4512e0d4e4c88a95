// szdd_bench: expands one SZDD-compressed file through the installer's copy path (InstallFile
// with compressed sources, on a sandbox machine) and times the same expansion done by
// libmspack's own SZDD extract called directly, file to file, in the same run.
//
//   szdd_bench [MIB [ROUNDS]]     defaults: 256 3
//
// The compressed file is made with mscompress from text-like data. Target: within 1.1x of
// the direct extract.
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

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const fs::path root = bench::ScratchRoot("szdd-bench");
  const fs::path medium = root / "medium";
  fs::create_directories(medium);
  const fs::path plain = root / "plain.bin";
  WriteText(plain, mib << 20);
  if (bench::Shell("cd " + bench::Quoted(root) + " && mscompress plain.bin") != 0) {
    std::fprintf(stderr, "szdd_bench: mscompress failed\n");
    return 1;
  }
  fs::rename(root / "plain.bin_", medium / "large.bi_");

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
