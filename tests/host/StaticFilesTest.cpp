// The /files/ folder and the rest of the host's URL space: content, validators, letter case,
// and names that try to leave the folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <string>

#include "HostFixture.h"
#include "runtime/Picture.h"
#include "support/RunProgram.h"

namespace qx::test {
namespace {

class StaticFilesTest : public HostFixture {};

TEST_F(StaticFilesTest, ServesFilesWithTypeLengthAndDate) {
  StartHost();
  WriteFile("SessionEnd.htm", "<html>the session has expired</html>");
  ::utimbuf times{1700000000, 1700000000};  // Tue, 14 Nov 2023 22:13:20 GMT
  ::utime((dir_.path() + "Files/SessionEnd.htm").c_str(), &times);
  HttpClient c(Port());
  auto r = c.Get("/files/SessionEnd.htm");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->body, "<html>the session has expired</html>");
  EXPECT_EQ(r->Header("Content-Type"), "text/html");
  EXPECT_EQ(r->Header("Last-Modified"), "Tue, 14 Nov 2023 22:13:20 GMT");

  r = c.Get("/files/SessionEnd.htm", "If-Modified-Since: Tue, 14 Nov 2023 22:13:20 GMT\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 304);
  EXPECT_EQ(r->body, "");
  r = c.Get("/files/SessionEnd.htm", "If-Modified-Since: Tue, 14 Nov 2023 22:13:19 GMT\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  r = c.Get("/files/SessionEnd.htm", "If-Modified-Since: not a date\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
}

// The public files laid out by the same install rule as `make stage`, then served: every picture
// the screens name arrives with its type and decodes at the size the screens give it.
TEST_F(StaticFilesTest, StagedPicturesAndStyleSheetAreServedWhole) {
  const ProgramResult install = RunProgram(
      QX_CMAKE_COMMAND, {"--install", QX_BUILD_DIR, "--component", "files", "--prefix", dir_.path()}, dir_);
  ASSERT_EQ(install.status, 0) << install.err;
  StartHost();
  HttpClient c(Port());
  struct Expected {
    const char* name;
    const char* type;
    TGraphicFormat format;
    int width, height;
  };
  for (const Expected& e : {Expected{"Actualizar.jpg", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"mail.JPG", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"dbFirst.jpg", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"dbPrevious.jpg", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"dbNext.jpg", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"dbLast.jpg", "image/jpeg", gfJPEG, 24, 24},
                            Expected{"J0143750.GIF", "image/gif", gfGIF, 500, 340}}) {
    SCOPED_TRACE(e.name);
    auto r = c.Get(std::string("/files/") + e.name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->Header("Content-Type"), e.type);
    TPicture picture;
    EXPECT_NO_THROW(picture.SetData(r->body));
    EXPECT_EQ(picture.GraphicFormat(), e.format);
    EXPECT_EQ(picture.Width(), e.width);
    EXPECT_EQ(picture.Height(), e.height);
  }
  auto r = c.Get("/files/normal.css");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Header("Content-Type"), "text/css");
  EXPECT_EQ(r->body, ReadFileBytes(QX_SOURCE_DIR "/files/normal.css"));

  // The login icon is not a public file: the login screen's definition embeds it.
  TPicture icon;
  EXPECT_NO_THROW(icon.SetData(ReadFileBytes(QX_SOURCE_DIR "/src/screens/LoginIcon.jpg").value_or("")));
  EXPECT_EQ(icon.GraphicFormat(), gfJPEG);
  EXPECT_EQ(icon.Width(), 48);
  EXPECT_EQ(icon.Height(), 48);
}

TEST_F(StaticFilesTest, NamesResolveWithoutRegardToCase) {
  StartHost();
  WriteFile("Pics/Logo.GIF", "GIF89a");
  HttpClient c(Port());
  auto r = c.Get("/FILES/pics/logo.gif");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->body, "GIF89a");
  EXPECT_EQ(r->Header("Content-Type"), "image/gif");
  r = c.Get("/files/My%20Page.htm");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 404);
  WriteFile("My Page.htm", "spaced");
  r = c.Get("/files/my%20page.HTM");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "spaced");
}

TEST_F(StaticFilesTest, NamesOutsideTheFolderAreRefused) {
  StartHost();
  WriteFile("inside.txt", "in");
  ASSERT_TRUE(WriteFileBytes(dir_.path() + "secret.txt", "secret"));
  ForceDirectories(dir_.path() + "Files/sub");
  // Each refused name gets a fresh connection: a 400 closes it.
  for (const char* target :
       {"/files/../secret.txt", "/files/%2e%2e/secret.txt", "/files/sub/../../secret.txt",
        "/files/./inside.txt", "/files/..%2fsecret.txt", "/files/..%5csecret.txt",
        "/files/%2fetc/passwd", "/files//etc/passwd", "/files/sub", "/files/",
        "/files/missing.txt", "/files/inside.txt%00"}) {
    HttpClient c(Port());
    auto r = c.Get(target);
    ASSERT_TRUE(r) << target;
    EXPECT_TRUE(r->status == 404 || r->status == 400) << target << " " << r->status;
    EXPECT_EQ(r->body.find("secret"), std::string::npos) << target;
  }
  HttpClient c(Port());
  auto r = c.Get("/files/inside.txt");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "in");
}

// Symbolic links are followed only while they stay inside Files; the folder itself may be a
// link (an install may point it elsewhere).
TEST_F(StaticFilesTest, LinksAreServedOnlyWhenTheirTargetStaysInside) {
  const std::string real = dir_.path() + "RealFiles";
  ForceDirectories(real + "/pictures");
  ForceDirectories(dir_.path() + "outside");
  ASSERT_TRUE(WriteFileBytes(real + "/pictures/logo.txt", "logo"));
  ASSERT_TRUE(WriteFileBytes(dir_.path() + "outside/secret.txt", "secret"));
  ASSERT_TRUE(WriteFileBytes(dir_.path() + "secret.txt", "secret"));
  ASSERT_EQ(::symlink("pictures/logo.txt", (real + "/alias.txt").c_str()), 0);
  ASSERT_EQ(::symlink("pictures", (real + "/pics").c_str()), 0);
  ASSERT_EQ(::symlink((dir_.path() + "secret.txt").c_str(), (real + "/leak.txt").c_str()), 0);
  ASSERT_EQ(::symlink("../outside", (real + "/out").c_str()), 0);
  ASSERT_EQ(::symlink("/etc/passwd", (real + "/pictures/passwd").c_str()), 0);
  options_.filesRoot = dir_.path() + "LinkedFiles";
  ASSERT_EQ(::symlink(real.c_str(), options_.filesRoot.c_str()), 0);
  StartHost();
  HttpClient c(Port());
  for (const char* inside : {"/files/pictures/logo.txt", "/files/alias.txt", "/files/pics/logo.txt",
                             "/files/PICS/Logo.TXT"}) {
    auto r = c.Get(inside);
    ASSERT_TRUE(r) << inside;
    EXPECT_EQ(r->status, 200) << inside;
    EXPECT_EQ(r->body, "logo") << inside;
  }
  for (const char* outside : {"/files/leak.txt", "/files/out/secret.txt", "/files/pictures/passwd",
                              "/files/Leak.TXT"}) {
    auto r = c.Get(outside);
    ASSERT_TRUE(r) << outside;
    EXPECT_EQ(r->status, 404) << outside;
    EXPECT_EQ(r->body.find("secret"), std::string::npos) << outside;
    EXPECT_EQ(r->body.find("root:"), std::string::npos) << outside;
  }
}

TEST_F(StaticFilesTest, LargeFileArrivesWhole) {
  StartHost();
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 % 251);
  WriteFile("big.bin", big);
  HttpClient c(Port());
  auto r = c.Get("/files/big.bin");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Header("Content-Length"), std::to_string(big.size()));
  EXPECT_TRUE(r->body == big);
  r = c.Get("/files/big.bin");  // and the connection goes on
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body.size(), big.size());
}

TEST_F(StaticFilesTest, HeadAndOtherMethods) {
  StartHost();
  WriteFile("a.css", "body{}");
  HttpClient c(Port());
  c.Send("HEAD /files/a.css HTTP/1.1\r\nHost: t\r\n\r\n");
  auto r = c.Read(true);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Header("Content-Length"), "6");
  EXPECT_EQ(r->Header("Content-Type"), "text/css");
  c.Send("DELETE /files/a.css HTTP/1.1\r\nHost: t\r\n\r\n");
  r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 405);
  EXPECT_EQ(r->Header("Allow"), "GET, HEAD");
  EXPECT_TRUE(FileExists(dir_.path() + "Files/a.css"));
}

TEST_F(StaticFilesTest, RootRedirectsToTheMountTheIconIsTheLibrarysAndTheRestIsNotFound) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 302);
  EXPECT_EQ(r->Header("Location"), "/RequestQX9");
  // The library answers the site's icon by its path info.
  r = c.Get("/favicon.ico");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "unknown test path /favicon.ico");
  for (const char* target : {"/favicon.ico/x", "/RequestQX9x", "/files"}) {
    r = c.Get(target);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 404) << target;
  }
}

}  // namespace
}  // namespace qx::test
