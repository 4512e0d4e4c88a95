// Reading of Windows ".bmp" files into 32-bit bitmaps. The pixel decoding is stb_image's
// (Debian's libstb-dev); the header is checked here first, because stb reads missing
// bytes as zeros and a cut-off file would otherwise come out as a picture with a black
// tail. A file that fails either check is no picture.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "forms/Graphics.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 4096
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace forms {
namespace {

constexpr std::size_t kFileHeader = 14;
// The largest picture held: a presentation picture is shown in a few hundred pixels, and a
// picture of these bounds already takes 16 MB as a bitmap and 12 MB while it is decoded.
// A larger one is no picture rather than a program that runs out of memory.
constexpr std::int64_t kMaxSide = 4096;
constexpr std::int64_t kMaxPixels = 4096 * 1024;

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

// True when the headers describe a picture kind we show and the file holds every pixel
// row they promise. All sizes are worked out in 64 bits, so no header value can wrap them.
bool HeaderHolds(const std::string& bytes) {
  if (bytes.size() < kFileHeader + 4 || bytes.size() > 0x7FFFFFFF || bytes[0] != 'B' ||
      bytes[1] != 'M')
    return false;
  const std::uint64_t dataOffset = Read32(bytes, 10);
  const std::uint64_t headerSize = Read32(bytes, kFileHeader);
  if (bytes.size() < kFileHeader + headerSize) return false;
  std::int64_t width = 0;
  std::int64_t height = 0;
  unsigned bits = 0;
  std::uint32_t compression = 0;
  if (headerSize == 12) {  // the old OS/2 header
    width = Read16(bytes, kFileHeader + 4);
    height = static_cast<std::int16_t>(Read16(bytes, kFileHeader + 6));
    bits = Read16(bytes, kFileHeader + 10);
  } else if (headerSize >= 40) {
    width = static_cast<std::int32_t>(Read32(bytes, kFileHeader + 4));
    height = static_cast<std::int32_t>(Read32(bytes, kFileHeader + 8));
    bits = Read16(bytes, kFileHeader + 14);
    compression = Read32(bytes, kFileHeader + 16);
  } else {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  // Plain rows only (BI_RGB, or BI_BITFIELDS masks over 16 or 32 bits): no RLE, no JPEG.
  if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32))) return false;
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      width * height > kMaxPixels)
    return false;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  return dataOffset >= kFileHeader + headerSize &&
         dataOffset + stride * static_cast<std::uint64_t>(height) <= bytes.size();
}

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// Decodes a file whose header was found sound.
bool DecodeHeldBmp(const std::string& bytes, Bitmap& out) {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<stbi_uc, StbFree> pixels(
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                            static_cast<int>(bytes.size()), &width, &height, &channels, 3));
  if (!pixels || width <= 0 || height <= 0) return false;
  Bitmap result(width, height);
  const stbi_uc* p = pixels.get();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x, p += 3) result.SetPixel(x, y, Rgb(p[0], p[1], p[2]));
  out = std::move(result);
  return true;
}

}  // namespace

bool DecodeBmp(const std::string& bytes, Bitmap& out) {
  if (bytes.size() > kMaxBmpFileBytes || !HeaderHolds(bytes)) return false;
  try {
    return DecodeHeldBmp(bytes, out);
  } catch (const std::bad_alloc&) {
    // Memory the machine does not have for it: no picture, as for a damaged file.
    return false;
  }
}

}  // namespace forms
