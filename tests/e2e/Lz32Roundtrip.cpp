// Our SZDD coder against Windows' own expansion: every sample is compressed here, written
// beside the program, and read back through lz32's LZOpenFileA and LZRead, which must
// give the original bytes. Prints each failure and "N passed, N failed"; exits 0 when all
// passed.
#include <lzexpand.h>
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tools/medium/Szdd.h"

namespace {

struct Sample {
  std::string name;
  std::string data;
};

std::string Words(std::size_t size, unsigned seed) {
  static const char* kWords[] = {"setup ",    "install ", "the ", "file ", "window ", "\r\n",
                                 "registry ", "0x00 ",    "DLL ", "a ",    "of ",     "program "};
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) bytes += kWords[random() % 12];
  bytes.resize(size);
  return bytes;
}

std::string Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::vector<Sample> Samples() {
  std::vector<Sample> samples = {{"empty", ""}};
  for (std::size_t n = 1; n <= 16; ++n)
    samples.push_back({"short " + std::to_string(n), Words(n, static_cast<unsigned>(n))});
  samples.push_back({"one byte repeated", std::string(70000, 'a')});
  samples.push_back({"spaces", std::string(5000, ' ')});
  samples.push_back({"random", Random(70000, 7)});
  samples.push_back({"words", Words(150000, 3)});
  for (std::size_t n : {4078, 4079, 4080, 4095, 4096, 4097, 4113, 8192, 8193})
    samples.push_back(
        {"around the window " + std::to_string(n), Words(n, static_cast<unsigned>(n))});
  const std::string block = Random(4070, 11);
  samples.push_back({"block at the reach", block + Random(8, 12) + block + Random(30, 13) + block});
  return samples;
}

// The file's bytes as lz32 expands them, or nothing when it cannot be opened or read.
bool ExpandWithLz32(const std::string& path, std::string& bytes) {
  OFSTRUCT of{};
  const INT handle = LZOpenFileA(const_cast<char*>(path.c_str()), &of, OF_READ);
  if (handle < 0) return false;
  char buffer[8192];
  bool ok = true;
  for (;;) {
    const INT got = LZRead(handle, buffer, sizeof buffer);
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  LZClose(handle);
  return ok;
}

}  // namespace

int main() {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  int passed = 0;
  int failed = 0;
  int index = 0;
  for (const Sample& sample : Samples()) {
    const std::string path = std::string(dir) + "lzrt" + std::to_string(index++) + ".da_";
    const std::string packed = medium::CompressSzdd(sample.data, 't');
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(packed.data(), 1, packed.size(), file) != packed.size()) {
      std::printf("FAIL: %s: cannot write %s\n", sample.name.c_str(), path.c_str());
      ++failed;
      if (file != nullptr) std::fclose(file);
      continue;
    }
    std::fclose(file);
    std::string expanded;
    if (!ExpandWithLz32(path, expanded)) {
      std::printf("FAIL: %s: lz32 could not read it\n", sample.name.c_str());
      ++failed;
    } else if (expanded != sample.data) {
      std::printf("FAIL: %s: lz32 gave %u bytes, not the %u written\n", sample.name.c_str(),
                  static_cast<unsigned>(expanded.size()),
                  static_cast<unsigned>(sample.data.size()));
      ++failed;
    } else {
      ++passed;
    }
    DeleteFileA(path.c_str());
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
