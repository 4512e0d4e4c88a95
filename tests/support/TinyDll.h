// A minimal PE image that exports the functions a test names, for the checks that look for
// a DLL's entry points without running it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline void Put16(std::string& image, std::size_t offset, std::uint16_t value) {
  image[offset] = static_cast<char>(value);
  image[offset + 1] = static_cast<char>(value >> 8);
}

inline void Put32(std::string& image, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (8 * i));
}

// A minimal DLL: MZ stub, PE headers, one section at RVA 0x1000 (file offset 0x200) that
// holds the export directory, its three arrays and the names. The offsets are kept so that
// tests can damage the image field by field.
struct TinyDll {
  static constexpr std::size_t kPe = 0x80;
  static constexpr std::size_t kFileHeader = kPe + 4;
  static constexpr std::size_t kOptional = kFileHeader + 20;
  static constexpr std::size_t kSection = 0x200;
  static constexpr std::uint32_t kSectionRva = 0x1000;

  std::string image;
  std::size_t sectionHeader = 0;
  std::size_t exportEntry = 0;  // data directory 0
  std::size_t directory = kSection;

  TinyDll(const std::vector<std::string>& names, bool pe32Plus = false) {
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t directoryOffset = pe32Plus ? 112 : 96;
    const auto count = static_cast<std::uint32_t>(names.size());
    const std::uint32_t functions = kSectionRva + 40;
    const std::uint32_t nameTable = functions + 4 * count;
    const std::uint32_t ordinals = nameTable + 4 * count;
    std::uint32_t text = ordinals + 2 * count;

    image.assign(kSection + (text - kSectionRva), '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, kPe);
    image.replace(kPe, 4, std::string("PE\0\0", 4));
    Put16(image, kFileHeader, pe32Plus ? 0x8664 : 0x14C);
    Put16(image, kFileHeader + 2, 1);
    Put16(image, kFileHeader + 16, static_cast<std::uint16_t>(optionalSize));
    Put16(image, kFileHeader + 18, 0x2102);
    Put16(image, kOptional, pe32Plus ? 0x20B : 0x10B);
    Put32(image, kOptional + 60, kSection);
    Put32(image, kOptional + directoryOffset - 4, 16);
    exportEntry = kOptional + directoryOffset;
    Put32(image, exportEntry, kSectionRva);
    Put32(image, exportEntry + 4, 40);

    Put32(image, directory + 20, count);
    Put32(image, directory + 24, count);
    Put32(image, directory + 28, functions);
    Put32(image, directory + 32, nameTable);
    Put32(image, directory + 36, ordinals);
    for (std::uint32_t i = 0; i < count; ++i) {
      Put32(image, kSection + (functions - kSectionRva) + 4 * i, 0x2000 + 16 * i);
      Put32(image, kSection + (nameTable - kSectionRva) + 4 * i, text);
      Put16(image, kSection + (ordinals - kSectionRva) + 2 * i, static_cast<std::uint16_t>(i));
      image += names[i] + '\0';
      text += static_cast<std::uint32_t>(names[i].size() + 1);
    }
    sectionHeader = kOptional + optionalSize;
    image.replace(sectionHeader, 6, ".edata");
    const auto rawSize = static_cast<std::uint32_t>(image.size() - kSection);
    Put32(image, sectionHeader + 8, rawSize);
    Put32(image, sectionHeader + 12, kSectionRva);
    Put32(image, sectionHeader + 16, rawSize);
    Put32(image, sectionHeader + 20, kSection);
  }
};

}  // namespace testing_support
