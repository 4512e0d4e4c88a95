// szdd_bench: expands one SZDD-compressed file through the installer's copy path (InstallFile
// with compressed sources, on a sandbox machine) and times the same expansion done by
// libmspack's own SZDD extract called directly, file to file, in the same run. The
// library is given file I/O of its best: its default I/O hands it stdio calls of 2 KiB in
// and 4 KiB out, which made the direct extract twice as slow as the same library reading
// and writing through 64 KiB buffers (measured on 256 MiB: 10.2 s against 5.5 s).
//
//   szdd_bench [MIB [ROUNDS]]     defaults: 256 3
//   szdd_bench --peak MIB         installs one compressed file and prints the peak memory
//
// The compressed file is made with mscompress from text-like data. Targets: within 1.1x of
// the direct extract; the peak memory of an install under 32 MiB, whatever the file's size
// (the expansion runs a few blocks ahead of the copy).
#include <fcntl.h>
#include <mspack.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
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

// A file of the yardstick's I/O: POSIX reads and writes through one 64 KiB buffer.
struct BufferedFile {
  int fd = -1;
  bool output = false;
  std::vector<char> buffer = std::vector<char>(64 * 1024);
  std::size_t begin = 0, end = 0;  // unread input, or (output) bytes waiting to be written
};

BufferedFile& AsFile(mspack_file* file) {
  return *reinterpret_cast<BufferedFile*>(file);
}

bool FlushOutput(BufferedFile& file) {
  const bool ok = file.end == 0 ||
                  ::write(file.fd, file.buffer.data(), file.end) == static_cast<ssize_t>(file.end);
  file.end = 0;
  return ok;
}

mspack_file* OpenBuffered(mspack_system*, const char* name, int mode) {
  auto file = std::make_unique<BufferedFile>();
  file->output = mode != MSPACK_SYS_OPEN_READ;
  file->fd =
      file->output ? ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644) : ::open(name, O_RDONLY);
  if (file->fd < 0) return nullptr;
  return reinterpret_cast<mspack_file*>(file.release());
}

void CloseBuffered(mspack_file* handle) {
  std::unique_ptr<BufferedFile> file(&AsFile(handle));
  if (file->output) FlushOutput(*file);
  ::close(file->fd);
}

int ReadBuffered(mspack_file* handle, void* buffer, int bytes) {
  BufferedFile& file = AsFile(handle);
  char* out = static_cast<char*>(buffer);
  int done = 0;
  while (done < bytes) {
    if (file.begin == file.end) {
      const ssize_t got = ::read(file.fd, file.buffer.data(), file.buffer.size());
      if (got < 0) return -1;
      if (got == 0) break;
      file.begin = 0;
      file.end = static_cast<std::size_t>(got);
    }
    const std::size_t count = std::min<std::size_t>(bytes - done, file.end - file.begin);
    std::memcpy(out + done, file.buffer.data() + file.begin, count);
    file.begin += count;
    done += static_cast<int>(count);
  }
  return done;
}

int WriteBuffered(mspack_file* handle, void* buffer, int bytes) {
  BufferedFile& file = AsFile(handle);
  const char* from = static_cast<const char*>(buffer);
  for (int done = 0; done < bytes;) {
    const std::size_t count = std::min<std::size_t>(bytes - done, file.buffer.size() - file.end);
    std::memcpy(file.buffer.data() + file.end, from + done, count);
    file.end += count;
    done += static_cast<int>(count);
    if (file.end == file.buffer.size() && !FlushOutput(file)) return -1;
  }
  return bytes;
}

off_t TellBuffered(mspack_file* handle) {
  BufferedFile& file = AsFile(handle);
  return ::lseek(file.fd, 0, SEEK_CUR) - static_cast<off_t>(file.end - file.begin);
}

int SeekBuffered(mspack_file* handle, off_t offset, int mode) {
  BufferedFile& file = AsFile(handle);
  if (file.output) return -1;
  off_t target = offset;
  if (mode == MSPACK_SYS_SEEK_CUR) target += TellBuffered(handle);
  if (mode == MSPACK_SYS_SEEK_END) target += ::lseek(file.fd, 0, SEEK_END);
  file.begin = file.end = 0;
  return ::lseek(file.fd, target, SEEK_SET) < 0 ? -1 : 0;
}

void NoMessage(mspack_file*, const char*, ...) {}
void* Allocate(mspack_system*, std::size_t bytes) {
  return std::malloc(bytes);
}
void Release(void* memory) {
  std::free(memory);
}
void CopyBytes(void* from, void* to, std::size_t bytes) {
  std::memmove(to, from, bytes);
}

bool ExtractDirectly(const fs::path& source, const fs::path& dest) {
  mspack_system system{OpenBuffered, CloseBuffered, ReadBuffered, WriteBuffered,
                       SeekBuffered, TellBuffered,  NoMessage,    Allocate,
                       Release,      CopyBytes,     nullptr};
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&system);
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
