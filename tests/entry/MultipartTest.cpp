// The multipart body parser: fields, uploaded files in "MIME" temporary files, boundaries
// falling across the 65,535-byte read window, and the failures of broken bodies.
#include <gtest/gtest.h>

#include <filesystem>

#include "entry/ContentBuffer.h"
#include "entry/EntryExceptions.h"
#include "entry/HTTPFile.h"
#include "entry/ISAPIRequest.h"
#include "entry/MultipartParser.h"
#include "entry/ServerControllerClass.h"
#include "entry/TestController.h"
#include "runtime/Files.h"
#include "support/InMemoryConnection.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::InMemoryConnection;
using Lines = std::vector<std::string>;

constexpr char kBoundary[] = "----qxBoundary7MA4YWxkTrZu0gW";

std::string Field(std::string_view name, std::string_view value) {
  return std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" +
         std::string(name) + "\"\r\n\r\n" + std::string(value) + "\r\n";
}

std::string FilePart(std::string_view name, std::string_view fileName, std::string_view bytes) {
  return std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" +
         std::string(name) + "\"; filename=\"" + std::string(fileName) +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + std::string(bytes) + "\r\n";
}

std::string End() { return std::string("--") + kBoundary + "--\r\n"; }

class Multipart : public ::testing::Test {
 protected:
  void SetUp() override { RegisterMultipartParser(); }

  InMemoryConnection& Post(std::string body, std::size_t preRead = SIZE_MAX,
                           std::size_t chunk = SIZE_MAX) {
    c_.SetMethod("POST")
        .SetContentType(std::string("multipart/form-data; boundary=") + kBoundary)
        .SetBody(std::move(body), preRead, chunk);
    return c_;
  }

  test::TempDir cache_;
  test::TestController controller_{cache_.path()};
  InMemoryConnection c_;
};

TEST_F(Multipart, FieldsBecomeTrimmedLines) {
  Post("preamble to ignore\r\n" + Field("a", "1") + Field("b", "  two words \r\n") +
       Field("empty", "") + End());
  TISAPIRequest request(*c_.Block());
  EXPECT_EQ(request.BodyFields().Lines(), (Lines{"a=1", "b=two words", "empty="}));
  EXPECT_TRUE(request.Files().empty());
}

TEST_F(Multipart, ContentTypeIsRecognisedInAnyCaseOnlyForPost) {
  c_.SetMethod("GET")
      .SetContentType(std::string("MULTIPART/Form-Data; boundary=") + kBoundary)
      .SetBody(Field("a", "1") + End());
  {
    TISAPIRequest request(*c_.Block());
    EXPECT_FALSE(TMultipartContentParser::CanParse(request));
  }
  c_.SetMethod("POST");
  TISAPIRequest request(*c_.Block());
  EXPECT_TRUE(TMultipartContentParser::CanParse(request));
  EXPECT_EQ(request.BodyFields().Lines(), (Lines{"a=1"}));
}

TEST_F(Multipart, BoundaryMayBeQuotedOrFollowedByParameters) {
  EXPECT_EQ(TMultipartContentParser::Boundary("multipart/form-data; boundary=\"a b\""), "a b");
  EXPECT_EQ(TMultipartContentParser::Boundary("multipart/form-data; charset=x; BOUNDARY=zz"),
            "zz");
  EXPECT_EQ(TMultipartContentParser::Boundary("multipart/form-data; boundary=q; x=1"), "q");
  EXPECT_THROW(TMultipartContentParser::Boundary("multipart/form-data"), EWebRequestError);
  EXPECT_THROW(TMultipartContentParser::Boundary("multipart/form-data; boundary="),
               EWebRequestError);
}

TEST_F(Multipart, FilesGoToMimeTemporaryFilesThatLeaveWithTheRequest) {
  std::string bytes = "line one\r\n--not a boundary\r\n\0binary\xff";
  bytes += std::string("\0\r\n", 3);
  Post(Field("before", "x") + FilePart("upload", "C:\\Users\\me\\report.txt", bytes) +
       FilePart("second", "/home/me/\"q\".bin", "") + End());
  std::string tempName;
  {
    TISAPIRequest request(*c_.Block());
    ASSERT_EQ(request.Files().size(), 2u);
    const THTTPFile& file = *request.Files()[0];
    EXPECT_EQ(file.FieldName(), "upload");
    EXPECT_EQ(file.FileName(), "report.txt");
    EXPECT_EQ(file.ContentType(), "application/octet-stream");
    EXPECT_EQ(file.Size(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(file.OpenStream()->ReadRest(), bytes);
    tempName = file.TempFileName();
    EXPECT_EQ(ExtractFilePath(tempName), cache_.path());
    EXPECT_TRUE(ExtractFileName(tempName).starts_with("MIME"));
    EXPECT_EQ(request.Files()[1]->FileName(), "q.bin");
    EXPECT_EQ(request.Files()[1]->Size(), 0);
    EXPECT_EQ(request.BodyFields().Lines(), (Lines{"before=x"}));
    EXPECT_EQ(cache_.Names().size(), 2u);
  }
  EXPECT_FALSE(FileExists(tempName));
  EXPECT_TRUE(cache_.Names().empty());
}

// Field values and file bytes placed so that the delimiter after them straddles the end of
// the first, second ... window, at every offset around the window's size.
TEST_F(Multipart, BoundariesAcrossTheReadWindowAreFound) {
  const std::size_t window = TIWContentBuffer::kWindowSize;
  const std::size_t head = Field("v", "").size() - 2;  // the part up to its value
  for (std::size_t shift : {0u, 1u, 2u, 5u, 20u, 31u, 40u}) {
    std::size_t valueSize = window - head - shift;
    std::string value(valueSize, 'v');
    value[0] = 'S';
    value.back() = 'E';
    std::string fileBytes(window + shift, '\x01');
    fileBytes.back() = '\x02';
    InMemoryConnection c;
    c.SetMethod("POST")
        .SetContentType(std::string("multipart/form-data; boundary=") + kBoundary)
        .SetBody(Field("v", value) + FilePart("f", "f.bin", fileBytes) + Field("w", "last") +
                     End(),
                 4000, 9000);
    TISAPIRequest request(*c.Block());
    ASSERT_EQ(request.BodyFields().Count(), 2) << "shift " << shift;
    EXPECT_EQ(request.BodyFields()[0], "v=" + value) << "shift " << shift;
    EXPECT_EQ(request.BodyFields()[1], "w=last") << "shift " << shift;
    ASSERT_EQ(request.Files().size(), 1u);
    EXPECT_EQ(request.Files()[0]->OpenStream()->ReadRest(), fileBytes) << "shift " << shift;
  }
}

TEST_F(Multipart, LargeBodyIsReadUpToTheContentLength) {
  std::string big(300 * 1024, 'b');
  std::string body = FilePart("f", "big.bin", big) + End();
  Post(body, 1000, 65536);
  TISAPIRequest request(*c_.Block());
  ASSERT_EQ(request.Files().size(), 1u);
  EXPECT_EQ(request.Files()[0]->Size(), static_cast<std::int64_t>(big.size()));
  EXPECT_EQ(c_.BytesRead(), body.size() - 1000);
}

TEST_F(Multipart, TruncatedBodyFailsAndLeavesNoFiles) {
  std::string body = Field("a", "1") + FilePart("f", "x.bin", std::string(70000, 'x'));
  Post(body.substr(0, body.size() - 10));
  TISAPIRequest request(*c_.Block());
  try {
    request.BodyFields();
    FAIL();
  } catch (const EWebRequestError& e) {
    EXPECT_EQ(e.Message(), kMultipartTruncated);
  }
  EXPECT_TRUE(cache_.Names().empty());
  // Asking again fails the same way instead of showing half a list.
  EXPECT_THROW(request.BodyFields(), EWebRequestError);
}

TEST_F(Multipart, BodyWithoutAnyBoundaryFails) {
  Post("just some text\r\n");
  TISAPIRequest request(*c_.Block());
  EXPECT_THROW(request.BodyFields(), EWebRequestError);
}

TEST_F(Multipart, GarbageAfterABoundaryFails) {
  Post(std::string("--") + kBoundary + "junk\r\n" + End());
  TISAPIRequest request(*c_.Block());
  try {
    request.BodyFields();
    FAIL();
  } catch (const EWebRequestError& e) {
    EXPECT_EQ(e.Message(), kMultipartMalformed);
  }
}

TEST_F(Multipart, FileWithoutACacheFolderFailsWithTheCacheMessage) {
  Post(FilePart("f", "x.bin", "data") + End());
  std::filesystem::remove_all(cache_.path());
  TISAPIRequest request(*c_.Block());
  try {
    request.Files();
    FAIL();
  } catch (const EWebRequestError& e) {
    EXPECT_EQ(e.Message(),
              "An error occurred while writing to the Cache Directory, please make sure the "
              "permissions are set correctly.");
  }
}

TEST(MultipartWithoutController, FileFailsWithTheCacheMessage) {
  RegisterMultipartParser();
  ASSERT_EQ(TCustomServerController::Current(), nullptr);
  InMemoryConnection c;
  c.SetMethod("POST")
      .SetContentType(std::string("multipart/form-data; boundary=") + kBoundary)
      .SetBody(FilePart("f", "x.bin", "data") + End());
  TISAPIRequest request(*c.Block());
  EXPECT_THROW(request.Files(), EWebRequestError);
}

}  // namespace
}  // namespace qx
