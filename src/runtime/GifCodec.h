// GIF through giflib: recognising GIF bytes, decoding the first frame, writing a palette
// image with an optional transparent index, and reducing RGB pixels to a palette.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Graphics.h"

namespace qx {

using TRGBTriple = std::array<std::uint8_t, 3>;

// Width × Height palette indices, row by row from the top.
struct TIndexedImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Indices;
  // Up to 256 colours; an index beyond the colours shows black.
  std::vector<TRGBTriple> Palette;
  // The index drawn transparent, or -1.
  int Transparent = -1;
};

// The bytes start with a GIF signature ("GIF87a" or "GIF89a").
bool IsGIF(std::string_view bytes) noexcept;

// The picture's first frame on its logical screen (the area outside the frame shows the
// frame's transparent index when it has one, else the background index). A damaged picture
// fails with EInvalidGraphic naming giflib's complaint.
TIndexedImage DecodeGIF(std::string_view bytes);

// A GIF89a file of the image; the transparent index travels in a graphic control extension.
std::string EncodeGIF(const TIndexedImage& image);

// The pixels with a palette of at most 256 colours: their own colours when they have few
// enough, else a median-cut reduction. With `transparent`, the pixels of exactly that colour
// get an index of their own, which becomes the transparent index.
TIndexedImage ReduceToPalette(const TRGBImage& image, std::optional<TRGBTriple> transparent);

// The image as RGB pixels, transparent ones white.
TRGBImage PaletteToRGB(const TIndexedImage& image);

}  // namespace qx
