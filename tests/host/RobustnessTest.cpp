// Bad, oversized, slow, vanishing and very many clients: each gets a clear HTTP error or a
// closed connection, nothing leaks, and the host keeps answering.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "HostFixture.h"
#include "support/Eventually.h"

namespace qx::test {
namespace {

class RobustnessTest : public HostFixture {
 protected:
  // Bytes that arrived on the server's established connections and that it has not read yet
  // (the kernel's receive queues, from /proc/net/tcp).
  std::uint64_t UnreadByServer() {
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the column names
    std::uint64_t unread = 0;
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues;
      fields >> slot >> local >> remote >> state >> queues;
      if (state != "01" || std::stoul(local.substr(local.find(':') + 1), nullptr, 16) != Port())
        continue;
      unread += std::stoull(queues.substr(queues.find(':') + 1), nullptr, 16);
    }
    return unread;
  }

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
  ExpectRefused("GET ftp://elsewhere/ HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET http://user@elsewhere/ HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET http:///RequestQX9/sync HTTP/1.1\r\nHost: t\r\n\r\n", 400);
  ExpectRefused("GET http://h/files/../x HTTP/1.1\r\nHost: t\r\n\r\n", 400);
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

// Posts whose head and part of the body (more than the pre-read part) came, and then nothing:
// more of them than there are workers, and yet a page is answered while they are all still
// open; each is served whole once the rest of its body comes.
TEST_F(RobustnessTest, StalledPostsHoldNoWorker) {
  StartHost();
  // A body kept in memory, and one large enough to go to a temporary file.
  const std::string small = Pattern(100000), large = Pattern(700000, 5);
  const std::size_t sent = 60000;
  std::vector<std::unique_ptr<HttpClient>> stalled;
  for (unsigned i = 0; i < 2 * options_.workers + 1; ++i) {
    const std::string& body = i % 2 ? large : small;
    stalled.push_back(std::make_unique<HttpClient>(Port()));
    ASSERT_TRUE(stalled.back()->Send("POST /RequestQX9/body HTTP/1.1\r\nHost: t\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n" +
                                     body.substr(0, sent)));
  }
  // Everything sent has been taken: the host is waiting for the rest of each body (and not,
  // as the requests queued behind busy workers would, leaving it unread).
  EXPECT_TRUE(Eventually([&] {
    return host_.server->RequestsInFlight() == stalled.size() && UnreadByServer() == 0;
  }));

  HttpClient page(Port());
  auto r = page.Get("/RequestQX9/sync?size=3");
  ASSERT_TRUE(r) << "no worker answered";
  EXPECT_EQ(r->body, "aho");
  for (auto& c : stalled) {
    EXPECT_EQ(c->ReadAll(0), "");
    EXPECT_FALSE(c->WaitClosed(0)) << "a stalled post was dropped";
  }

  for (std::size_t i = 0; i < stalled.size(); ++i) {
    const std::string& body = i % 2 ? large : small;
    ASSERT_TRUE(stalled[i]->Send(body.substr(sent)));
    r = stalled[i]->Read();
    ASSERT_TRUE(r) << i;
    EXPECT_EQ(r->body, "length=" + std::to_string(body.size()) + " hash=" + Hash(body) +
                           " preread=49152 total=" + std::to_string(body.size()));
  }
  EXPECT_EQ(hooks_.Stats().readFailures, 0u);
}

TEST_F(RobustnessTest, ClientLeavingMidBodyNeverReachesTheLibrary) {
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
  // The library never saw a half body; the stop in TearDown checks that both requests ended.
  EXPECT_EQ(hooks_.Stats().readFailures, 0u);
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
