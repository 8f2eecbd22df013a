// What the JPEG and GIF codecs share: the failure a picture that cannot be read raises, and
// an image as plain RGB pixels (what one codec's decoder hands the other's encoder).
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Exceptions.h"

namespace qx {

// Picture bytes that are no JPEG or GIF image, or a damaged one; the message says which.
QX_EXCEPTION_CLASS(EInvalidGraphic, Exception);

// The largest picture the codecs decode (width times height): bytes claiming more are refused
// before any memory is taken for them.
constexpr long long kMaxPicturePixels = 40'000'000;
extern const char* const kPictureTooLarge;  // Format: the kind, width, height

// Width × Height pixels, row by row from the top, three bytes each (red, green, blue).
struct TRGBImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

}  // namespace qx
