// TPicture: a JPEG or GIF picture held as the bytes it was loaded from, with the size its
// headers give, written out again as JPEG or GIF for the browser. Form definitions load it
// through its published Data (Picture.Data = resource 'LoginIcon.jpg').
#pragma once

#include <string>
#include <string_view>

#include "runtime/ClassInfo.h"
#include "runtime/Colors.h"
#include "runtime/Graphics.h"
#include "runtime/JpegCodec.h"

namespace qx {

enum TGraphicFormat : int { gfNone, gfJPEG, gfGIF };

class TPicture : public TNotifyingPersistent {
  QX_CLASS(TPicture, TNotifyingPersistent)

 public:
  TPicture() = default;
  TPicture(const TPicture& other) = default;
  // Takes the other picture and announces the change; the change hook stays this one's own.
  TPicture& operator=(const TPicture& other);

  // The bytes as loaded.
  const std::string& Data() const noexcept { return data_; }
  // Loads JPEG or GIF bytes, decoding them whole to prove them sound; no bytes clear the
  // picture. Bytes that are neither, or a damaged picture, fail with EInvalidGraphic and leave
  // the picture as it was. A change is announced.
  void SetData(std::string_view bytes);
  void Clear() { SetData({}); }

  TGraphicFormat GraphicFormat() const noexcept { return format_; }
  // No graphic loaded.
  bool Empty() const noexcept { return format_ == gfNone; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }

  // The picture as a JPEG file: a JPEG picture's own bytes, anything else compressed with
  // `options` (transparent GIF pixels become white).
  const std::string& SaveToJPEG(const TJPEGOptions& options) const;
  // The picture as a GIF file whose transparent index is the palette entry of exactly
  // `transparentColor` (clNone: no transparency). A GIF picture without a transparent colour
  // to set is written as it was loaded; a JPEG picture is reduced to a palette first.
  const std::string& SaveToGIF(TColor transparentColor) const;
  // Both keep the last conversion they made, which they give again while the picture and what
  // is asked for stay the same (a dynamic image writes its picture at every render); the bytes
  // they return stay valid until the next call or the next change of the picture.

 private:
  // The last conversion: the format written and what it was written with.
  struct TConversion {
    TGraphicFormat format = gfNone;
    TJPEGOptions options;
    TColor transparentColor = clNone;
    std::string bytes;
  };

  std::string data_;
  TGraphicFormat format_ = gfNone;
  int width_ = 0;
  int height_ = 0;
  mutable TConversion converted_;
};

}  // namespace qx
