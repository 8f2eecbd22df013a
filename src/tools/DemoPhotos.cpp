// Demo portraits: an RGB silhouette compressed to JPEG in memory with libjpeg.
#include "tools/DemoPhotos.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace qx::admin {
namespace {

constexpr int kSize = 96;
constexpr const char* kMsgJpegFailed = "the demo photo could not be compressed";

struct Rgb {
  unsigned char r, g, b;
};
constexpr Rgb kBackgrounds[] = {
    {176, 196, 222}, {238, 214, 175}, {193, 225, 193}, {221, 200, 230}, {240, 200, 200}};
constexpr Rgb kFigures[] = {
    {70, 90, 120}, {120, 80, 50}, {50, 110, 70}, {100, 70, 130}, {150, 60, 60}};

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

std::vector<unsigned char> Draw(int variant) {
  const Rgb& back = kBackgrounds[variant % std::size(kBackgrounds)];
  const Rgb& figure = kFigures[variant % std::size(kFigures)];
  std::vector<unsigned char> pixels(kSize * kSize * 3);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      // Head: a circle; shoulders: the upper half of a wide ellipse at the bottom.
      int hx = x - kSize / 2, hy = y - 38;
      int sx = x - kSize / 2, sy = y - (kSize + 10);
      bool head = hx * hx + hy * hy <= 18 * 18;
      bool shoulders = sx * sx * 4 + sy * sy * 9 <= 40 * 40 * 9;
      const Rgb& c = head || shoulders ? figure : back;
      unsigned char* p = &pixels[static_cast<std::size_t>((y * kSize + x) * 3)];
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  return pixels;
}

}  // namespace

std::string MakeDemoPhoto(int variant) {
  std::vector<unsigned char> pixels = Draw(variant);
  jpeg_compress_struct info{};
  ErrorManager error{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = OnJpegError;
  // Nothing with a destructor is created between setjmp and a possible longjmp.
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    throw std::runtime_error(kMsgJpegFailed);
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = kSize;
  info.image_height = kSize;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline) * kSize * 3];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string jpeg(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return jpeg;
}

}  // namespace qx::admin
