// JPEG decoding and compression over libjpeg's in-memory source and destination. libjpeg
// reports fatal errors through a callback that must not return: it jumps back to the setjmp
// of the routine that called the library, which cleans up and raises EInvalidGraphic. Only
// objects made before the setjmp live in those routines, so the jump skips no destructor.
#include "runtime/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "runtime/Format.h"

namespace qx {

constexpr const char* kJPEGUnreadable = "The JPEG picture cannot be read: %s.";
constexpr const char* kJPEGUnwritable = "The JPEG picture cannot be written: %s.";
// The input smoothing Smoothing asks for (libjpeg's scale 0..100), light enough to keep edges.
constexpr int kSmoothingFactor = 10;

const TEnumInfo& EnumInfoOf(TJPEGPerformance) {
  static const TEnumInfo info("TJPEGPerformance", {QX_ENUM(jpBestQuality), QX_ENUM(jpBestSpeed)});
  return info;
}

bool IsJPEG(std::string_view bytes) noexcept {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF;
}

namespace {

// libjpeg's error manager with the place to jump back to and the text of the failure.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnFatalError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->pub.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings are not printed; a picture whose data ends early is damaged, not greyed out.
void OnMessage(j_common_ptr info, int level) {
  if (level == -1 && info->err->msg_code == JWRN_JPEG_EOF) OnFatalError(info);
}

void InstallErrorManager(jpeg_error_mgr*& err, ErrorManager& errors) {
  err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnFatalError;
  errors.pub.emit_message = OnMessage;
  errors.message[0] = '\0';
}

std::uint8_t Scale(unsigned a, unsigned b) { return static_cast<std::uint8_t>(a * b / 255); }

// CMYK as libjpeg reads it: inverted when the file carries the Adobe marker, as such files do.
void CMYKToRGB(const std::uint8_t* cmyk, std::uint8_t* rgb, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    for (int c = 0; c < 3; ++c) rgb[c] = Scale(inverted ? cmyk[c] : 255u - cmyk[c], k);
  }
}

}  // namespace

TRGBImage DecodeJPEG(std::string_view bytes) {
  TRGBImage image;
  std::vector<std::uint8_t> cmykRow;
  jpeg_decompress_struct info;
  ErrorManager errors;
  InstallErrorManager(info.err, errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    throw EInvalidGraphic(Format(kJPEGUnreadable, {errors.message}));
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (static_cast<long long>(info.image_width) * info.image_height > kMaxPicturePixels) {
    jpeg_destroy_decompress(&info);
    throw EInvalidGraphic(Format(kPictureTooLarge, {"JPEG", info.image_width, info.image_height}));
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  image.Width = static_cast<int>(info.output_width);
  image.Height = static_cast<int>(info.output_height);
  const std::size_t stride = static_cast<std::size_t>(image.Width) * 3;
  image.Pixels.resize(stride * static_cast<std::size_t>(image.Height));
  if (cmyk) cmykRow.resize(static_cast<std::size_t>(image.Width) * 4);
  while (info.output_scanline < info.output_height) {
    std::uint8_t* row = image.Pixels.data() + stride * info.output_scanline;
    JSAMPROW target = cmyk ? cmykRow.data() : row;
    jpeg_read_scanlines(&info, &target, 1);
    if (cmyk) CMYKToRGB(cmykRow.data(), row, image.Width, info.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

std::string EncodeJPEG(const TRGBImage& image, const TJPEGOptions& options) {
  // libjpeg grows the buffer with malloc; it is ours to free.
  struct Output {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~Output() { std::free(buffer); }
  } output;
  jpeg_compress_struct info;
  ErrorManager errors;
  InstallErrorManager(info.err, errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    throw EInvalidGraphic(Format(kJPEGUnwritable, {errors.message}));
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &output.buffer, &output.size);
  info.image_width = static_cast<JDIMENSION>(image.Width);
  info.image_height = static_cast<JDIMENSION>(image.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(options.CompressionQuality, 1, 100), TRUE);
  info.dct_method = options.Performance == jpBestSpeed ? JDCT_IFAST : JDCT_ISLOW;
  info.smoothing_factor = options.Smoothing ? kSmoothingFactor : 0;
  if (options.ProgressiveEncoding) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(image.Width) * 3;
  while (info.next_scanline < info.image_height) {
    // libjpeg takes rows as non-const pointers but only reads them.
    JSAMPROW row = const_cast<std::uint8_t*>(image.Pixels.data() + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::string(reinterpret_cast<const char*>(output.buffer), output.size);
}

}  // namespace qx
