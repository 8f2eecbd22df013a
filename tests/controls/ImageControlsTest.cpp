// Images, image files and image buttons: their markup, the cache files a picture is written
// to (decoded again with the codecs), click positions and clicks, and pictures loaded by a
// form definition.
#include <gtest/gtest.h>

#include <filesystem>

#include "ControlsFixture.h"
#include "controls/IWImageFile.h"
#include "runtime/FormReader.h"
#include "runtime/Files.h"
#include "runtime/TestPictures.h"

namespace qx::test {
namespace {

constexpr auto npos = std::string::npos;

class Images : public Controls {};

TEST_F(Images, AnImageWritesItsPictureToANewCacheFileAtEveryRendering) {
  TIWAppForm& form = NewForm();
  auto& image = AddControl<TIWImage>(form, form, "imgLogo", 10, 20, 89, 112);
  EXPECT_NE(Render(form).find("<span CLASS=\"IMGLOGOCSS\" ID=\"IMGLOGO\"></span>"), npos);

  // A GIF picture sizes the image and goes out as JPEG with the image's options.
  const TIndexedImage quadrants = QuadrantImage(40, 30);
  image.Picture().SetData(EncodeGIF(quadrants));
  EXPECT_EQ(image.Width(), 40);
  EXPECT_EQ(image.Height(), 30);
  image.JpegOptions().SetCompressionQuality(15);
  std::string page = Render(form);
  const std::string rough = ShownFile(page, "JPG");
  EXPECT_EQ(Element(page, "<img SRC"), "<img SRC=\"" + CacheURL() + rough +
                                           "\" NAME=\"IMGLOGO\" BORDER=\"0\" CLASS=\"IMGLOGOCSS\" ID=\"IMGLOGO\">");
  EXPECT_NE(page.find(".IMGLOGOCSS {position:absolute;left:10px;top:20px;z-index:100;font-"), npos);
  image.JpegOptions().SetCompressionQuality(95);
  page = Render(form);
  const std::string fine = ShownFile(page, "JPG");
  EXPECT_NE(fine, rough);
  const TRGBImage roughPixels = DecodeJPEG(CacheFile(rough));
  const TRGBImage finePixels = DecodeJPEG(CacheFile(fine));
  EXPECT_EQ(finePixels.Width, 40);
  EXPECT_EQ(finePixels.Height, 30);
  EXPECT_LT(MeanError(PaletteToRGB(quadrants), finePixels), MeanError(PaletteToRGB(quadrants), roughPixels));

  // As a GIF whose blue is transparent, shown at the control's size, with a border.
  image.SetOutputType(ioGIF);
  image.SetTransparentColor(clBlue);
  image.SetUseSize(true);
  EXPECT_FALSE(image.AutoSize());
  image.BorderOptions().SetWidth(2);
  image.BorderOptions().SetColor(clRed);
  image.SetAltText("Our \"logo\"");
  page = Render(form);
  const std::string gif = ShownFile(page, "GIF");
  EXPECT_EQ(Element(page, "<img SRC"), "<img SRC=\"" + CacheURL() + gif +
                                           "\" NAME=\"IMGLOGO\" BORDER=\"2\" style=\"{border-color: #FF0000;}\" "
                                           "ALT=\"Our &quot;logo&quot;\" WIDTH=\"40\" HEIGHT=\"30\" "
                                           "CLASS=\"IMGLOGOCSS\" ID=\"IMGLOGO\">");
  EXPECT_NE(page.find("z-index:100;width:40px;height:30px;"), npos);
  const TIndexedImage written = DecodeGIF(CacheFile(gif));
  EXPECT_EQ(written.Width, 40);
  EXPECT_EQ(written.Transparent, 2);
  EXPECT_EQ(written.Indices, quadrants.Indices);
  image.SetAutoSize(true);
  EXPECT_FALSE(image.UseSize());
  // A partial update sends a new file too.
  const std::string update = UpdateOf(form, image);
  EXPECT_EQ(update.rfind("<control id=\"IMGLOGO\" type=\"IMAGE\">\r\n  <src><![CDATA[" + CacheURL() + "GIF", 0), 0u)
      << update;
  EXPECT_EQ(update.find(gif), npos);

  // Failures write nothing.
  const int files = CacheFileCount();
  image.SetOutputType(static_cast<TIWImageOutput>(7));
  EXPECT_EQ(Failure([&] { Render(form); }), "EIWException: Unknown Image Output Type");
  EXPECT_EQ(CacheFileCount(), files);
  image.SetOutputType(ioJPEG);
  std::filesystem::remove_all(App().UserCacheDir());
  EXPECT_EQ(Failure([&] { Render(form); }),
            "EIWException: An error occurred while writing to the Cache Directory, please make sure the "
            "permissions are set correctly.");
}

TEST_F(Images, ClicksAndClickPositionsPostThePage) {
  const std::string gif = EncodeGIF(QuadrantImage(8, 8));
  std::vector<std::string> log;
  auto place = [&](TIWAppForm& form) -> TIWImage& {
    auto& image = AddControl<TIWImage>(form, form, "imgMap", 0, 0, 8, 8);
    image.Picture().SetData(gif);
    return image;
  };

  // A click: an anchor around the image, with the statement form for Internet Explorer.
  TIWAppForm& ie = NewForm(brIE);
  TIWImage& image = place(ie);
  image.SetOnClick([&](TObject*) { log.push_back("click"); });
  std::string page = Render(ie);
  EXPECT_NE(page.find("<a HREF=\"#\" OnClick=\"SubmitClickConfirm('IMGMAP','', true, '');return false;\" "
                      "CLASS=\"IMGMAPCSS\" ID=\"IMGMAP\"><img SRC=\""),
            npos) << page;
  image.RunAction("");
  // A position: from the image's mouse-down in Internet Explorer; assigning it drops OnClick.
  image.SetOnMouseDown([&](TObject*, int x, int y) { log.push_back(std::to_string(x) + "/" + std::to_string(y)); });
  EXPECT_FALSE(image.OnClick());
  image.SetConfirmation("Go?");
  page = Render(ie);
  EXPECT_EQ(page.find("<a HREF"), npos);
  EXPECT_NE(page.find("function IMGMAP_onmousedown() {\r\nreturn ImageClick(this.name,event,true, 'Go?');\r\n}"),
            npos);
  image.SetEnabled(false);
  EXPECT_EQ(Render(ie).find("ImageClick"), npos);
  image.SetEnabled(true);

  image.RunAction("12,34");
  // A malformed position fails with the conversion error and runs nothing.
  for (const char* bad : {"12;34", "x,3", "5", "7,"}) EXPECT_EQ(Failure([&] { image.RunAction(bad); }).rfind("EConvertError: '", 0), 0u) << bad;
  EXPECT_EQ(Failure([&] { image.RunAction("7,y"); }), "EConvertError: 'y' is not a valid integer value");
  EXPECT_EQ(image.ActionParam(), "12,34");
  // The same through a post.
  ie.PostedValues() = TStringList{"IW_Action=IMGMAP", "IW_ActionParam=1;2"};
  EXPECT_EQ(Failure([&] { ie.ProcessPost(); }), "EConvertError: '1;2' is not a valid integer value");
  ie.PostedValues() = TStringList{"IW_Action=IMGMAP", "IW_ActionParam=3,4"};
  ie.ProcessPost();
  EXPECT_EQ(log, (std::vector<std::string>{"click", "12/34", "3/4"}));

  // Safari reports the position from an anchor around the image; clicks return the script's
  // value.
  TIWAppForm& safari = NewForm(brSafari);
  TIWImage& other = place(safari);
  other.SetOnMouseDown([](TObject*, int, int) {});
  other.SetDoSubmitValidation(false);
  page = Render(safari);
  EXPECT_NE(page.find("<a HREF=\"#\" ID=\"IMGMAP_IMAGE\" OnMouseOver=\"return ImageSetEvent(this,'IMGMAP',false,'');\" "
                      "CLASS=\"IMGMAPCSS\"><img SRC=\""),
            npos) << page;
  other.SetOnClick([](TObject*) {});
  EXPECT_NE(Render(safari).find("OnClick=\"return SubmitClickConfirm('IMGMAP','', false, '');\""), npos);
}

TEST_F(Images, ImageFilesAndButtonsShowFilesOfTheFilesFolder) {
  TIWAppForm& form = NewForm(brIE);
  // A file named as on the designer's disk is served by its bare name; one in the files
  // folder by its path there.
  auto& button = AddControl<TIWImageButton>(form, form, "btnFirst", 8, 6, 24, 24);
  button.ImageFile().SetFilename("C:\\zazAZ\\files\\dbFirst.jpg");
  button.HotImageFile().SetFilename(Controller().FilesDir() + "hot\\dbFirstHot.jpg");
  button.SetHotKey("F");
  int clicks = 0;
  button.SetOnClick([&](TObject*) { ++clicks; });
  std::string page = Render(form);
  EXPECT_EQ(Element(page, "<input type=\"image\""),
            "<input type=\"image\" src=\"/RequestQX9/Files/dbFirst.jpg\" name=\"BTNFIRST\" ACCESSKEY=\"F\" "
            "CLASS=\"BTNFIRSTCSS\" ID=\"BTNFIRST\">");
  EXPECT_NE(page.find("function BTNFIRST_onmouseout() {\r\nBTNFIRSTIWCL.src=\"/RequestQX9/Files/dbFirst.jpg\";\r\n"
                      "return true;\r\n}\r\n\r\nfunction BTNFIRST_onmouseover() {\r\nBTNFIRSTIWCL.src="
                      "\"/RequestQX9/Files/hot/dbFirstHot.jpg\";\r\nreturn true;\r\n}\r\n\r\nfunction BTNFIRST_onclick() "
                      "{\r\nreturn SubmitClickConfirm('BTNFIRST','', true, '');\r\n}"),
            npos) << page;
  EXPECT_TRUE(button.Cacheable());
  button.RunAction("");
  EXPECT_EQ(clicks, 1);
  button.SetEnabled(false);
  button.SetHotKey("");
  EXPECT_EQ(Element(Render(form), "<input type=\"image\""),
            "<input type=\"image\" src=\"/RequestQX9/Files/dbFirst.jpg\" name=\"BTNFIRST\" disabled "
            "CLASS=\"BTNFIRSTCSS\" ID=\"BTNFIRST\">");

  // "FILESNC" keeps the browser from caching; a URL is taken as it is.
  auto& file = AddControl<TIWImageFile>(form, form, "imgBanner", 0, 40, 100, 20);
  file.ImageFile().SetFilename("C:\\web\\FilesNC\\banner.gif");
  page = Render(form);
  EXPECT_EQ(Element(page, "<img SRC"), "<img SRC=\"/RequestQX9/FilesNC/banner.gif\" NAME=\"IMGBANNER\" BORDER=\"0\" "
                                       "CLASS=\"IMGBANNERCSS\" ID=\"IMGBANNER\">");
  EXPECT_FALSE(file.Cacheable());
  EXPECT_EQ(UpdateOf(form, file), "<control id=\"IMGBANNER\" type=\"IWIMAGEFILE\">\r\n  "
                                  "<src><![CDATA[/RequestQX9/FilesNC/banner.gif]]></src>\r\n</control>");
  file.ImageFile().SetURL("http://127.0.0.1/pictures/filesnc.gif");
  EXPECT_TRUE(file.ImageFile().Filename().empty());
  EXPECT_NE(Render(form).find("<img SRC=\"http://127.0.0.1/pictures/filesnc.gif\""), npos);
  EXPECT_FALSE(file.Cacheable());
  file.ImageFile().SetURL("http://127.0.0.1/pictures/banner.gif");
  Render(form);
  EXPECT_TRUE(file.Cacheable());
}

TEST_F(Images, DefinitionsLoadPicturesThatSizeTheImage) {
  StartSession();
  std::string hex;
  for (unsigned char byte : EncodeGIF(QuadrantImage(33, 21))) hex += "0123456789ABCDEF"[byte >> 4], hex += "0123456789ABCDEF"[byte & 15];
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Test.qxf",
                          "object frmDef: TTestScreen\n"
                          "  object imgLogo: TIWImage\n"
                          "    Picture.Data = {" + hex + "}\n"
                          "    OutputType = ioGIF\n"
                          "    TransparentColor = clWhite\n"
                          "    JpegOptions.CompressionQuality = 40\n"
                          "    JpegOptions.Performance = jpBestQuality\n"
                          "    JpegOptions.ProgressiveEncoding = True\n"
                          "    BorderOptions.Width = 1\n"
                          "    AltText = 'Logo'\n"
                          "  end\n"
                          "  object btnFirst: TIWImageButton\n"
                          "    ImageFile.Filename = 'C:\\zazAZ\\files\\dbFirst.jpg'\n"
                          "    HotImageFile.URL = '/img/hot.gif'\n"
                          "    HotKey = 'F'\n"
                          "    OnClick = ButtonClick\n"
                          "  end\n"
                          "end\n");
  auto* image = dynamic_cast<TIWImage*>(screen->FindComponent("imgLogo"));
  auto* button = dynamic_cast<TIWImageButton*>(screen->FindComponent("btnFirst"));
  ASSERT_TRUE(image && button);
  EXPECT_EQ(image->Picture().GraphicFormat(), gfGIF);
  EXPECT_EQ(image->Width(), 33);
  EXPECT_EQ(image->Height(), 21);
  EXPECT_EQ(image->OutputType(), ioGIF);
  EXPECT_EQ(image->TransparentColor(), clWhite);
  EXPECT_EQ(image->JpegOptions().CompressionQuality(), 40);
  EXPECT_EQ(image->JpegOptions().Performance(), jpBestQuality);
  EXPECT_TRUE(image->JpegOptions().ProgressiveEncoding());
  EXPECT_EQ(image->BorderOptions().Width(), 1);
  EXPECT_EQ(button->ImageFile().Filename(), "C:\\zazAZ\\files\\dbFirst.jpg");
  EXPECT_EQ(button->HotImageFile().URL(), "/img/hot.gif");
  button->RunAction("");
  EXPECT_EQ(screen->events, (std::vector<std::string>{"click"}));
  // Creation defaults.
  Owned<TIWImage> fresh(new TIWImage);
  EXPECT_EQ(fresh->Width(), 89);
  EXPECT_EQ(fresh->Height(), 112);
  EXPECT_TRUE(fresh->AutoSize());
  EXPECT_FALSE(fresh->UseSize());
  EXPECT_EQ(fresh->OutputType(), ioJPEG);
  EXPECT_EQ(fresh->JpegOptions().CompressionQuality(), 90);
  EXPECT_EQ(fresh->JpegOptions().Performance(), jpBestSpeed);
  EXPECT_TRUE(fresh->JpegOptions().Smoothing());
  EXPECT_TRUE(Owned<TIWImageFile>(new TIWImageFile)->Cacheable());

  // Bytes that are no picture fail the definition at their line.
  Owned<TTestScreen> other(new TTestScreen);
  EXPECT_EQ(Failure([&] {
              ReadComponentDefinition(*other, "Bad.qxf",
                                      "object frmBad: TTestScreen\n  object imgLogo: TIWImage\n"
                                      "    Picture.Data = {010203}\n  end\nend\n");
            }),
            "EFormReadError: Bad.qxf(3): The picture is neither a JPEG nor a GIF image (it starts with 01 02 03).");
}

}  // namespace
}  // namespace qx::test
