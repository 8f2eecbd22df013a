// Bad, oversized, slow, vanishing and very many clients: each gets a clear HTTP error or a
// closed connection, nothing leaks, and the host keeps answering.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <memory>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace qx::test {
namespace {

class RobustnessTest : public HostFixture {
 protected:
  // The host still answers a plain request on a fresh connection.
  void ExpectResponsive() {
    HttpClient c(Port());
    auto r = c.Get("/RequestQX9/sync?size=3");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
  }
  // Sends `request` and expects one reply with `status`, then the connection closed.
  void ExpectRefused(const std::string& request, int status) {
    HttpClient c(Port());
    c.Send(request);
    auto r = c.Read();
    ASSERT_TRUE(r) << request.substr(0, 60);
    EXPECT_EQ(r->status, status) << request.substr(0, 60);
    EXPECT_EQ(r->Header("Connection"), "close");
    EXPECT_NE(r->body.find(std::to_string(status)), std::string::npos);
    EXPECT_TRUE(c.WaitClosed());
  }
};

TEST_F(RobustnessTest, MalformedRequestsGetBadRequest) {
  StartHost();
  ExpectRefused("GARBAGE\r\n\r\n", 400);
  ExpectRefused("GET /x HTTP/1.1\r\nNo colon\r\n\r\n", 400);
  ExpectRefused("GET /RequestQX9/%zz HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET /RequestQX9/a%00b HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET http://elsewhere/ HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET /x HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", 400);
  ExpectRefused("\x01\x02\x03\xff\r\n\r\n", 400);
  ExpectResponsive();
}

TEST_F(RobustnessTest, OversizedPartsGetTheirOwnStatus) {
  options_.maxRequestLine = 1000;
  options_.maxHeaderBytes = 4000;
  options_.maxBodyBytes = 100000;
  StartHost();
  ExpectRefused("GET /" + std::string(2000, 'a') + " HTTP/1.1\r\nHost: t\r\n\r\n", 414);
  ExpectRefused("GET /" + std::string(10000, 'a') + " HTTP/1.1\r\nHost: t\r\n\r\n", 414);
  ExpectRefused("GET / HTTP/1.1\r\nX-Big: " + std::string(5000, 'b') + "\r\n\r\n", 431);
  ExpectRefused("POST /RequestQX9/body HTTP/1.1\r\nContent-Length: 100001\r\n\r\n", 413);
  ExpectRefused("POST /RequestQX9/body HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411);
  ExpectRefused("POST /RequestQX9/body HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\n", 400);
  ExpectRefused("GET / HTTP/2.0\r\n\r\n", 505);
  ExpectResponsive();
}

TEST_F(RobustnessTest, StalledRequestTimesOut) {
  options_.readTimeoutSeconds = 1;
  StartHost();
  HttpClient partial(Port());
  partial.Send("GET /RequestQX9/sync HTTP/1.1\r\nHost:");
  auto r = partial.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 408);
  EXPECT_TRUE(partial.WaitClosed());

  HttpClient partialBody(Port());
  partialBody.Send("POST /RequestQX9/body HTTP/1.1\r\nContent-Length: 100\r\n\r\nabc");
  r = partialBody.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 408);

  HttpClient idle(Port());  // an idle keep-alive connection just ends
  EXPECT_EQ(idle.ReadAll(5000), "");
  ExpectResponsive();
}

TEST_F(RobustnessTest, ClientLeavingMidBodyFailsTheLibraryReadOnly) {
  StartHost();
  {
    HttpClient c(Port());
    c.Send("POST /RequestQX9/body HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n" +
           std::string(100000, 'x'));
  }  // closed with 900,000 bytes missing
  HttpClient beforePreread(Port());
  beforePreread.Send("POST /RequestQX9/body HTTP/1.1\r\nContent-Length: 1000\r\n\r\nab");
  beforePreread.Close();
  ExpectResponsive();
  // The stop in TearDown checks that both requests ended.
}

TEST_F(RobustnessTest, ClientLeavingMidAsyncReplyStillEndsTheSession) {
  StartHost();
  {
    HttpClient c(Port());
    c.Send("GET /RequestQX9/async?total=50000000&block=131072 HTTP/1.1\r\nHost: t\r\n\r\n");
    ASSERT_TRUE(c.ReadBytes(1000));
  }
  ASSERT_TRUE(hooks_.waitDone(1, 20000)) << "done-with-session never came";
  auto s = hooks_.Stats();
  EXPECT_EQ(s.completionErrors, 1u);
  EXPECT_EQ(s.completions, s.asyncStarted);
  ExpectResponsive();
}

TEST_F(RobustnessTest, ClientLeavingMidSyncReplyFailsTheWrite) {
  StartHost();
  {
    HttpClient c(Port());
    c.Send("GET /RequestQX9/pieces?count=2000&size=65536 HTTP/1.1\r\nHost: t\r\n\r\n");
    ASSERT_TRUE(c.ReadBytes(1000));
  }
  ExpectResponsive();
}

TEST_F(RobustnessTest, PipelinedRequestsAreAnsweredInOrder) {
  StartHost();
  HttpClient c(Port());
  c.Send("GET /RequestQX9/sync?size=1 HTTP/1.1\r\nHost: t\r\n\r\n"
         "POST /RequestQX9/body HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"
         "GET /RequestQX9/sync?size=2 HTTP/1.1\r\nHost: t\r\n\r\n");
  auto a = c.Read();
  auto b = c.Read();
  auto d = c.Read();
  ASSERT_TRUE(a && b && d);
  EXPECT_EQ(a->body, "a");
  EXPECT_EQ(b->body.substr(0, 9), "length=3 ");
  EXPECT_EQ(d->body, "ah");
}

TEST_F(RobustnessTest, UnreadBodyIsSkippedToKeepTheConnection) {
  StartHost();
  HttpClient c(Port());
  c.Send("POST /RequestQX9/sync?size=4 HTTP/1.1\r\nContent-Length: 70000\r\n\r\n" +
         std::string(70000, 'z'));
  auto r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "ahov");
  r = c.Get("/RequestQX9/sync?size=1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "a");
}

TEST_F(RobustnessTest, AThousandConnectionsAtOnce) {
  // Client and server ends live in this one process: about 2,000 descriptors.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
  ASSERT_GE(limit.rlim_cur, 2100u) << "the system allows too few open files for this test";
  StartHost();
  WriteFile("small.txt", "tiny");
  std::vector<std::unique_ptr<HttpClient>> clients;
  for (int i = 0; i < 1000; ++i) {
    clients.push_back(std::make_unique<HttpClient>(Port()));
    ASSERT_TRUE(clients.back()->Connected()) << i;
  }
  for (std::size_t i = 0; i < clients.size(); ++i) {
    std::string target = i % 2 ? "/files/small.txt" : "/RequestQX9/sync?size=4";
    ASSERT_TRUE(clients[i]->Send("GET " + target + " HTTP/1.1\r\nHost: t\r\n\r\n"));
  }
  int ok = 0;
  for (auto& c : clients) {
    auto r = c->Read();
    if (r && r->status == 200 && r->body.size() == 4) ++ok;
  }
  EXPECT_EQ(ok, 1000);
  ExpectResponsive();
}

TEST_F(RobustnessTest, ConnectionsBeyondTheCapGetServiceUnavailable) {
  options_.maxConnections = 3;
  StartHost();
  std::vector<std::unique_ptr<HttpClient>> held;
  for (int i = 0; i < 3; ++i) {
    held.push_back(std::make_unique<HttpClient>(Port()));
    ASSERT_TRUE(held.back()->Get("/RequestQX9/sync?size=1"));  // surely registered
  }
  HttpClient extra(Port());
  auto r = extra.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 503);
  held.clear();
}

TEST_F(RobustnessTest, StopLetsRequestsInFlightFinish) {
  StartHost();
  HttpClient busy(Port());
  busy.Send("GET /RequestQX9/wait HTTP/1.1\r\nHost: t\r\n\r\n");
  ASSERT_TRUE(hooks_.waitParked(1, 10000));
  HttpClient idle(Port());
  ASSERT_TRUE(idle.Get("/RequestQX9/sync?size=1"));

  std::thread stopper([this] { EXPECT_TRUE(host_.server->Stop()); });
  EXPECT_TRUE(idle.WaitClosed());  // idle connections go at once
  EXPECT_EQ(hooks_.Stats().terminateCalls, 0u);  // not while a request is running
  hooks_.releaseParked();
  auto r = busy.Read();
  stopper.join();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "released");
  EXPECT_EQ(r->Header("Connection"), "close");
  EXPECT_EQ(hooks_.Stats().terminateCalls, 1u);
}

}  // namespace
}  // namespace qx::test
