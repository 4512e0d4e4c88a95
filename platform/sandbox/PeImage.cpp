#include "platform/sandbox/PeImage.h"

#include <cstdint>
#include <optional>

namespace sandbox {
namespace {

// Header layout (offsets in bytes) of the parts that the lookup reads.
constexpr std::uint64_t kDosLfanewOffset = 0x3C;
constexpr std::uint64_t kFileHeaderSize = 20;  // after the 4-byte "PE\0\0"
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kExportDirectorySize = 40;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

// Little-endian reads that fail instead of reading past the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Fits(std::uint64_t offset, std::uint64_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Number(offset, 4); }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    auto value = Number(offset, 2);
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
  }
  // The zero-terminated text at `offset`; nothing when no zero follows inside the file.
  std::optional<std::string_view> CString(std::uint64_t offset) const {
    if (offset >= bytes_.size()) return std::nullopt;
    const std::size_t end = bytes_.find('\0', static_cast<std::size_t>(offset));
    if (end == std::string_view::npos) return std::nullopt;
    return bytes_.substr(static_cast<std::size_t>(offset), end - static_cast<std::size_t>(offset));
  }

 private:
  std::optional<std::uint32_t> Number(std::uint64_t offset, int size) const {
    if (!Fits(offset, static_cast<std::uint64_t>(size))) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
      value =
          (value << 8) | static_cast<unsigned char>(bytes_[static_cast<std::size_t>(offset) + i]);
    }
    return value;
  }

  std::string_view bytes_;
};

// The section table, to turn relative virtual addresses into file offsets.
struct Sections {
  std::uint64_t tableOffset = 0;
  std::uint32_t count = 0;
  std::uint32_t sizeOfHeaders = 0;

  // The file offset of `rva`, when a section's raw data (or the headers) hold it.
  std::optional<std::uint64_t> FileOffset(const Reader& reader, std::uint32_t rva) const {
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t header = tableOffset + i * kSectionHeaderSize;
      auto virtualAddress = reader.U32(header + 12);
      auto rawSize = reader.U32(header + 16);
      auto rawPointer = reader.U32(header + 20);
      if (!virtualAddress || !rawSize || !rawPointer) return std::nullopt;
      if (rva >= *virtualAddress && rva - *virtualAddress < *rawSize) {
        return std::uint64_t{*rawPointer} + (rva - *virtualAddress);
      }
    }
    if (rva < sizeOfHeaders) return rva;
    return std::nullopt;
  }
};

// The export directory's RVA and the section table, or nothing when `image` is no PE image.
struct Headers {
  Sections sections;
  std::uint32_t exportRva = 0;
};

std::optional<Headers> ReadHeaders(const Reader& reader) {
  auto mz = reader.U16(0);
  auto lfanew = reader.U32(kDosLfanewOffset);
  if (!mz || *mz != 0x5A4D || !lfanew) return std::nullopt;
  const std::uint64_t pe = *lfanew;
  auto signature = reader.U32(pe);
  if (!signature || *signature != 0x00004550) return std::nullopt;

  const std::uint64_t fileHeader = pe + 4;
  auto sectionCount = reader.U16(fileHeader + 2);
  auto optionalSize = reader.U16(fileHeader + 16);
  const std::uint64_t optional = fileHeader + kFileHeaderSize;
  auto magic = reader.U16(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;

  std::uint64_t countOffset = 0;
  if (*magic == kMagicPe32) {
    countOffset = 92;
  } else if (*magic == kMagicPe32Plus) {
    countOffset = 108;
  } else {
    return std::nullopt;
  }
  Headers headers;
  headers.sections.tableOffset = optional + *optionalSize;
  headers.sections.count = *sectionCount;
  if (!reader.Fits(headers.sections.tableOffset, headers.sections.count * kSectionHeaderSize)) {
    return std::nullopt;
  }
  auto sizeOfHeaders = reader.U32(optional + 60);
  auto directoryCount = reader.U32(optional + countOffset);
  if (!sizeOfHeaders || !directoryCount) return std::nullopt;
  headers.sections.sizeOfHeaders = *sizeOfHeaders;

  // Data directory 0 is the export table; an image without one exports nothing.
  const std::uint64_t exportEntry = optional + countOffset + 4;
  if (*directoryCount >= 1 && exportEntry + 8 <= optional + *optionalSize) {
    headers.exportRva = reader.U32(exportEntry).value_or(0);
  }
  return headers;
}

bool ExportsName(const Reader& reader, const Headers& headers, std::string_view name) {
  if (headers.exportRva == 0) return false;
  auto directory = headers.sections.FileOffset(reader, headers.exportRva);
  if (!directory || !reader.Fits(*directory, kExportDirectorySize)) return false;
  auto functionCount = reader.U32(*directory + 20);
  auto nameCount = reader.U32(*directory + 24);
  auto functionsRva = reader.U32(*directory + 28);
  auto namesRva = reader.U32(*directory + 32);
  auto ordinalsRva = reader.U32(*directory + 36);
  if (*nameCount == 0) return false;
  auto functions = headers.sections.FileOffset(reader, *functionsRva);
  auto names = headers.sections.FileOffset(reader, *namesRva);
  auto ordinals = headers.sections.FileOffset(reader, *ordinalsRva);
  if (!functions || !names || !ordinals) return false;
  // Both arrays must lie inside the file, which also bounds the loop below by its size.
  if (!reader.Fits(*names, std::uint64_t{*nameCount} * 4) ||
      !reader.Fits(*ordinals, std::uint64_t{*nameCount} * 2)) {
    return false;
  }
  for (std::uint32_t i = 0; i < *nameCount; ++i) {
    auto nameRva = reader.U32(*names + std::uint64_t{i} * 4);
    auto nameOffset = headers.sections.FileOffset(reader, *nameRva);
    if (!nameOffset) continue;
    auto text = reader.CString(*nameOffset);
    if (!text || *text != name) continue;
    // The name counts only when its ordinal leads to a function that is really there.
    auto ordinal = reader.U16(*ordinals + std::uint64_t{i} * 2);
    if (*ordinal >= *functionCount) return false;
    auto functionRva = reader.U32(*functions + std::uint64_t{*ordinal} * 4);
    return functionRva && *functionRva != 0;
  }
  return false;
}

}  // namespace

PeExportLookup FindPeExport(std::string_view image, std::string_view name) {
  const Reader reader(image);
  const std::optional<Headers> headers = ReadHeaders(reader);
  if (!headers) return PeExportLookup::NotAnImage;
  return ExportsName(reader, *headers, name) ? PeExportLookup::Exported
                                             : PeExportLookup::NotExported;
}

bool HasTypeLibrarySignature(std::string_view bytes) {
  return bytes.starts_with("MSFT") || bytes.starts_with("SLTG");
}

}  // namespace sandbox
