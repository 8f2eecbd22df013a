// The extension procedure on a server that writes asynchronously, driven in-process: results
// 1, 3 and 4, the fixed server kind, refusal of the 33rd request with its reason logged,
// version and termination.
#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <thread>

#include "entry/ExtensionProc.h"
#include "entry/ISAPIApplication.h"
#include "entry/TestController.h"
#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Exceptions.h"
#include "support/InMemoryConnection.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::InMemoryConnection;
using Events = std::vector<std::string>;

std::string cacheFolder;
std::latch* entered = nullptr;
std::latch* open = nullptr;

std::unique_ptr<TCustomServerController> MakeController(const std::string&) {
  return std::make_unique<test::TestController>(cacheFolder);
}

// Replies chosen by the path info.
class Replies : public TCustomWebDispatcher {
 protected:
  bool DefaultAction(TWebRequest& request, TWebResponse& response) override {
    std::string path = request.PathInfo();
    if (path == "/text") response.SetContent("some text");
    if (path == "/stream")
      response.SetContentStream(std::make_unique<TMemoryStream>(std::string(300 * 1024, 's')));
    if (path == "/fail") throw Exception("failed on purpose");
    if (path == "/block") {
      entered->count_down();
      open->wait();
      response.SetContent("waited");
    }
    return path != "/unhandled";
  }
};

const TDispatcherClass kReplies{"Replies", []() -> std::unique_ptr<TCustomWebDispatcher> {
                                  return std::make_unique<Replies>();
                                }};

class ExtensionProc : public ::testing::Test {
 protected:
  void SetUp() override {
    cacheFolder = cache_.path();
    RegisterServerControllerClass(&MakeController);
    CreateApplication();
    Application()->CreateServerController("/nowhere/RequestQX9.so");
    Application()->RequestHandler().RegisterDispatcherClass(kReplies);
  }
  void TearDown() override {
    DestroyApplication();
    RegisterServerControllerClass(nullptr);
  }

  test::TempDir cache_;
};

TEST_F(ExtensionProc, EmptyBodyReturnsSuccessWithoutAnyCompletion) {
  InMemoryConnection c;
  c.SetPathInfo("/empty");
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_SUCCESS);
  EXPECT_EQ(ServerKind(), skAsync);
  EXPECT_EQ(c.Events(), (Events{"headers"}));
  EXPECT_EQ(c.CompletionCount(), 0);
  EXPECT_EQ(c.DoneWithSessionCount(), 0);
}

TEST_F(ExtensionProc, StreamReturnsPendingAndEndsAfterTheThirdCompletion) {
  InMemoryConnection c;
  c.SetCompletionMode(InMemoryConnection::CompletionMode::OnDemand).SetPathInfo("/stream");
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_PENDING);
  int completions = 0;
  while (c.DoneWithSessionCount() == 0 && c.RunCompletion()) ++completions;
  EXPECT_EQ(completions, 3);
  EXPECT_EQ(c.AsyncWriteSizes(), (std::vector<std::size_t>{131072, 131072, 45056}));
  EXPECT_EQ(c.Events().back(), "done");
  EXPECT_EQ(c.Body().size(), 300u * 1024);
}

TEST_F(ExtensionProc, TextReturnsPendingUntilItsCompletion) {
  InMemoryConnection c;
  c.SetPathInfo("/text");
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_PENDING);
  ASSERT_TRUE(c.WaitForDone());
  EXPECT_EQ(c.Body(), "some text");
  EXPECT_EQ(c.StatusText(), "200 OK");
}

TEST_F(ExtensionProc, DispatcherFailureIsAnsweredWithItsErrorPage) {
  InMemoryConnection c;
  c.SetPathInfo("/fail");
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_PENDING);
  ASSERT_TRUE(c.WaitForDone());
  EXPECT_EQ(c.StatusCode(), 500u);
  EXPECT_NE(c.Body().find("<h1>Internal Application Error</h1>\r\n<p>failed on purpose"),
            std::string::npos);
}

TEST_F(ExtensionProc, UnhandledRequestWithoutAWriteReturnsSuccess) {
  InMemoryConnection c;
  c.SetPathInfo("/unhandled");
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_SUCCESS);
  EXPECT_FALSE(c.HeadersSent());
}

TEST_F(ExtensionProc, ServerKindChosenFirstHoldsForLaterRequests) {
  InMemoryConnection first;
  first.SetPathInfo("/empty");
  HttpExtensionProc(first.Block());
  InMemoryConnection other;
  other.SetVariable("SERVER_SOFTWARE", test::kOtherServerSoftware).SetPathInfo("/text");
  EXPECT_EQ(HttpExtensionProc(other.Block()), QX_STATUS_PENDING);
  ASSERT_TRUE(other.WaitForDone());
  EXPECT_EQ(other.AsyncWriteSizes(), (std::vector<std::size_t>{9}));
}

TEST_F(ExtensionProc, The33rdConcurrentRequestFailsWithoutABody) {
  std::latch enteredLatch(32);
  std::latch openLatch(1);
  entered = &enteredLatch;
  open = &openLatch;
  std::vector<std::unique_ptr<InMemoryConnection>> busy;
  std::vector<std::thread> threads;
  std::vector<std::uint32_t> results(32);
  for (int i = 0; i < 32; ++i) {
    busy.push_back(std::make_unique<InMemoryConnection>());
    busy.back()->SetPathInfo("/block");
  }
  for (int i = 0; i < 32; ++i)
    threads.emplace_back([&, i] { results[i] = HttpExtensionProc(busy[i]->Block()); });
  enteredLatch.wait();

  InMemoryConnection refused;
  refused.SetPathInfo("/text");
  EXPECT_EQ(HttpExtensionProc(refused.Block()), QX_STATUS_ERROR);
  EXPECT_FALSE(refused.HeadersSent());
  EXPECT_TRUE(refused.Writes().empty());
  // The client learns nothing, so the controller's log keeps the reason.
  auto* controller = dynamic_cast<test::TestController*>(TCustomServerController::Current());
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->Failures(),
            (Events{"HttpExtensionProc dropped a request: Exception: Maximum number of concurrent "
                    "connections exceeded.  Please try again later"}));

  openLatch.count_down();
  for (auto& t : threads) t.join();
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(results[i], QX_STATUS_PENDING);
    ASSERT_TRUE(busy[i]->WaitForDone());
    EXPECT_EQ(busy[i]->Body(), "waited");
  }
}

TEST_F(ExtensionProc, WithoutAnApplicationEveryRequestFails) {
  DestroyApplication();
  InMemoryConnection c;
  EXPECT_EQ(HttpExtensionProc(c.Block()), QX_STATUS_ERROR);
  EXPECT_EQ(HttpExtensionProc(nullptr), QX_STATUS_ERROR);
}

TEST_F(ExtensionProc, TerminateDestroysTheControllerWhateverTheFlags) {
  ASSERT_NE(TCustomServerController::Current(), nullptr);
  EXPECT_EQ(TerminateExtension(2), 1);
  EXPECT_EQ(Application()->ServerController(), nullptr);
  EXPECT_EQ(TCustomServerController::Current(), nullptr);
  EXPECT_EQ(TerminateExtension(1), 1);
}

TEST_F(ExtensionProc, VersionIsTwoPointZeroWithTheTitleAsDescription) {
  QxExtensionVersion version;
  std::memset(&version, 'x', sizeof version);
  EXPECT_EQ(GetExtensionVersion(&version), 1);
  EXPECT_EQ(version.dwExtensionVersion, 0x00020000u);
  EXPECT_STREQ(version.lpszExtensionDesc, "");

  Application()->SetTitle(std::string(300, 't'));
  EXPECT_EQ(GetExtensionVersion(&version), 1);
  EXPECT_EQ(std::string(version.lpszExtensionDesc), std::string(255, 't'));
  EXPECT_EQ(GetExtensionVersion(nullptr), 0);
}

}  // namespace
}  // namespace qx
