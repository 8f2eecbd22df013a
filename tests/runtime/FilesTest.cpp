// Path pieces, folder creation and removal, temporary files and safe name resolution.
#include <gtest/gtest.h>

#include "runtime/Base36.h"
#include "runtime/Files.h"
#include "runtime/Guid.h"
#include "support/TempDir.h"

using namespace qx;

TEST(Files, PathPieces) {
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
  EXPECT_EQ(ExtractFileExt("JPG1A2B.tmp"), ".tmp");
  EXPECT_EQ(ChangeFileExt("/x/lib.so", ".err"), "/x/lib.err");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x"), "/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x/"), "/x/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/x/"), "/x");
}

TEST(Files, ForceDirectoriesAndDeleteTree) {
  test::TempDir dir;
  std::string deep = dir / "a/b/c/";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(WriteFileBytes(deep + "f.txt", "x"));
  EXPECT_TRUE(FileExists(deep + "f.txt"));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_TRUE(DeleteTree(dir / "a"));
  EXPECT_FALSE(DirectoryExists(dir / "a"));
  // A plain file where a folder must go makes creation fail.
  WriteFileBytes(dir / "Cache", "");
  EXPECT_FALSE(ForceDirectories(dir / "Cache/user/"));
}

TEST(Files, TempFilesCarryPrefixAndExtension) {
  test::TempDir dir;
  auto name = CreateTempFile(dir.path(), "JPG");
  ASSERT_TRUE(name);
  EXPECT_EQ(ExtractFileName(*name).substr(0, 3), "JPG");
  EXPECT_EQ(ExtractFileExt(*name), ".tmp");
  EXPECT_TRUE(FileExists(*name));
  EXPECT_FALSE(CreateTempFile(dir / "missing/", "X"));

  // A file made with its bytes.
  auto written = WriteTempFile(dir.path(), "GIF", std::string(70000, 'g'));
  ASSERT_TRUE(written);
  EXPECT_NE(*written, *name);
  EXPECT_EQ(ExtractFileName(*written).substr(0, 3), "GIF");
  EXPECT_EQ(ReadFileBytes(*written), std::string(70000, 'g'));
  EXPECT_FALSE(WriteTempFile(dir / "missing/", "X", "bytes"));
  EXPECT_EQ(dir.Names().size(), 2u);
}

TEST(Files, SafeNamesOnly) {
  EXPECT_TRUE(IsSafeRelativePath("SessionEnd.htm"));
  EXPECT_TRUE(IsSafeRelativePath("user/abc/JPG1.tmp"));
  EXPECT_TRUE(IsSafeRelativePath("a..b.txt"));
  EXPECT_FALSE(IsSafeRelativePath(""));
  EXPECT_FALSE(IsSafeRelativePath("../etc/passwd"));
  EXPECT_FALSE(IsSafeRelativePath("a/../../b"));
  EXPECT_FALSE(IsSafeRelativePath("a/.."));
  EXPECT_FALSE(IsSafeRelativePath("/etc/passwd"));
  EXPECT_FALSE(IsSafeRelativePath("..\\x"));
  EXPECT_FALSE(IsSafeRelativePath(std::string("a\0b", 3)));
}

TEST(Files, ResolveIgnoresLetterCaseInsideTheFolder) {
  test::TempDir dir;
  ForceDirectories(dir / "Sub");
  WriteFileBytes(dir / "Sub/SessionEnd.htm", "x");
  EXPECT_EQ(ResolveInFolder(dir.path(), "Sub/SessionEnd.htm"), dir / "Sub/SessionEnd.htm");
  EXPECT_EQ(ResolveInFolder(dir.path(), "sub/sessionend.HTM"), dir / "Sub/SessionEnd.htm");
  EXPECT_FALSE(ResolveInFolder(dir.path(), "sub/missing.htm"));
  EXPECT_FALSE(ResolveInFolder(dir.path(), "../x"));
}

TEST(Base36, PadsToWidth) {
  EXPECT_EQ(IntToBase36(0, 7), "0000000");
  EXPECT_EQ(IntToBase36(35, 2), "0z");
  EXPECT_EQ(IntToBase36(36, 1), "10");
  EXPECT_EQ(IntToBase36(0xFFFFFFFFu, 7), "1z141z3");
}

TEST(Guid, VersionFourAndRandom) {
  TGUID a = CreateGUID(), b = CreateGUID();
  EXPECT_EQ(a.D3 >> 12, 4);
  EXPECT_EQ(a.D4[0] & 0xC0, 0x80);
  EXPECT_FALSE(a.D1 == b.D1 && a.D2 == b.D2 && a.D3 == b.D3);
}
