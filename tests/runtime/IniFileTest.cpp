// Settings files: missing keys, empty values, letter case and write-back.
#include <gtest/gtest.h>

#include "runtime/Files.h"
#include "runtime/IniFile.h"
#include "support/TempDir.h"

using namespace qx;

TEST(IniFile, MissingFileReadsDefaults) {
  test::TempDir dir;
  TIniFile ini(dir / "none.ini");
  EXPECT_FALSE(ini.SectionExists("WEBSERVICE"));
  EXPECT_EQ(ini.ReadInteger("WEBSERVICE", "TCPIPPort", 8081), 8081);
  EXPECT_EQ(ini.ReadString("DATABASE", "FileName", "Requests.mdb"), "Requests.mdb");
}

TEST(IniFile, PresentEmptyKeyIsNotMissing) {
  test::TempDir dir;
  WriteFileBytes(dir / "a.ini", "; comment\r\n[database]\r\nfilename=\r\n[WebService]\r\n"
                                "TCPIPPort = 9090 \r\nBad=12x\r\n");
  TIniFile ini(dir / "a.ini");
  EXPECT_TRUE(ini.ValueExists("DATABASE", "FileName"));
  EXPECT_EQ(ini.ReadString("DATABASE", "FileName", "Requests.mdb"), "");
  EXPECT_EQ(ini.ReadInteger("WEBSERVICE", "TCPIPPort", 8081), 9090);
  EXPECT_EQ(ini.ReadInteger("WEBSERVICE", "Bad", 5), 5);
  EXPECT_EQ(ini.ReadString("WEBSERVICE", "Missing", "x"), "x");
}

TEST(IniFile, QuotedValuesLoseTheirQuotes) {
  test::TempDir dir;
  WriteFileBytes(dir / "q.ini", "[S]\nPath=\"/data/my files\"\n");
  EXPECT_EQ(TIniFile(dir / "q.ini").ReadString("S", "Path", ""), "/data/my files");
}

TEST(IniFile, WriteBackKeepsOtherLines) {
  test::TempDir dir;
  WriteFileBytes(dir / "w.ini", "; keep me\r\n[DATABASE]\r\nFileName=\r\nOther=1\r\n\r\n[X]\r\nY=2\r\n");
  TIniFile ini(dir / "w.ini");
  ini.WriteString("DATABASE", "FileName", "/srv/qx/BasesMDB");
  ini.WriteString("DATABASE", "Added", "3");
  ini.WriteString("NEW", "K", "v");
  EXPECT_EQ(*ReadFileBytes(dir / "w.ini"),
            "; keep me\r\n[DATABASE]\r\nFileName=/srv/qx/BasesMDB\r\nOther=1\r\nAdded=3\r\n\r\n"
            "[X]\r\nY=2\r\n[NEW]\r\nK=v\r\n");
  EXPECT_EQ(TIniFile(dir / "w.ini").ReadString("database", "filename", ""), "/srv/qx/BasesMDB");
}
