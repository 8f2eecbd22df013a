// Loading a picture (recognised by its signature, decoded whole before it replaces anything)
// and converting it between the two formats for output.
#include "runtime/Picture.h"

#include "runtime/Format.h"
#include "runtime/GifCodec.h"

namespace qx {

const char* const kPictureTooLarge = "The %s picture is too large (%d x %d pixels).";
constexpr const char* kUnknownPictureFormat =
    "The picture is neither a JPEG nor a GIF image (it starts with %s).";

namespace {

// The first bytes in hexadecimal, for a message about bytes of an unknown kind.
std::string LeadingBytes(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size() && i < 8; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (i) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPicture>("TPicture").Binary("Data", &TPicture::Data, &TPicture::SetData).Build();
  return info;
}

TPicture& TPicture::operator=(const TPicture& other) {
  if (this == &other) return *this;
  TNotifyingPersistent::operator=(other);
  data_ = other.data_;
  format_ = other.format_;
  width_ = other.width_;
  height_ = other.height_;
  converted_ = other.converted_;
  Changed();
  return *this;
}

void TPicture::SetData(std::string_view bytes) {
  TGraphicFormat format = gfNone;
  int width = 0;
  int height = 0;
  if (IsJPEG(bytes)) {
    const TRGBImage image = DecodeJPEG(bytes);
    format = gfJPEG;
    width = image.Width;
    height = image.Height;
  } else if (IsGIF(bytes)) {
    const TIndexedImage image = DecodeGIF(bytes);
    format = gfGIF;
    width = image.Width;
    height = image.Height;
  } else if (!bytes.empty()) {
    throw EInvalidGraphic(Format(kUnknownPictureFormat, {LeadingBytes(bytes)}));
  }
  data_ = bytes;
  format_ = format;
  width_ = width;
  height_ = height;
  converted_ = TConversion();
  Changed();
}

const std::string& TPicture::SaveToJPEG(const TJPEGOptions& options) const {
  if (format_ != gfGIF) return data_;  // a JPEG picture as it is; no picture, no bytes
  if (converted_.format != gfJPEG || !(converted_.options == options)) {
    converted_ = {gfJPEG, options, clNone, EncodeJPEG(PaletteToRGB(DecodeGIF(data_)), options)};
  }
  return converted_.bytes;
}

const std::string& TPicture::SaveToGIF(TColor transparentColor) const {
  if (format_ == gfNone || (format_ == gfGIF && transparentColor == clNone)) return data_;
  if (converted_.format == gfGIF && converted_.transparentColor == transparentColor) return converted_.bytes;
  std::optional<TRGBTriple> transparent;
  if (transparentColor != clNone) {
    const TColor rgb = ColorToRGB(transparentColor);
    transparent = TRGBTriple{static_cast<std::uint8_t>(GetRValue(rgb)), static_cast<std::uint8_t>(GetGValue(rgb)),
                             static_cast<std::uint8_t>(GetBValue(rgb))};
  }
  std::string bytes;
  if (format_ == gfGIF) {
    TIndexedImage image = DecodeGIF(data_);
    image.Transparent = -1;
    for (std::size_t i = 0; i < image.Palette.size(); ++i)
      if (image.Palette[i] == *transparent) {
        image.Transparent = static_cast<int>(i);
        break;
      }
    bytes = EncodeGIF(image);
  } else {
    bytes = EncodeGIF(ReduceToPalette(DecodeJPEG(data_), transparent));
  }
  converted_ = {gfGIF, {}, transparentColor, std::move(bytes)};
  return converted_.bytes;
}

}  // namespace qx
