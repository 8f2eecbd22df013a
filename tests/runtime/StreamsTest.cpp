// Streams over memory, resource bytes, files and temporary files.
#include <gtest/gtest.h>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Streams.h"
#include "support/TempDir.h"

using namespace qx;

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
  TMemoryStream m;
  m.WriteText("hello world");
  EXPECT_EQ(m.Size(), 11);
  m.SetPosition(6);
  m.WriteText("there!");
  EXPECT_EQ(m.Bytes(), "hello there!");
  m.SetPosition(0);
  char buf[5];
  EXPECT_EQ(m.Read(buf, 5), 5u);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_EQ(m.ReadRest(), " there!");
  EXPECT_THROW(m.Seek(-1, SeekOrigin::Begin), EInOutError);

  // A text given up to an empty stream is kept as it is; later ones are written at the position.
  TMemoryStream page;
  std::string text(1000, 'p');
  const char* bytes = text.data();
  page.TakeText(std::move(text));
  EXPECT_EQ(page.Bytes().data(), bytes);
  EXPECT_EQ(page.Position(), 1000);
  page.SetPosition(998);
  page.TakeText("end");
  EXPECT_EQ(page.Bytes(), std::string(998, 'p') + "end");
}

TEST(Streams, ReadOnlyViewRefusesWrites) {
  static const char bytes[] = "GIF89a";
  TReadOnlyMemoryStream s(std::string_view(bytes, 6));
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.ReadRest(), "GIF89a");
  EXPECT_THROW(s.WriteText("x"), EInOutError);
}

TEST(Streams, FileStreamsAndCopy) {
  test::TempDir dir;
  {
    TFileStream f(dir / "a.bin", FileMode::Create);
    f.WriteText("0123456789");
  }
  TFileStream f(dir / "a.bin", FileMode::OpenRead);
  EXPECT_EQ(f.Size(), 10);
  TMemoryStream m;
  f.SetPosition(4);
  EXPECT_EQ(m.CopyFrom(f, 3), 3);
  EXPECT_EQ(m.Bytes(), "456");
  EXPECT_EQ(m.CopyFrom(f, 0), 10);
  EXPECT_EQ(m.Bytes(), "4560123456789");
  EXPECT_THROW(TFileStream(dir / "missing", FileMode::OpenRead), EInOutError);
}

TEST(Streams, TempFileIsDeletedWithTheStream) {
  test::TempDir dir;
  std::string name;
  {
    TTempFileStream t(dir.path(), "MIME");
    name = t.FileName();
    t.WriteText("part");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(ExtractFileName(name).rfind("MIME", 0), 0u);
  }
  EXPECT_FALSE(FileExists(name));
}
