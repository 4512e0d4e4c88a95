#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "forms/Graphics.h"
#include "tests/controls/BmpBytes.h"

namespace {

using testing_support::BmpBytes;
using testing_support::IndexedPicture;
using testing_support::Put16;
using testing_support::Put32;

// 5 x 3 with every palette entry used, so row padding and bit packing both matter.
IndexedPicture Sample(int colours) {
  IndexedPicture p;
  p.width = 5;
  p.height = 3;
  for (int i = 0; i < p.width * p.height; ++i) p.indices.push_back((i * 7 + i / 5) % colours);
  for (int i = 0; i < colours; ++i)
    p.palette.push_back(forms::Rgb(static_cast<std::uint8_t>(17 * i + 3),
                                   static_cast<std::uint8_t>(200 - 11 * i),
                                   static_cast<std::uint8_t>(i % 2 ? 250 : 9)));
  return p;
}

TEST(DecodeBmp, ReadsEveryPlainFormatBothRowOrders) {
  struct Case {
    int bits;
    int colours;
  };
  for (const Case c :
       {Case{1, 2}, Case{4, 16}, Case{8, 256}, Case{8, 7}, Case{24, 15}, Case{32, 15}}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(std::to_string(c.bits) + " bits, " + std::to_string(c.colours) + " colours, " +
                   (topDown ? "top-down" : "bottom-up"));
      const IndexedPicture picture = Sample(c.colours);
      forms::Bitmap out;
      ASSERT_TRUE(forms::DecodeBmp(BmpBytes(picture, c.bits, topDown), out));
      ASSERT_EQ(out.Width(), picture.width);
      ASSERT_EQ(out.Height(), picture.height);
      for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
          EXPECT_EQ(out.Pixel(x, y), picture.At(x, y)) << "at " << x << "," << y;
    }
  }
}

TEST(DecodeBmp, DamagedFilesAreNoPicture) {
  const std::string good = BmpBytes(Sample(15), 24);
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
  };
  const Case cases[] = {
      {"empty", [](std::string& b) { b.clear(); }},
      {"not BM", [](std::string& b) { b[0] = 'X'; }},
      {"cut inside the header", [](std::string& b) { b.resize(30); }},
      {"last pixel byte missing", [](std::string& b) { b.pop_back(); }},
      {"height lies high", [](std::string& b) { Put32(b, 22, 1000); }},
      {"width lies high", [](std::string& b) { Put32(b, 18, 0x7FFFFFFF); }},
      {"width and height wrap 32 bits",
       [](std::string& b) {
         Put32(b, 18, 32768);
         Put32(b, 22, 32768);
         Put16(b, 28, 32);
       }},
      {"width 0", [](std::string& b) { Put32(b, 18, 0); }},
      {"height 0", [](std::string& b) { Put32(b, 22, 0); }},
      {"negative width", [](std::string& b) { Put32(b, 18, static_cast<std::uint32_t>(-5)); }},
      {"height of int min", [](std::string& b) { Put32(b, 22, 0x80000000u); }},
      {"7 bits a pixel", [](std::string& b) { Put16(b, 28, 7); }},
      {"RLE compression", [](std::string& b) { Put32(b, 30, 1); }},
      {"pixels past the end", [](std::string& b) { Put32(b, 10, 0x7FFFFFF0u); }},
      {"pixels inside the header", [](std::string& b) { Put32(b, 10, 20); }},
      {"header size 0", [](std::string& b) { Put32(b, 14, 0); }},
      {"header larger than the file", [](std::string& b) { Put32(b, 14, 0xFFFFFFF0u); }},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    c.damage(bytes);
    forms::Bitmap out(2, 2, forms::kClRed);
    EXPECT_FALSE(forms::DecodeBmp(bytes, out)) << c.name;
    EXPECT_EQ(out, forms::Bitmap(2, 2, forms::kClRed)) << c.name << ": output touched";
  }
}

}  // namespace

namespace {

// A whole 1-bit file of the given bounds, every row present: only its size can refuse it.
std::string OneBitPicture(int width, int height) {
  IndexedPicture p;
  p.width = width;
  p.height = height;
  p.indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (std::size_t i = 0; i < p.indices.size(); i += 3) p.indices[i] = 1;
  p.palette = {forms::kClBlack, forms::kClWhite};
  return BmpBytes(p, 1);
}

TEST(DecodeBmp, APictureTooLargeToHoldIsNoPicture) {
  const struct {
    int width, height;
    bool held;
  } cases[] = {{4096, 1024, true},
               {1024, 4096, true},
               {4097, 1, false},
               {1, 4097, false},
               {2049, 2049, false}};
  for (const auto& c : cases) {
    forms::Bitmap out;
    EXPECT_EQ(forms::DecodeBmp(OneBitPicture(c.width, c.height), out), c.held)
        << c.width << " x " << c.height;
    EXPECT_EQ(out.Width(), c.held ? c.width : 0) << c.width << " x " << c.height;
  }
}

}  // namespace
