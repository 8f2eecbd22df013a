// The interim dispatcher's replies, driven through the request handler.
#include "server/InterimDispatcher.h"

#include <gtest/gtest.h>

#include "entry/ISAPIRequest.h"
#include "entry/RequestHandler.h"
#include "support/InMemoryConnection.h"

namespace qx {
namespace {

using test::InMemoryConnection;

class Interim : public ::testing::Test {
 protected:
  void SetUp() override { handler_.RegisterDispatcherClass(TInterimDispatcher::Class()); }
  void Run(InMemoryConnection& c) {
    TISAPIRequest request(*c.Block());
    TISAPIResponse response(request);
    EXPECT_TRUE(handler_.HandleRequest(request, response));
  }
  TWebRequestHandler handler_;
};

TEST_F(Interim, EveryRequestGetsTheStartingUpPage) {
  for (const char* path : {"", "/", "/EXEC", "/files/SessionEnd.htm", "/PINGX"}) {
    InMemoryConnection c;
    c.SetPathInfo(path);
    Run(c);
    EXPECT_EQ(c.StatusCode(), 200u) << path;
    EXPECT_EQ(c.Body(), kStartingUpPage) << path;
    EXPECT_EQ(c.HeaderValue("Content-Type"), "text/html");
  }
}

TEST_F(Interim, PingGetsAnEmptyReply) {
  for (const char* path : {"/PING", "/ping", "/Ping/anything"}) {
    InMemoryConnection c;
    c.SetPathInfo(path);
    Run(c);
    EXPECT_EQ(c.StatusCode(), 200u) << path;
    EXPECT_EQ(c.Body(), "") << path;
  }
}

}  // namespace
}  // namespace qx
