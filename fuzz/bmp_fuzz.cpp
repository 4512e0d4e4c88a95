// The picture reader on any bytes: a file is either no picture or a picture of the size its
// header gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "forms/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  forms::Bitmap picture;
  if (forms::DecodeBmp(bytes, picture) && (picture.Width() <= 0 || picture.Height() <= 0))
    std::abort();
  return 0;
}
