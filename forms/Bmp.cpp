// Reading of Windows ".bmp" files into 32-bit bitmaps.
#include <cstdint>
#include <string>

#include "forms/Graphics.h"

namespace forms {
namespace {

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24);
}

std::uint16_t Read16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::uint8_t Byte(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]);
}

}  // namespace

bool DecodeBmp(const std::string& bytes, Bitmap& out) {
  constexpr std::size_t kFileHeader = 14;
  if (bytes.size() < kFileHeader + 12 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  std::uint32_t dataOffset = Read32(bytes, 10);
  std::uint32_t headerSize = Read32(bytes, kFileHeader);
  std::int64_t width = 0;
  std::int64_t height = 0;
  unsigned bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t paletteCount = 0;
  unsigned paletteEntry = 4;
  if (headerSize == 12) {  // the old OS/2 header
    width = Read16(bytes, kFileHeader + 4);
    height = static_cast<std::int16_t>(Read16(bytes, kFileHeader + 6));
    bits = Read16(bytes, kFileHeader + 10);
    paletteEntry = 3;
  } else if (headerSize >= 40 && bytes.size() >= kFileHeader + 40) {
    width = static_cast<std::int32_t>(Read32(bytes, kFileHeader + 4));
    height = static_cast<std::int32_t>(Read32(bytes, kFileHeader + 8));
    bits = Read16(bytes, kFileHeader + 14);
    compression = Read32(bytes, kFileHeader + 16);
    paletteCount = Read32(bytes, kFileHeader + 32);
  } else {
    return false;
  }
  // Only plain pixel rows (BI_RGB, or BI_BITFIELDS with the usual 32-bit masks).
  if (compression != 0 && !(compression == 3 && bits == 32)) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  bool bottomUp = height > 0;
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return false;
  if (bits <= 8 && paletteCount == 0) paletteCount = 1u << bits;
  std::size_t paletteAt = kFileHeader + headerSize;
  if (paletteCount > 256 || paletteAt + std::size_t{paletteCount} * paletteEntry > bytes.size())
    return false;
  std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (dataOffset > bytes.size() || bytes.size() - dataOffset < stride * height) return false;

  Bitmap result(static_cast<int>(width), static_cast<int>(height));
  for (std::int64_t row = 0; row < height; ++row) {
    std::size_t at = dataOffset + stride * row;
    int y = static_cast<int>(bottomUp ? height - 1 - row : row);
    for (std::int64_t x = 0; x < width; ++x) {
      ColorRef color = kClBlack;
      if (bits >= 24) {
        std::size_t p = at + x * (bits / 8);
        color = Rgb(Byte(bytes, p + 2), Byte(bytes, p + 1), Byte(bytes, p));
      } else {
        std::size_t bit = static_cast<std::size_t>(x) * bits;
        unsigned shift = 8 - bits - (bit % 8);
        unsigned index = (Byte(bytes, at + bit / 8) >> shift) & ((1u << bits) - 1);
        if (index < paletteCount) {
          std::size_t p = paletteAt + index * paletteEntry;
          color = Rgb(Byte(bytes, p + 2), Byte(bytes, p + 1), Byte(bytes, p));
        }
      }
      result.SetPixel(static_cast<int>(x), y, color);
    }
  }
  out = std::move(result);
  return true;
}

}  // namespace forms
