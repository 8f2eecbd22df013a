// Pictures: loading JPEG and GIF bytes with the sizes their headers give, refusing anything
// else without losing the picture held, and writing JPEG and GIF files that decode again.
#include <gtest/gtest.h>

#include "TestPictures.h"
#include "runtime/Picture.h"

namespace qx::test {
namespace {

// The picture's changes as its owner sees them.
struct WatchedPicture {
  TPicture picture;
  int changes = 0;
  WatchedPicture() { picture.SetOnChange([this] { ++changes; }); }
};

template <class F>
std::string FailureOf(F&& f) {
  try {
    f();
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "(no failure)";
}

TEST(Picture, LoadsJPEGAndGIFAndRefusesOtherBytesKeepingWhatItHolds) {
  WatchedPicture w;
  EXPECT_TRUE(w.picture.Empty());
  const std::string jpeg = EncodeJPEG(GradientImage(30, 20), {});
  w.picture.SetData(jpeg);
  EXPECT_EQ(w.picture.GraphicFormat(), gfJPEG);
  EXPECT_EQ(w.picture.Width(), 30);
  EXPECT_EQ(w.picture.Height(), 20);
  EXPECT_EQ(w.picture.Data(), jpeg);
  const std::string gif = EncodeGIF(QuadrantImage(7, 5));
  w.picture.SetData(gif);
  EXPECT_EQ(w.picture.GraphicFormat(), gfGIF);
  EXPECT_EQ(w.picture.Width(), 7);
  EXPECT_EQ(w.picture.Height(), 5);
  EXPECT_EQ(w.changes, 2);

  // Neither kind, damaged pictures and absurd sizes: a clear failure, the picture unchanged.
  EXPECT_EQ(FailureOf([&] { w.picture.SetData("\x89PNG\r\n\x1A\n...."); }),
            "The picture is neither a JPEG nor a GIF image (it starts with 89 50 4E 47 0D 0A 1A 0A).");
  EXPECT_EQ(FailureOf([&] { w.picture.SetData(jpeg.substr(0, jpeg.size() / 2)); }),
            "The JPEG picture cannot be read: Premature end of JPEG file.");
  EXPECT_EQ(FailureOf([&] { w.picture.SetData(jpeg.substr(0, 3) + std::string(40, 'x')); }).rfind(
                "The JPEG picture cannot be read: ", 0),
            0u);
  EXPECT_EQ(FailureOf([&] { w.picture.SetData(gif.substr(0, gif.size() - 8)); }).rfind(
                "The GIF picture cannot be read: ", 0),
            0u);
  const std::string huge("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00;", 14);
  EXPECT_EQ(FailureOf([&] { w.picture.SetData(huge); }),
            "The GIF picture is too large (65535 x 65535 pixels).");
  EXPECT_EQ(w.picture.Data(), gif);
  EXPECT_EQ(w.picture.Width(), 7);
  EXPECT_EQ(w.changes, 2);

  w.picture.Clear();
  EXPECT_TRUE(w.picture.Empty());
  EXPECT_EQ(w.picture.Width(), 0);
  EXPECT_EQ(w.changes, 3);
}

TEST(Picture, WritesJPEGFilesWithTheirOptions) {
  TPicture picture;
  // A GIF is compressed; what comes out decodes to the picture, the closer the higher the
  // quality, and progressive files carry the progressive frame marker.
  TIndexedImage quadrants = QuadrantImage(64, 48, 3);
  picture.SetData(EncodeGIF(quadrants));
  const TRGBImage original = PaletteToRGB(quadrants);
  TJPEGOptions low{20, jpBestSpeed, false, false};
  TJPEGOptions high{95, jpBestQuality, true, false};
  const std::string small = picture.SaveToJPEG(low);
  const std::string fine = picture.SaveToJPEG(high);
  const TRGBImage lowPixels = DecodeJPEG(small);
  const TRGBImage highPixels = DecodeJPEG(fine);
  EXPECT_EQ(highPixels.Width, 64);
  EXPECT_EQ(highPixels.Height, 48);
  EXPECT_LT(MeanError(original, highPixels), MeanError(original, lowPixels));
  EXPECT_LT(MeanError(original, highPixels), 3.0);
  EXPECT_NE(fine.find("\xFF\xC2"), std::string::npos);
  EXPECT_EQ(small.find("\xFF\xC2"), std::string::npos);
  // The transparent quadrant (bottom right) is white.
  const std::size_t corner = (47 * 64 + 63) * 3;
  EXPECT_GT(highPixels.Pixels[corner + 2], 240);
  EXPECT_GT(highPixels.Pixels[corner + 1], 240);

  // The conversion is made once for the same picture and options, and again for another picture.
  EXPECT_EQ(&picture.SaveToJPEG(high), &picture.SaveToJPEG(high));
  EXPECT_EQ(picture.SaveToJPEG(high), fine);
  picture.SetData(EncodeGIF(QuadrantImage(32, 24)));
  EXPECT_EQ(DecodeJPEG(picture.SaveToJPEG(high)).Width, 32);

  // A JPEG is kept as it was, whatever the options.
  const std::string jpeg = EncodeJPEG(GradientImage(16, 16), {});
  picture.SetData(jpeg);
  EXPECT_EQ(picture.SaveToJPEG(low), jpeg);
}

TEST(Picture, WritesGIFFilesWithTheTransparentColour) {
  TPicture picture;
  const std::string gif = EncodeGIF(QuadrantImage(10, 8));
  picture.SetData(gif);
  EXPECT_EQ(picture.SaveToGIF(clNone), gif);
  // The palette entry of the colour becomes the transparent index; the pixels stay.
  TIndexedImage out = DecodeGIF(picture.SaveToGIF(clBlue));
  EXPECT_EQ(out.Transparent, 2);
  EXPECT_EQ(out.Indices, QuadrantImage(10, 8).Indices);
  EXPECT_EQ(DecodeGIF(picture.SaveToGIF(clYellow)).Transparent, -1);

  // A JPEG is reduced to at most 256 colours that stay close to it.
  const TRGBImage gradient = GradientImage(40, 30);
  picture.SetData(EncodeJPEG(gradient, {95, jpBestQuality, false, false}));
  out = DecodeGIF(picture.SaveToGIF(clNone));
  EXPECT_EQ(out.Width, 40);
  EXPECT_EQ(out.Height, 30);
  EXPECT_EQ(out.Transparent, -1);
  EXPECT_LE(out.Palette.size(), 256u);
  EXPECT_LT(MeanError(DecodeJPEG(picture.Data()), PaletteToRGB(out)), 10.0);
  // Made once for the same picture and colour; again for another picture.
  EXPECT_EQ(&picture.SaveToGIF(clNone), &picture.SaveToGIF(clNone));
  picture.SetData(EncodeJPEG(GradientImage(20, 10), {}));
  EXPECT_EQ(DecodeGIF(picture.SaveToGIF(clNone)).Width, 20);

  // Reduction keeps exactly the pixels of the transparent colour apart, with many colours
  // and with few.
  for (const TRGBImage& base : {GradientImage(40, 30), PaletteToRGB(QuadrantImage(40, 30))}) {
    TRGBImage image = base;
    for (int i = 0; i < 5; ++i) std::fill_n(image.Pixels.begin() + i * 3, 3, 255);
    const TIndexedImage reduced = DecodeGIF(EncodeGIF(ReduceToPalette(image, kWhite)));
    ASSERT_GE(reduced.Transparent, 0);
    EXPECT_LE(reduced.Palette.size(), 256u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(reduced.Indices[i], reduced.Transparent);
    EXPECT_NE(reduced.Indices[10], reduced.Transparent);
  }
}

}  // namespace
}  // namespace qx::test
