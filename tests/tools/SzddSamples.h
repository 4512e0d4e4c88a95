// The data the SZDD coder's round trips are tested with: empty and short files, highly
// repetitive and random data, and sizes around the 4096-byte window.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace medium::testing {

struct SzddSample {
  std::string name;
  std::string data;
};

inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Text-like data: words from a small vocabulary, as program files and help texts are.
inline std::string Words(std::size_t size, unsigned seed) {
  static const char* kWords[] = {"setup ",    "install ", "the ", "file ", "window ", "\r\n",
                                 "registry ", "0x00 ",    "DLL ", "a ",    "of ",     "program "};
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) bytes += kWords[random() % 12];
  bytes.resize(size);
  return bytes;
}

inline std::vector<SzddSample> SzddSamples() {
  std::vector<SzddSample> samples = {{"empty", ""}};
  for (std::size_t n = 1; n <= 16; ++n)
    samples.push_back({"short " + std::to_string(n), Words(n, static_cast<unsigned>(n))});
  samples.push_back({"one byte repeated", std::string(100000, 'a')});
  samples.push_back({"spaces (the ring's fill)", std::string(5000, ' ')});
  std::string pattern;
  for (int i = 0; i < 20000; ++i) pattern += (i % 2) ? '\x00' : '\xFF';
  samples.push_back({"two-byte pattern", pattern});
  samples.push_back({"random 100 KiB", RandomBytes(100000, 7)});
  samples.push_back({"words 200 KiB", Words(200000, 3)});
  for (std::size_t n : {4078, 4079, 4080, 4095, 4096, 4097, 4113, 8192, 8193})
    samples.push_back(
        {"words around the window " + std::to_string(n), Words(n, static_cast<unsigned>(n))});
  // A block repeated just inside and just past the reach of a match.
  const std::string block = RandomBytes(4070, 11);
  samples.push_back({"block repeated at the reach",
                     block + RandomBytes(8, 12) + block + RandomBytes(30, 13) + block});
  return samples;
}

}  // namespace medium::testing
