// The dispatcher pool: at most 32 active instances with the 33rd request refused, reuse of
// idle instances, the dispatcher class rule, and the dispatch sequence with its failure reply.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>

#include "entry/ISAPIRequest.h"
#include "entry/RequestHandler.h"
#include "runtime/Exceptions.h"
#include "support/InMemoryConnection.h"

namespace qx {
namespace {

using test::InMemoryConnection;

// Dispatchers of this class wait at the gate until the test opens it.
struct Gate {
  std::latch* entered = nullptr;
  std::latch* open = nullptr;
};
Gate gate;
std::atomic<int> created{0};

class GatedDispatcher : public TCustomWebDispatcher {
 public:
  GatedDispatcher() { ++created; }

 protected:
  bool DefaultAction(TWebRequest&, TWebResponse& response) override {
    if (gate.entered) {
      gate.entered->count_down();
      gate.open->wait();
    }
    response.SetContent("served");
    return true;
  }
};

const TDispatcherClass kGated{"GatedDispatcher", []() -> std::unique_ptr<TCustomWebDispatcher> {
                                return std::make_unique<GatedDispatcher>();
                              }};

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no failure";
}

TEST(RequestHandler, The33rdConcurrentRequestIsRefusedWhile32GoOn) {
  TWebRequestHandler handler;
  handler.RegisterDispatcherClass(kGated);
  constexpr int kBusy = TWebRequestHandler::kMaxConnections;
  std::latch entered(kBusy);
  std::latch open(1);
  gate = {&entered, &open};
  created = 0;

  std::vector<std::unique_ptr<InMemoryConnection>> connections;
  for (int i = 0; i < kBusy; ++i) connections.push_back(std::make_unique<InMemoryConnection>());
  std::vector<std::thread> threads;
  std::atomic<int> handled{0};
  for (int i = 0; i < kBusy; ++i) {
    threads.emplace_back([&, i] {
      TISAPIRequest request(*connections[i]->Block());
      TISAPIResponse response(request);
      if (handler.HandleRequest(request, response)) ++handled;
    });
  }
  entered.wait();
  EXPECT_EQ(handler.ActiveCount(), kBusy);

  InMemoryConnection extra;
  TISAPIRequest request(*extra.Block());
  TISAPIResponse response(request);
  EXPECT_EQ(Message([&] { handler.HandleRequest(request, response); }),
            "Maximum number of concurrent connections exceeded.  Please try again later");
  EXPECT_FALSE(extra.HeadersSent());

  open.count_down();
  for (auto& t : threads) t.join();
  gate = {};
  EXPECT_EQ(handled, kBusy);
  for (auto& c : connections) EXPECT_EQ(c->Body(), "served");
  EXPECT_EQ(handler.ActiveCount(), 0);

  // Idle instances are reused: a further request creates none.
  EXPECT_TRUE(handler.HandleRequest(request, response));
  EXPECT_EQ(created, kBusy);
  EXPECT_EQ(handler.InstanceCount(), kBusy);
}

TEST(RequestHandler, SequentialRequestsShareOneInstance) {
  TWebRequestHandler handler;
  handler.RegisterDispatcherClass(kGated);
  created = 0;
  for (int i = 0; i < 3; ++i) {
    InMemoryConnection c;
    TISAPIRequest request(*c.Block());
    TISAPIResponse response(request);
    EXPECT_TRUE(handler.HandleRequest(request, response));
    EXPECT_TRUE(response.Sent());
    EXPECT_EQ(c.Body(), "served");
  }
  EXPECT_EQ(created, 1);
}

TEST(RequestHandler, WithoutADispatcherClassEveryRequestFails) {
  TWebRequestHandler handler;
  InMemoryConnection c;
  TISAPIRequest request(*c.Block());
  TISAPIResponse response(request);
  EXPECT_EQ(Message([&] { handler.HandleRequest(request, response); }),
            "No data modules registered");
  EXPECT_EQ(handler.ActiveCount(), 0);
}

TEST(RequestHandler, OnlyOneDispatcherClassMayBeRegistered) {
  TWebRequestHandler handler;
  handler.RegisterDispatcherClass(kGated);
  EXPECT_NO_THROW(handler.RegisterDispatcherClass(kGated));
  TDispatcherClass other{"Other", []() -> std::unique_ptr<TCustomWebDispatcher> { return nullptr; }};
  EXPECT_EQ(Message([&] { handler.RegisterDispatcherClass(other); }),
            "Only one data module per application");
}

// A dispatcher whose behaviour each test chooses.
struct Script {
  bool beforeHandles = false;
  bool actionHandles = true;
  bool afterClears = false;
  bool actionThrows = false;
  bool actionSends = false;
  std::vector<std::string> calls;
};
Script script;

class ScriptedDispatcher : public TCustomWebDispatcher {
 protected:
  void BeforeDispatch(TWebRequest&, TWebResponse&, bool& handled) override {
    script.calls.push_back("before");
    handled = script.beforeHandles;
  }
  bool DefaultAction(TWebRequest&, TWebResponse& response) override {
    script.calls.push_back("action");
    response.SetContent("action page");
    if (script.actionSends) response.SendResponse();
    if (script.actionThrows) throw Exception("Broken <b>\"form\"</b> & more");
    return script.actionHandles;
  }
  void AfterDispatch(TWebRequest&, TWebResponse&, bool& handled) override {
    script.calls.push_back("after");
    if (script.afterClears) handled = false;
  }
};

const TDispatcherClass kScripted{"ScriptedDispatcher",
                                 []() -> std::unique_ptr<TCustomWebDispatcher> {
                                   return std::make_unique<ScriptedDispatcher>();
                                 }};

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    script = {};
    handler_.RegisterDispatcherClass(kScripted);
  }
  bool Run() {
    TISAPIRequest request(*c_.Block());
    TISAPIResponse response(request);
    bool handled = handler_.HandleRequest(request, response);
    sent_ = response.Sent();
    return handled;
  }
  TWebRequestHandler handler_;
  InMemoryConnection c_;
  bool sent_ = false;
};

TEST_F(Dispatch, HandledRequestRunsAllThreeStepsAndIsSent) {
  EXPECT_TRUE(Run());
  EXPECT_EQ(script.calls, (std::vector<std::string>{"before", "action", "after"}));
  EXPECT_TRUE(sent_);
  EXPECT_EQ(c_.Body(), "action page");
}

TEST_F(Dispatch, BeforeDispatchCanTakeTheRequestOver) {
  script.beforeHandles = true;
  EXPECT_TRUE(Run());
  EXPECT_EQ(script.calls, (std::vector<std::string>{"before", "after"}));
}

TEST_F(Dispatch, UnhandledRequestIsNotSent) {
  script.actionHandles = false;
  EXPECT_FALSE(Run());
  EXPECT_EQ(script.calls, (std::vector<std::string>{"before", "action"}));
  EXPECT_FALSE(sent_);
  EXPECT_FALSE(c_.HeadersSent());
}

TEST_F(Dispatch, AfterDispatchIsSkippedOnceTheResponseWasSent) {
  script.actionSends = true;
  EXPECT_TRUE(Run());
  EXPECT_EQ(script.calls, (std::vector<std::string>{"before", "action"}));
  EXPECT_EQ(c_.Events(), (std::vector<std::string>{"headers", "write 11"}));
}

TEST_F(Dispatch, AfterDispatchMayDeclineTheRequest) {
  script.afterClears = true;
  EXPECT_FALSE(Run());
  EXPECT_FALSE(sent_);
}

TEST_F(Dispatch, FailureBecomesTheInternalApplicationErrorPage) {
  script.actionThrows = true;
  c_.SetPathInfo("/EXEC/<script>");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(sent_);
  EXPECT_EQ(c_.StatusCode(), 500u);
  EXPECT_EQ(c_.StatusText(), "500 Internal Server Error");
  // Message and path are shown as text, never as markup.
  EXPECT_EQ(c_.Body(),
            "<html><body><h1>Internal Application Error</h1>\r\n"
            "<p>Broken &lt;b&gt;&quot;form&quot;&lt;/b&gt; &amp; more\r\n"
            "<p><hr width=\"100%\"><i>/EXEC/&lt;script&gt;</i></body></html>");
  EXPECT_EQ(handler_.ActiveCount(), 0);
}

TEST_F(Dispatch, FailureAfterTheResponseWasSentAddsNothing) {
  script.actionSends = true;
  script.actionThrows = true;
  EXPECT_TRUE(Run());
  EXPECT_EQ(c_.Body(), "action page");
  EXPECT_EQ(c_.Events(), (std::vector<std::string>{"headers", "write 11"}));
}

}  // namespace
}  // namespace qx
