// The internal-file registry, the internal script, style and picture commands with their
// conditional replies, the favicon, and writing the internal files out to disk.
#include "server/InternalFiles.h"

#include <gtest/gtest.h>

#include <map>

#include "ServerFixture.h"
#include "entry/WebResponse.h"
#include "runtime/HttpDate.h"
#include "runtime/Picture.h"
#include "server/StaticCommands.h"
#include "support/Failure.h"

namespace qx {
namespace {

constexpr TDateTime kSecond = 1.0 / kSecondsPerDay;

using test::BodyOf;
using test::FailureOf;


TEST(InternalFiles, EveryEntryIsRegisteredInOrderWithItsPath) {
  RegisterInternalFiles();
  std::vector<TInternalFile> files = InternalFiles();
  ASSERT_EQ(files.size(), 40u);
  EXPECT_EQ(files[0].Name, "IW_JS_TABCONTROL");
  EXPECT_EQ(files[0].Path, "/js/tabcontrol.js");
  EXPECT_EQ(files[2].Name, "IW_FAVICON");
  EXPECT_EQ(files[2].Path, "FAVICON.ICO");
  EXPECT_EQ(files[14].Name, "IW_GFX_TP");
  EXPECT_EQ(files[14].Path, "/gfx/Tp.gif");
  EXPECT_EQ(files[21].Name, "IW_GFX_DBNAV_DELETE");
  EXPECT_EQ(files[21].Path, "/gfx/DBNav_Delete.gif");
  EXPECT_EQ(files[39].Name, "IW_GFX_DBNAV_REFRESHDISABLED");
  EXPECT_EQ(files[39].Path, "/gfx/DBNav_RefreshDisabled.gif");
  // Every picture decodes as a GIF; those the markup places at a fixed size have that size.
  std::map<std::string, std::pair<int, int>> sizes;
  for (const TInternalFile& f : files) {
    EXPECT_FALSE(f.Bytes.empty()) << f.Name;
    if (f.Path.ends_with(".gif")) {
      TPicture picture;
      EXPECT_NO_THROW(picture.SetData(f.Bytes)) << f.Name;
      EXPECT_EQ(picture.GraphicFormat(), gfGIF) << f.Name;
      sizes[f.Name] = {picture.Width(), picture.Height()};
    }
  }
  EXPECT_EQ(sizes["IW_GFX_COOLCHECKBOX_TRUE"], (std::pair{10, 12}));
  EXPECT_EQ(sizes["IW_GFX_COOLCHECKBOX_FALSE"], (std::pair{10, 12}));
  EXPECT_EQ(sizes["IW_GFX_COMBOBOXDOWNARROW"], (std::pair{17, 18}));
  // Registering again changes nothing.
  RegisterInternalFiles();
  EXPECT_EQ(InternalFiles().size(), 40u);
}

TEST(InternalFiles, UnknownNamesFailWithTheirMessages) {
  RegisterInternalFiles();
  EXPECT_EQ(FailureOf([] { RegisterInternalFile("IW_GFX_NOSUCH", "/gfx/x.gif"); }),
            "EIWException: Cannot find internal file: IW_GFX_NOSUCH");
  EXPECT_EQ(FailureOf([] { InternalResource("IW_JS_NOSUCH"); }),
            "EIWException: Resource IW_JS_NOSUCH not found.");
  auto stream = InternalResource("iw_gfx_tp");
  EXPECT_EQ(stream->ReadRest(), std::string(InternalResourceBytes("IW_GFX_Tp")));
}

TEST(InternalFiles, WritingThemOutKeepsFilesThatExist) {
  RegisterInternalFiles();
  test::TempDir dir;
  ASSERT_TRUE(ForceDirectories(dir / "out/js"));
  ASSERT_TRUE(WriteFileBytes(dir / "out/js/IWCommon.js", "local copy"));
  WriteInternalFiles(dir / "out");
  EXPECT_EQ(ReadFileBytes(dir / "out/js/IWCommon.js"), "local copy");
  EXPECT_EQ(ReadFileBytes(dir / "out/gfx/DBNav_FirstDisabled.gif"),
            std::string(InternalResourceBytes("IW_GFX_DBNav_firstDisabled")));
  EXPECT_TRUE(FileExists(dir / "out/FAVICON.ICO"));
  EXPECT_TRUE(FileExists(dir / "out/Error.html"));
  ASSERT_TRUE(WriteFileBytes(dir / "blocked", "a file"));
  EXPECT_EQ(FailureOf([&] { WriteInternalFiles(dir / "blocked/sub"); }),
            "EIWException: Unable to create InternalFiles directory.");
}

TEST(InternalFiles, AControllerWithoutInternalFilesWritesThemBesideTheLibrary) {
  RegisterInternalFiles();
  test::TempDir lib;
  TIWServerControllerBase controller(lib / "RequestQX9.so");
  controller.SetUseInternalFiles(false);
  controller.SetCacheDir(lib / "Cache");
  controller.Start();
  EXPECT_TRUE(FileExists(lib / "js/IWAjax.js"));
  EXPECT_TRUE(FileExists(lib / "gfx/Tp.gif"));
}

class Internal : public test::ServerTest {
 protected:
  TDateTime Started() { return Controller().ServerStartTime(); }
  void Since(test::TestRequest& r, TDateTime local) {
    r.connection.SetHeader("If-Modified-Since", HttpDateFixed(LocalToGmt(local)));
  }
};

TEST_F(Internal, APictureCarriesTheServerStartTime) {
  test::TestRequest r;
  r.connection.SetPathInfo("/gfx/Tp.gif");
  bool cacheable = true;
  InternalGraphicCommand(r.Request(), r.Response(), "Tp.gif", cacheable);
  EXPECT_EQ(r.Response().StatusCode(), 200);
  EXPECT_EQ(r.Response().ContentType(), "image/gif");
  EXPECT_EQ(r.Response().LastModified(), Started());
  EXPECT_EQ(BodyOf(r.Response()), std::string(InternalResourceBytes("IW_GFX_TP")));
  EXPECT_TRUE(cacheable);
}

TEST_F(Internal, ACopyFromThisServerRunGets304) {
  for (TDateTime since : {Started(), Started() - kSecond, Started() + 60 * kSecond}) {
    test::TestRequest r;
    r.connection.SetPathInfo("/gfx/Tp.gif");
    Since(r, since);
    bool cacheable = true;
    InternalGraphicCommand(r.Request(), r.Response(), "Tp.gif", cacheable);
    EXPECT_EQ(r.Response().StatusCode(), 304);
    EXPECT_EQ(r.Response().ReasonString(), "Not modified");
    EXPECT_FALSE(cacheable);
  }
  test::TestRequest older;
  older.connection.SetPathInfo("/gfx/Tp.gif");
  Since(older, Started() - 2 * kSecond);
  bool cacheable = true;
  InternalGraphicCommand(older.Request(), older.Response(), "Tp.gif", cacheable);
  EXPECT_EQ(older.Response().StatusCode(), 200);
}

TEST_F(Internal, ScriptsNeedTheVersionInTheirName) {
  test::TestRequest r;
  bool cacheable = true;
  InternalScriptCommand(r.Request(), r.Response(), "IWAjax.js_9.0.17", cacheable);
  EXPECT_EQ(r.Response().StatusCode(), 200);
  EXPECT_EQ(r.Response().ContentType(), "application/x-javascript");
  EXPECT_EQ(BodyOf(r.Response()), std::string(InternalResourceBytes("IW_JS_IWAJAX")));
  EXPECT_EQ(FailureOf([&] {
              test::TestRequest bare;
              InternalScriptCommand(bare.Request(), bare.Response(), "IWAjax.js", cacheable);
            }),
            "EIWException: Resource IW_JS_ not found.");
}

TEST_F(Internal, StyleSheetsAndUnknownPicturesAreNotFound) {
  bool cacheable = true;
  EXPECT_EQ(FailureOf([&] {
              test::TestRequest r;
              InternalStyleCommand(r.Request(), r.Response(), "Site.css_9.0.17", cacheable);
            }),
            "EIWException: Resource IW_CSS_Site not found.");
  EXPECT_EQ(FailureOf([&] {
              test::TestRequest r;
              r.connection.SetPathInfo("/gfx/nope.gif");
              InternalGraphicCommand(r.Request(), r.Response(), "nope.gif", cacheable);
            }),
            "EIWException: Resource IW_GFX_nope not found.");
  // A failing request stays cacheable: its error page then carries an expiry.
  EXPECT_TRUE(cacheable);
}

TEST_F(Internal, TheFaviconIsTheFilesFoldersOwnElseTheBuiltInOne) {
  test::TestRequest builtIn;
  FaviconCommand(builtIn.Request(), builtIn.Response());
  EXPECT_EQ(builtIn.Response().StatusCode(), 200);
  EXPECT_EQ(builtIn.Response().ContentType(), "image/x-ico");
  EXPECT_EQ(BodyOf(builtIn.Response()), std::string(InternalResourceBytes("IW_FAVICON")));
  EXPECT_LE(builtIn.Response().LastModified(), 0);
  ASSERT_TRUE(WriteFileBytes(Controller().FilesDir() + "Favicon.ICO", "own icon"));
  test::TestRequest own;
  FaviconCommand(own.Request(), own.Response());
  EXPECT_EQ(BodyOf(own.Response()), "own icon");
  EXPECT_EQ(own.Response().ContentType(), "image/x-ico");
  EXPECT_GT(own.Response().LastModified(), 0);
}

}  // namespace
}  // namespace qx
