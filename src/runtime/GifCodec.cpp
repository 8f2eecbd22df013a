// GIF decoding and encoding with giflib's record-level calls over memory, so that only the
// first frame is read (after the screen size has been checked) and every file handle is closed
// on every path; colour reduction with giflib's median-cut quantizer.
#include "runtime/GifCodec.h"

#include <algorithm>
#include <cstring>
#include <map>

#include <gif_lib.h>

#include "runtime/Format.h"

namespace qx {

constexpr const char* kGIFUnreadable = "The GIF picture cannot be read: %s.";
constexpr const char* kGIFUnwritable = "The GIF picture cannot be written: %s.";
constexpr const char* kGIFNoImage = "it holds no image";
constexpr const char* kGIFNoColorTable = "it has no colour table";
constexpr int kMaxColors = 256;

bool IsGIF(std::string_view bytes) noexcept {
  return bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a");
}

namespace {

struct MemoryInput {
  std::string_view bytes;
  std::size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* target, int count) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count),
                                              input->bytes.size() - input->position);
  std::memcpy(target, input->bytes.data() + input->position, n);
  input->position += n;
  return static_cast<int>(n);
}

int WriteMemory(GifFileType* gif, const GifByteType* source, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(source),
                                                   static_cast<std::size_t>(count));
  return count;
}

// Closes the decoder however the decoding ends.
struct DecoderHandle {
  GifFileType* gif;
  ~DecoderHandle() {
    if (gif) DGifCloseFile(gif, nullptr);
  }
};

[[noreturn]] void Unreadable(std::string_view reason) {
  throw EInvalidGraphic(Format(kGIFUnreadable, {reason}));
}
// giflib's text of an error code ("Failed to read from given file" …); some failures set none.
std::string_view ErrorText(int error) {
  const char* text = GifErrorString(error);
  return text ? text : "the data is damaged";
}

[[noreturn]] void Unreadable(int error) { Unreadable(ErrorText(error)); }

// The transparent index a graphic control extension gives, or -1.
int TransparentIndexOf(const GifByteType* extension) {
  GraphicsControlBlock block;
  if (DGifExtensionToGCB(extension[0], extension + 1, &block) != GIF_OK) return -1;
  return block.TransparentColor;
}

// Reads the first frame's rows into the canvas, clipped to it; interlaced frames store their
// rows in four passes.
void ReadFrame(GifFileType* gif, TIndexedImage& image) {
  const GifImageDesc& frame = gif->Image;
  std::vector<GifPixelType> row(static_cast<std::size_t>(frame.Width));
  auto readRow = [&](int y) {
    if (DGifGetLine(gif, row.data(), frame.Width) != GIF_OK) Unreadable(gif->Error);
    const int top = frame.Top + y;
    if (top < 0 || top >= image.Height) return;
    for (int x = 0; x < frame.Width; ++x) {
      const int left = frame.Left + x;
      if (left >= 0 && left < image.Width)
        image.Indices[static_cast<std::size_t>(top) * image.Width + left] = row[x];
    }
  };
  if (frame.Interlace) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < frame.Height; y += kStep[pass]) readRow(y);
  } else {
    for (int y = 0; y < frame.Height; ++y) readRow(y);
  }
}

}  // namespace

TIndexedImage DecodeGIF(std::string_view bytes) {
  MemoryInput input{bytes};
  int error = 0;
  DecoderHandle handle{DGifOpen(&input, ReadMemory, &error)};
  GifFileType* gif = handle.gif;
  if (!gif) Unreadable(error);
  auto checkSize = [](long long width, long long height) {
    if (width * height > kMaxPicturePixels)
      throw EInvalidGraphic(Format(kPictureTooLarge, {"GIF", width, height}));
  };
  checkSize(gif->SWidth, gif->SHeight);

  int transparent = -1;
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) != GIF_OK) Unreadable(gif->Error);
    if (record == TERMINATE_RECORD_TYPE) Unreadable(kGIFNoImage);
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* extension = nullptr;
      if (DGifGetExtension(gif, &code, &extension) != GIF_OK) Unreadable(gif->Error);
      if (code == GRAPHICS_EXT_FUNC_CODE && extension) transparent = TransparentIndexOf(extension);
      while (extension)
        if (DGifGetExtensionNext(gif, &extension) != GIF_OK) Unreadable(gif->Error);
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) != GIF_OK) Unreadable(gif->Error);
    break;
  }

  const GifImageDesc& frame = gif->Image;
  TIndexedImage image;
  // A screen of no size is read as the frame's.
  image.Width = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
  image.Height = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
  checkSize(image.Width, image.Height);
  checkSize(frame.Width, frame.Height);
  const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!colors) Unreadable(kGIFNoColorTable);
  for (int i = 0; i < colors->ColorCount && i < kMaxColors; ++i)
    image.Palette.push_back({colors->Colors[i].Red, colors->Colors[i].Green, colors->Colors[i].Blue});
  image.Transparent = transparent;
  const int background = transparent >= 0 ? transparent : gif->SBackGroundColor;
  image.Indices.assign(static_cast<std::size_t>(image.Width) * image.Height,
                       static_cast<std::uint8_t>(background));
  ReadFrame(gif, image);
  return image;
}

std::string EncodeGIF(const TIndexedImage& image) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
  if (!gif) throw EInvalidGraphic(Format(kGIFUnwritable, {ErrorText(error)}));
  // A palette of a power of two colours, at least two.
  const int count = 1 << GifBitSize(static_cast<int>(std::max<std::size_t>(image.Palette.size(), 2)));
  std::vector<GifColorType> colors(static_cast<std::size_t>(count), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < image.Palette.size() && i < colors.size(); ++i)
    colors[i] = {image.Palette[i][0], image.Palette[i][1], image.Palette[i][2]};
  ColorMapObject* map = GifMakeMapObject(count, colors.data());

  bool ok = map != nullptr;
  EGifSetGifVersion(gif, true);
  ok = ok && EGifPutScreenDesc(gif, image.Width, image.Height, 8, 0, map) == GIF_OK;
  if (ok && image.Transparent >= 0) {
    GraphicsControlBlock block{DISPOSAL_UNSPECIFIED, false, 0, image.Transparent};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&block, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, image.Width, image.Height, false, nullptr) == GIF_OK;
  // giflib masks each row in place, so it gets a copy.
  std::vector<GifPixelType> row(static_cast<std::size_t>(image.Width));
  for (int y = 0; ok && y < image.Height; ++y) {
    std::copy_n(image.Indices.begin() + static_cast<std::ptrdiff_t>(y) * image.Width, image.Width, row.begin());
    ok = EGifPutLine(gif, row.data(), image.Width) == GIF_OK;
  }
  if (!ok) error = gif->Error;
  GifFreeMapObject(map);
  int closeError = 0;
  if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
    ok = false;
    error = closeError;
  }
  if (!ok) throw EInvalidGraphic(Format(kGIFUnwritable, {ErrorText(error)}));
  return out;
}

TIndexedImage ReduceToPalette(const TRGBImage& image, std::optional<TRGBTriple> transparent) {
  TIndexedImage result;
  result.Width = image.Width;
  result.Height = image.Height;
  const std::size_t pixels = static_cast<std::size_t>(image.Width) * image.Height;
  result.Indices.resize(pixels);
  auto pixel = [&](std::size_t i) {
    const std::uint8_t* p = image.Pixels.data() + i * 3;
    return TRGBTriple{p[0], p[1], p[2]};
  };
  // The transparent colour keeps one index of the 256 for itself.
  const int room = transparent ? kMaxColors - 1 : kMaxColors;

  // Few colours: each its own palette entry, exactly.
  std::map<TRGBTriple, std::uint8_t> own;
  for (std::size_t i = 0; i < pixels && static_cast<int>(own.size()) <= room; ++i) {
    const TRGBTriple c = pixel(i);
    if (!(transparent && c == *transparent)) own.try_emplace(c, 0);
  }
  if (static_cast<int>(own.size()) <= room) {
    for (auto& [color, index] : own) {
      index = static_cast<std::uint8_t>(result.Palette.size());
      result.Palette.push_back(color);
    }
    for (std::size_t i = 0; i < pixels; ++i) {
      auto found = own.find(pixel(i));
      result.Indices[i] = found != own.end() ? found->second : 0;
    }
  } else {
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
      red[i] = image.Pixels[i * 3];
      green[i] = image.Pixels[i * 3 + 1];
      blue[i] = image.Pixels[i * 3 + 2];
    }
    int size = room;
    std::vector<GifColorType> colors(kMaxColors);
    if (GifQuantizeBuffer(static_cast<unsigned>(image.Width), static_cast<unsigned>(image.Height), &size,
                          red.data(), green.data(), blue.data(), result.Indices.data(), colors.data()) != GIF_OK)
      throw EInvalidGraphic(Format(kGIFUnwritable, {ErrorText(D_GIF_ERR_NOT_ENOUGH_MEM)}));
    for (int i = 0; i < size; ++i) result.Palette.push_back({colors[i].Red, colors[i].Green, colors[i].Blue});
  }
  if (transparent) {
    result.Transparent = static_cast<int>(result.Palette.size());
    result.Palette.push_back(*transparent);
    for (std::size_t i = 0; i < pixels; ++i)
      if (pixel(i) == *transparent) result.Indices[i] = static_cast<std::uint8_t>(result.Transparent);
  }
  return result;
}

TRGBImage PaletteToRGB(const TIndexedImage& image) {
  TRGBImage result;
  result.Width = image.Width;
  result.Height = image.Height;
  result.Pixels.resize(image.Indices.size() * 3);
  for (std::size_t i = 0; i < image.Indices.size(); ++i) {
    const int index = image.Indices[i];
    TRGBTriple color{0, 0, 0};
    if (index == image.Transparent) color = {255, 255, 255};
    else if (index < static_cast<int>(image.Palette.size())) color = image.Palette[index];
    std::copy(color.begin(), color.end(), result.Pixels.begin() + static_cast<std::ptrdiff_t>(i) * 3);
  }
  return result;
}

}  // namespace qx
