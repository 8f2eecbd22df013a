// Pictures made for tests through the real codecs: RGB pixels of many colours, a four-colour
// GIF, and how far apart two pictures' pixels are.
#pragma once

#include <cstdlib>
#include <string>

#include "runtime/GifCodec.h"
#include "runtime/JpegCodec.h"

namespace qx::test {

// Smooth gradients with a dark square in the middle: thousands of colours, one sharp edge.
inline TRGBImage GradientImage(int width, int height) {
  TRGBImage image{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool square = x > width / 3 && x < 2 * width / 3 && y > height / 3 && y < 2 * height / 3;
      image.Pixels.push_back(static_cast<std::uint8_t>(x * 255 / width));
      image.Pixels.push_back(static_cast<std::uint8_t>(square ? 20 : y * 255 / height));
      image.Pixels.push_back(static_cast<std::uint8_t>((x + y) * 4));
    }
  return image;
}

inline const TRGBTriple kRed{255, 0, 0}, kGreen{0, 160, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// Quadrants red, green, blue and white (indices 0 to 3), with `transparent` as its transparent
// index.
inline TIndexedImage QuadrantImage(int width, int height, int transparent = -1) {
  TIndexedImage image{width, height, {}, {kRed, kGreen, kBlue, kWhite}, transparent};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.Indices.push_back(static_cast<std::uint8_t>((x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0)));
  return image;
}

// The mean absolute difference per colour channel of two pictures of one size.
inline double MeanError(const TRGBImage& a, const TRGBImage& b) {
  long long sum = 0;
  for (std::size_t i = 0; i < a.Pixels.size() && i < b.Pixels.size(); ++i)
    sum += std::abs(int(a.Pixels[i]) - int(b.Pixels[i]));
  return a.Pixels.empty() ? 0 : double(sum) / double(a.Pixels.size());
}

}  // namespace qx::test
