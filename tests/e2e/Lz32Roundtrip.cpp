// Our SZDD coder against Windows' own expansion: every sample is compressed here, written
// beside the program, and read back through lz32's LZOpenFileA and LZRead, which must
// give the original bytes. Prints each failure and "N passed, N failed"; exits 0 when all
// passed.
#include <windows.h>
// lzexpand.h needs the types of windows.h.
#include <lzexpand.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/tools/SzddSamples.h"
#include "tools/medium/Szdd.h"

namespace {

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

// Writes `packed` to `path` and expands it with lz32 into `expanded`; prints why when either
// fails.
bool WriteAndExpand(const std::string& name, const std::string& path, const std::string& packed,
                    std::string& expanded) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(packed.data(), 1, packed.size(), file) != packed.size()) {
    std::printf("FAIL: %s: cannot write %s\n", name.c_str(), path.c_str());
    if (file != nullptr) std::fclose(file);
    return false;
  }
  std::fclose(file);
  const bool read = ExpandWithLz32(path, expanded);
  DeleteFileA(path.c_str());
  if (!read) std::printf("FAIL: %s: lz32 could not read it\n", name.c_str());
  return read;
}

}  // namespace

int main() {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  int passed = 0;
  int failed = 0;
  int index = 0;
  for (const medium::testing::SzddSample& sample : medium::testing::SzddSamples()) {
    const std::string path = std::string(dir) + "lzrt" + std::to_string(index++) + ".da_";
    std::string expanded;
    if (!WriteAndExpand(sample.name, path, medium::CompressSzdd(sample.data, 't'), expanded)) {
      ++failed;
    } else if (expanded != sample.data) {
      std::printf("FAIL: %s: lz32 gave %u bytes, not the %u written\n", sample.name.c_str(),
                  static_cast<unsigned>(expanded.size()),
                  static_cast<unsigned>(sample.data.size()));
      ++failed;
    } else {
      ++passed;
    }
  }

  // lz32 expands the whole stream, whatever length the header declares: a stream longer
  // than declared gives more bytes than declared, which the installer's copy refuses. The
  // sandbox's expansion must do the same.
  const std::string text = "a stream that holds more than its header declares";
  std::string understated = medium::CompressSzdd(text, 't');
  understated.replace(10, 4, std::string("\x04\0\0\0", 4));
  std::string expanded;
  if (!WriteAndExpand("understated length", std::string(dir) + "lzrtlong.da_", understated,
                      expanded)) {
    ++failed;
  } else if (expanded != text) {
    std::printf("FAIL: understated length: lz32 gave %u bytes, not the %u of the stream\n",
                static_cast<unsigned>(expanded.size()), static_cast<unsigned>(text.size()));
    ++failed;
  } else {
    ++passed;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
