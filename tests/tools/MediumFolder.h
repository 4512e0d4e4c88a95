// A medium laid out in a scratch folder for the medium tools' tests.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/medium/Pack.h"

namespace medium::testing {

inline std::string Put32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
  return bytes;
}

// A PE32 image without sections whose export directory names one function.
inline std::string TinyDll(const std::string& exportName) {
  std::string image(0x400, '\0');
  const auto put = [&](std::size_t at, std::uint32_t v) { image.replace(at, 4, Put32(v)); };
  image[0] = 'M';
  image[1] = 'Z';
  put(0x3C, 0x40);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  image[0x54] = static_cast<char>(224);
  put(0x58, 0x10B);
  put(0x58 + 60, 0x400);
  put(0x58 + 92, 16);
  put(0x58 + 96, 0x200);
  put(0x58 + 100, 40);
  put(0x200 + 20, 1);
  put(0x200 + 24, 1);
  put(0x200 + 28, 0x240);
  put(0x200 + 32, 0x250);
  put(0x200 + 36, 0x260);
  put(0x240, 0x1000);
  put(0x250, 0x270);
  image.replace(0x270, exportName.size(), exportName);
  return image;
}

// The script of a two-disk set with an uninstall entry: a.dat from disk 1, then DISK=2 and
// the lines `disk2`; the language file and the uninstaller are looked for on disk 2.
inline std::vector<std::string> TwoDiskScript(const std::vector<std::string>& disk2) {
  std::vector<std::string> lines = {"InstTo=C:\\App",
                                    "CAPTION=App",
                                    "PROCESS=10",
                                    "UNINSTALL=YES",
                                    "LANG=English,en.lng,app.lng",
                                    "COPYTOBASE=a.dat,a.dat$$5$$",
                                    "DISK=2"};
  lines.insert(lines.end(), disk2.begin(), disk2.end());
  return lines;
}

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() /
            ("medium-test-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

  // Writes `bytes` as the file `relative` ("/" separated).
  void Put(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
  }
  void PutScript(const std::vector<std::string>& lines,
                 const std::string& relative = "Setup.Inf") const {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    Put(relative, text);
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

// setup-pack's options for the layout the tests make in `work`: the template template.inf,
// the product's files in product/, the programs in programs/, the medium in out/.
inline PackOptions PackOptionsIn(const std::filesystem::path& work) {
  PackOptions options;
  options.script = work / "template.inf";
  options.files = work / "product";
  options.out = work / "out";
  options.programs = work / "programs";
  return options;
}

}  // namespace medium::testing
