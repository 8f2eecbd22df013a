// JPEG through libjpeg: recognising JPEG bytes, decoding them to RGB pixels, and compressing
// pixels with the options image controls publish (quality, speed, progressive, smoothing).
#pragma once

#include <string>
#include <string_view>

#include "runtime/Enums.h"
#include "runtime/Graphics.h"

namespace qx {

// Which DCT the compressor runs: the accurate integer one, or the fast one.
enum TJPEGPerformance : int { jpBestQuality, jpBestSpeed };
const TEnumInfo& EnumInfoOf(TJPEGPerformance);

struct TJPEGOptions {
  // 1 (smallest file) to 100 (best picture); values outside are taken as the nearest end.
  int CompressionQuality = 90;
  TJPEGPerformance Performance = jpBestSpeed;
  // Several scans, the picture sharpening as it arrives.
  bool ProgressiveEncoding = false;
  // Light input smoothing, which takes the dithering noise out of pictures that come from a
  // GIF's palette before they are compressed.
  bool Smoothing = true;

  bool operator==(const TJPEGOptions&) const = default;
};

// The bytes start with a JPEG start-of-image marker.
bool IsJPEG(std::string_view bytes) noexcept;

// The whole picture as RGB pixels (greyscale and CMYK pictures converted). A damaged picture,
// truncated data included, fails with EInvalidGraphic naming the decoder's complaint.
TRGBImage DecodeJPEG(std::string_view bytes);

// A baseline (or progressive) JFIF file of the pixels.
std::string EncodeJPEG(const TRGBImage& image, const TJPEGOptions& options);

}  // namespace qx
