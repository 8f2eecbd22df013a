// Asynchronous replies: one write for a text body, 128 KiB blocks for streams chained by the
// completion routine, temporary copies of memory streams, and how a write that fails ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "entry/AsyncWrite.h"
#include "entry/IWISAPIRequest.h"
#include "entry/TestController.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "support/InMemoryConnection.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::InMemoryConnection;
using Events = std::vector<std::string>;

constexpr std::size_t KiB = 1024;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return bytes;
}

class AsyncReply : public ::testing::Test {
 protected:
  // Sends the response the way the request handler does and drops request and response, as
  // the extension procedure does before any completion runs.
  void Send(const std::function<void(TIWISAPIResponse&)>& build) {
    TIWISAPIRequest request(*c_.Block());
    TIWISAPIResponse response(request);
    request.SetResponse(&response);
    build(response);
    try {
      response.SendResponse();
    } catch (...) {
      asyncStarted_ = response.AsyncStarted();
      throw;
    }
    asyncStarted_ = response.AsyncStarted();
  }

  test::TempDir cache_;
  test::TestController controller_{cache_.path()};
  InMemoryConnection c_;
  bool asyncStarted_ = false;
};

TEST_F(AsyncReply, TextBodyIsOneAsynchronousWrite) {
  Send([](TIWISAPIResponse& r) { r.SetContent("<html>hello</html>"); });
  EXPECT_TRUE(asyncStarted_);
  ASSERT_TRUE(c_.WaitForDone());
  EXPECT_EQ(c_.Body(), "<html>hello</html>");
  EXPECT_EQ(c_.Events(), (Events{"headers", "async-write 18", "completion 18", "done"}));
  EXPECT_TRUE(c_.Violations().empty());
}

// A page with a large text spliced in (a grid's rows, kept by the grid) goes out piece by
// piece, the spliced bytes written from where the grid keeps them; short ones are copied in.
TEST_F(AsyncReply, PageGoesOutInItsPiecesWithTheSplicedTextUncopied) {
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  auto rows = std::make_shared<const std::string>(Pattern(200 * KiB));
  const std::string shortRows = "<tr><td>short</td></tr>";
  Send([&](TIWISAPIResponse& r) {
    TPageText page("<html><table>");
    page.Splice(*rows, rows);
    page += "</table><table>";
    page.Splice(shortRows, nullptr);
    page += "</table></html>";
    EXPECT_EQ(page.Pieces().size(), 3u);
    r.SetContent(std::move(page));
  });
  EXPECT_EQ(c_.HeaderValue("Content-Length"), std::to_string(13 + 200 * KiB + 15 + 23 + 15));
  ASSERT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{13}));
  while (c_.RunCompletion()) {
  }
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{13, 200 * KiB, 15 + 23 + 15}));
  EXPECT_EQ(c_.Body(), "<html><table>" + *rows + "</table><table>" + shortRows + "</table></html>");
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_TRUE(c_.Violations().empty());
}

TEST_F(AsyncReply, EmptyTextWritesNothing) {
  Send([](TIWISAPIResponse&) {});
  EXPECT_FALSE(asyncStarted_);
  EXPECT_EQ(c_.Events(), (Events{"headers"}));
  EXPECT_EQ(c_.DoneWithSessionCount(), 0);
}

TEST_F(AsyncReply, StreamOf300KiBGoesOutIn128128And44KiBBlocks) {
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  const std::string bytes = Pattern(300 * KiB);
  Send([&](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TMemoryStream>(bytes));
  });
  EXPECT_TRUE(asyncStarted_);
  // The memory stream was copied into an "IIS" temporary file of the cache folder.
  std::vector<std::string> copies = cache_.Names();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(copies[0].starts_with("IIS"));
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB}));

  ASSERT_TRUE(c_.RunCompletion());
  ASSERT_TRUE(c_.RunCompletion());
  EXPECT_EQ(c_.DoneWithSessionCount(), 0);
  EXPECT_EQ(cache_.Names().size(), 1u);
  ASSERT_TRUE(c_.RunCompletion());
  EXPECT_FALSE(c_.RunCompletion());

  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB, 128 * KiB, 44 * KiB}));
  EXPECT_EQ(c_.Events(), (Events{"headers", "async-write 131072", "completion 131072",
                                 "async-write 131072", "completion 131072",
                                 "async-write 45056", "completion 45056", "done"}));
  EXPECT_EQ(c_.Body(), bytes);
  EXPECT_EQ(c_.HeaderValue("Content-Length"), "307200");
  EXPECT_TRUE(cache_.Names().empty());
  EXPECT_TRUE(c_.Violations().empty());
}

TEST_F(AsyncReply, StreamOfExactlyOneBlockEndsAfterOneCompletion) {
  const std::string bytes = Pattern(128 * KiB);
  Send([&](TIWISAPIResponse& r) { r.SetContentStream(std::make_unique<TMemoryStream>(bytes)); });
  ASSERT_TRUE(c_.WaitForDone());
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB}));
  EXPECT_EQ(c_.Body(), bytes);
}

TEST_F(AsyncReply, EmptyStreamWritesNothing) {
  Send([](TIWISAPIResponse& r) { r.SetContentStream(std::make_unique<TMemoryStream>()); });
  EXPECT_FALSE(asyncStarted_);
  EXPECT_TRUE(c_.AsyncWriteSizes().empty());
  EXPECT_TRUE(cache_.Names().empty());
}

TEST_F(AsyncReply, FileStreamIsSentThroughItsOwnHandleWithoutACopy) {
  test::TempDir files;
  const std::string name = files / "page.bin";
  const std::string bytes = Pattern(200 * KiB);
  ASSERT_TRUE(WriteFileBytes(name, bytes));
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  Send([&](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TFileStream>(name, FileMode::OpenRead));
  });
  EXPECT_TRUE(cache_.Names().empty());
  // The response released its stream already; the write goes on.
  while (c_.RunCompletion()) {
  }
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_EQ(c_.Body(), bytes);
  EXPECT_TRUE(FileExists(name));
}

TEST_F(AsyncReply, TemporaryFileStreamIsReadToTheEndAfterItsFileIsGone) {
  const std::string bytes = Pattern(140 * KiB);
  std::string tempName;
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  Send([&](TIWISAPIResponse& r) {
    auto stream = std::make_unique<TTempFileStream>(cache_.path(), "JPG");
    stream->WriteText(bytes);
    tempName = stream->FileName();
    r.SetContentStream(std::move(stream));
  });
  EXPECT_FALSE(FileExists(tempName));
  while (c_.RunCompletion()) {
  }
  EXPECT_EQ(c_.Body(), bytes);
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_TRUE(cache_.Names().empty());
}

TEST_F(AsyncReply, RefusedFirstWriteFailsAtOnceAndLeavesNothingBehind) {
  c_.RefuseAsyncWrite(1);
  EXPECT_THROW(Send([](TIWISAPIResponse& r) {
                 r.SetContentStream(std::make_unique<TMemoryStream>(Pattern(1000)));
               }),
               EInOutError);
  EXPECT_FALSE(asyncStarted_);
  EXPECT_TRUE(cache_.Names().empty());
  EXPECT_EQ(c_.PendingCompletions(), 0);
  EXPECT_EQ(c_.DoneWithSessionCount(), 0);
}

TEST_F(AsyncReply, RefusedTextWriteFailsAtOnce) {
  c_.RefuseAsyncWrite(1);
  try {
    Send([](TIWISAPIResponse& r) { r.SetContent("text"); });
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), kAsyncWriteRefused);
  }
  EXPECT_FALSE(asyncStarted_);
}

TEST_F(AsyncReply, RefusedLaterBlockEndsTheRequestAndDeletesTheCopy) {
  c_.RefuseAsyncWrite(2);
  Send([](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TMemoryStream>(Pattern(300 * KiB)));
  });
  ASSERT_TRUE(c_.WaitForDone());
  ASSERT_TRUE(c_.WaitForIdle());
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB}));
  EXPECT_TRUE(cache_.Names().empty());
  EXPECT_TRUE(c_.Violations().empty());
}

TEST_F(AsyncReply, FailedCompletionEndsTheRequestWithoutFurtherBlocks) {
  c_.FailCompletion(1, 64);
  Send([](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TMemoryStream>(Pattern(300 * KiB)));
  });
  ASSERT_TRUE(c_.WaitForDone());
  ASSERT_TRUE(c_.WaitForIdle());
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB}));
  EXPECT_TRUE(cache_.Names().empty());
}

TEST_F(AsyncReply, FileCutShortWhileSendingEndsTheRequest) {
  test::TempDir files;
  const std::string name = files / "shrinks.bin";
  ASSERT_TRUE(WriteFileBytes(name, Pattern(300 * KiB)));
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  Send([&](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TFileStream>(name, FileMode::OpenRead));
  });
  ASSERT_EQ(::truncate(name.c_str(), 100 * KiB), 0);
  while (c_.RunCompletion()) {
  }
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_EQ(c_.AsyncWriteSizes(), (std::vector<std::size_t>{128 * KiB}));
}

// The descriptor the write keeps is swapped for a folder's, so that the next read fails inside
// the completion routine.
TEST_F(AsyncReply, FailureInsideTheCompletionRoutineIsReportedAndTheRequestStillEnds) {
  test::TempDir files;
  const std::string name = files / "body.bin";
  ASSERT_TRUE(WriteFileBytes(name, Pattern(300 * KiB)));
  c_.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand);
  Send([&](TIWISAPIResponse& r) {
    r.SetContentStream(std::make_unique<TFileStream>(name, FileMode::OpenRead));
  });
  int kept = -1;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(e.path(), ec).string() == name)
      kept = std::stoi(e.path().filename().string());
  }
  ASSERT_GE(kept, 0);
  int folder = ::open(files.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  ASSERT_EQ(::dup3(folder, kept, O_CLOEXEC), kept);
  ::close(folder);

  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(c_.RunCompletion());
  std::string out = ::testing::internal::GetCapturedStdout();
  // Reading (or sizing) a folder fails; which of the two depends on the file system.
  EXPECT_TRUE(out.starts_with("exception in callback: EInOutError:Stream ")) << out;
  EXPECT_TRUE(out.ends_with("\n")) << out;
  EXPECT_EQ(c_.DoneWithSessionCount(), 1);
  EXPECT_FALSE(c_.RunCompletion());
}

}  // namespace
}  // namespace qx
