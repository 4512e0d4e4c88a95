// Builds ".bmp" file images for the tests: a BITMAPINFOHEADER file of any of the plain
// pixel formats, from a picture of colours (and, for palette formats, indices).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/Graphics.h"

namespace testing_support {

inline void Put16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::size_t at, std::uint32_t value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, value >> 16);
}

// A picture given row by row from the top: palette indices, and the palette they refer to.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<int> indices;  // width * height entries
  std::vector<forms::ColorRef> palette;
  forms::ColorRef At(int x, int y) const { return palette[indices[y * width + x]]; }
};

// The file image of `picture` with `bits` per pixel (1, 4 or 8 store indices, 24 and 32
// store the colours), rows bottom-up unless `topDown`.
inline std::string BmpBytes(const IndexedPicture& picture, int bits, bool topDown = false) {
  const std::size_t paletteSize = bits <= 8 ? picture.palette.size() * 4 : 0;
  const std::size_t stride = ((static_cast<std::size_t>(picture.width) * bits + 31) / 32) * 4;
  const std::size_t dataOffset = 14 + 40 + paletteSize;
  std::string out(dataOffset + stride * picture.height, '\0');
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<std::uint32_t>(out.size()));
  Put32(out, 10, static_cast<std::uint32_t>(dataOffset));
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<std::uint32_t>(picture.width));
  Put32(out, 22, static_cast<std::uint32_t>(topDown ? -picture.height : picture.height));
  Put16(out, 26, 1);
  Put16(out, 28, static_cast<std::uint32_t>(bits));
  Put32(out, 34, static_cast<std::uint32_t>(stride * picture.height));
  if (bits <= 8) Put32(out, 46, static_cast<std::uint32_t>(picture.palette.size()));
  for (std::size_t i = 0; i * 4 < paletteSize; ++i) {
    const forms::ColorRef c = picture.palette[i];
    out[54 + i * 4] = static_cast<char>(forms::BlueOf(c));
    out[54 + i * 4 + 1] = static_cast<char>(forms::GreenOf(c));
    out[54 + i * 4 + 2] = static_cast<char>(forms::RedOf(c));
  }
  for (int y = 0; y < picture.height; ++y) {
    const int fileRow = topDown ? y : picture.height - 1 - y;
    const std::size_t row = dataOffset + stride * fileRow;
    for (int x = 0; x < picture.width; ++x) {
      if (bits <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        out[row + bit / 8] = static_cast<char>(static_cast<unsigned char>(out[row + bit / 8]) |
                                               (picture.indices[y * picture.width + x] << shift));
        continue;
      }
      const forms::ColorRef c = picture.At(x, y);
      const std::size_t p = row + static_cast<std::size_t>(x) * (bits / 8);
      out[p] = static_cast<char>(forms::BlueOf(c));
      out[p + 1] = static_cast<char>(forms::GreenOf(c));
      out[p + 2] = static_cast<char>(forms::RedOf(c));
    }
  }
  return out;
}

// A solid picture of one colour as a 24-bit file.
inline std::string SolidBmp(int width, int height, forms::ColorRef color) {
  IndexedPicture picture{width, height, std::vector<int>(width * height, 0), {color}};
  return BmpBytes(picture, 24);
}

}  // namespace testing_support
