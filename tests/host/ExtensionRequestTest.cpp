// The library's side of the host over real sockets: server variables, the address-claim
// filter, reads, synchronous and asynchronous writes, the support requests, and how each
// kind of reply is delimited.
#include <gtest/gtest.h>

#include <string>

#include "HostFixture.h"
#include "host/ServerVariables.h"

namespace qx::test {
namespace {

class LibraryTest : public HostFixture {};

TEST_F(LibraryTest, ServerVariablesDescribeTheRequest) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/vars?SERVER_SOFTWARE,SERVER_PROTOCOL,URL,SCRIPT_NAME,PATH_INFO,"
                 "QUERY_STRING,REMOTE_ADDR,REMOTE_HOST,SERVER_NAME,SERVER_PORT,HTTPS,"
                 "CONTENT_LENGTH,CONTENT_TYPE,HTTP_USER_AGENT,HTTP_X_SOME_THING,HTTP_COOKIE,"
                 "NO_SUCH,HTTP_ABSENT,PATH_TRANSLATED,ALL_HTTP",
                 "User-Agent: tester/1.0\r\nX-Some-Thing: one\r\nX-Some-Thing: two\r\n"
                 "Cookie: a=1\r\nCookie: b=2\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  const std::string& b = r->body;
  EXPECT_NE(b.find("SERVER_SOFTWARE=" + std::string(host::kServerSoftware) + "\n"),
            std::string::npos)
      << b;
  EXPECT_NE(b.find("SERVER_PROTOCOL=HTTP/1.1\n"), std::string::npos);
  EXPECT_NE(b.find("URL=/RequestQX9/vars\n"), std::string::npos);
  EXPECT_NE(b.find("SCRIPT_NAME=/RequestQX9\n"), std::string::npos);
  EXPECT_NE(b.find("PATH_INFO=/vars\n"), std::string::npos);
  EXPECT_NE(b.find("QUERY_STRING=SERVER_SOFTWARE,SERVER_PROTOCOL,"), std::string::npos);
  EXPECT_NE(b.find("REMOTE_ADDR=127.0.0.1\n"), std::string::npos);
  EXPECT_NE(b.find("REMOTE_HOST=127.0.0.1\n"), std::string::npos);
  EXPECT_NE(b.find("SERVER_NAME=test\n"), std::string::npos);
  EXPECT_NE(b.find("SERVER_PORT=" + std::to_string(Port()) + "\n"), std::string::npos);
  EXPECT_NE(b.find("HTTPS=off\n"), std::string::npos);
  EXPECT_NE(b.find("CONTENT_LENGTH=0\n"), std::string::npos);
  EXPECT_NE(b.find("CONTENT_TYPE=\n"), std::string::npos);
  EXPECT_NE(b.find("HTTP_USER_AGENT=tester/1.0\n"), std::string::npos);
  EXPECT_NE(b.find("HTTP_X_SOME_THING=one, two\n"), std::string::npos);
  EXPECT_NE(b.find("HTTP_COOKIE=a=1; b=2\n"), std::string::npos);
  EXPECT_NE(b.find("NO_SUCH!\n"), std::string::npos);
  EXPECT_NE(b.find("HTTP_ABSENT!\n"), std::string::npos);
  // Paths outside /files/ map into the library's own folder.
  EXPECT_NE(b.find("PATH_TRANSLATED=" + ExtractFilePath(QX_TEST_EXTENSION) + "vars\n"),
            std::string::npos);
  EXPECT_NE(b.find("ALL_HTTP=HTTP_HOST:test\nHTTP_USER_AGENT:tester/1.0\n"), std::string::npos);
}

TEST_F(LibraryTest, PathInfoIsDecodedAndTheMountMatchesInAnyCase) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/requestqx9/vars%3FPATH_INFO?PATH_INFO,URL");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "unknown test path /vars?PATH_INFO");
  r = c.Get("/RequestQX9?PATH_INFO");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "unknown test path ");
}

// Absolute targets, which every HTTP/1.1 server must accept: the path and query are the
// target's, and its authority stands for the Host header, whatever that said.
TEST_F(LibraryTest, AbsoluteTargetsAreServedWithTheirAuthorityAsHost) {
  WriteFile("x.txt", "file x");
  StartHost();
  HttpClient c(Port());
  c.Send("GET HTTP://Service.Example:8081/RequestQX9/vars?SERVER_NAME,URL,HTTP_HOST,ALL_HTTP "
         "HTTP/1.1\r\nHost: other.example\r\nUser-Agent: u\r\n\r\n");
  auto r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body,
            "SERVER_NAME=Service.Example\nURL=/RequestQX9/vars\nHTTP_HOST=Service.Example:8081\n"
            "ALL_HTTP=HTTP_HOST:Service.Example:8081\nHTTP_USER_AGENT:u\n\n");
  c.Send("GET https://h/files/x.txt HTTP/1.1\r\n\r\n");
  r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "file x");
  c.Send("GET http://h HTTP/1.1\r\nHost: h\r\n\r\n");  // no path: the site's root
  r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 302);
  EXPECT_EQ(r->Header("Location"), "/RequestQX9");
}

TEST_F(LibraryTest, AddressClaimsPassOnlyFromTrustedProxies) {
  StartHost();
  const std::string vars = "/RequestQX9/vars?HTTP_X_FORWARDED_FOR,HTTP_CLIENT_IP,REMOTE_ADDR";
  const std::string claims = "X-Forwarded-For: 10.1.2.3\r\nClient-IP: 10.9.9.9\r\n";

  HttpClient trusted(Port());  // 127.0.0.1 is trusted by default
  auto r = trusted.Get(vars, claims);
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("HTTP_X_FORWARDED_FOR=10.1.2.3\n"), std::string::npos) << r->body;
  EXPECT_NE(r->body.find("HTTP_CLIENT_IP=10.9.9.9\n"), std::string::npos);

  HttpClient stranger(Port(), "127.0.0.2");
  ASSERT_TRUE(stranger.Connected());
  r = stranger.Get(vars, claims + "X_Forwarded_For: 10.6.6.6\r\nClient_IP: 10.7.7.7\r\n");
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("HTTP_X_FORWARDED_FOR!\n"), std::string::npos) << r->body;
  EXPECT_NE(r->body.find("HTTP_CLIENT_IP!\n"), std::string::npos);
  EXPECT_NE(r->body.find("REMOTE_ADDR=127.0.0.2\n"), std::string::npos);
  EXPECT_EQ(r->body.find("10."), std::string::npos);
}

TEST_F(LibraryTest, AnAddedTrustedProxyMayPassAddressClaims) {
  options_.trustedProxies.push_back("127.0.0.2");
  StartHost();
  HttpClient proxy(Port(), "127.0.0.2");
  auto r = proxy.Get("/RequestQX9/vars?HTTP_X_FORWARDED_FOR", "X-Forwarded-For: 10.1.2.3\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "HTTP_X_FORWARDED_FOR=10.1.2.3\n");
}

TEST_F(LibraryTest, SynchronousReplyKeepsTheConnection) {
  StartHost();
  HttpClient c(Port());
  for (int i = 0; i < 3; ++i) {
    auto r = c.Get("/RequestQX9/sync?size=5000");
    ASSERT_TRUE(r) << i;
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->Header("Content-Length"), "5000");
    EXPECT_EQ(r->Header("Content-Type"), "text/plain");
    EXPECT_TRUE(r->Header("Date"));
    EXPECT_EQ(r->body, Pattern(5000));
  }
}

TEST_F(LibraryTest, ReplyWithoutLengthIsChunkedForHttp11AndClosedForHttp10) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/pieces?count=4&size=1000");
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->chunked);
  EXPECT_EQ(r->body, Pattern(4000));
  r = c.Get("/RequestQX9/sync?size=3");  // the connection is still usable
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "aho");

  HttpClient old(Port());
  ASSERT_TRUE(old.Send("GET /RequestQX9/pieces?count=2&size=10 HTTP/1.0\r\n\r\n"));
  r = old.Read();
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->chunked);
  EXPECT_FALSE(r->Header("Content-Length"));
  EXPECT_EQ(r->body, Pattern(20));
}

TEST_F(LibraryTest, EmptyReplyWithoutLengthGetsZeroLength) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/empty");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Header("Content-Length"), "0");
  EXPECT_EQ(r->Header("X-Empty"), "yes");
  EXPECT_FALSE(r->Header("Transfer-Encoding"));
  EXPECT_TRUE(c.Get("/RequestQX9/sync?size=1"));
}

TEST_F(LibraryTest, AsyncReplyInThreeBlocksArrivesWholeAndEndsAtDoneWithSession) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/async?total=307200&block=131072");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->Header("Content-Length"), "307200");
  EXPECT_EQ(r->body.size(), 307200u);
  EXPECT_TRUE(r->body == Pattern(307200));
  ASSERT_TRUE(hooks_.waitDone(1, 10000));
  auto s = hooks_.Stats();
  EXPECT_EQ(s.asyncStarted, 3u);
  EXPECT_EQ(s.completions, 3u);
  EXPECT_EQ(s.completionErrors, 0u);
  EXPECT_EQ(s.completionsOffIo, 0u) << "completion routines must run on the I/O threads";
  // The pending request is over: the same connection serves the next one.
  r = c.Get("/RequestQX9/sync?size=10");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, Pattern(10));
}

TEST_F(LibraryTest, AsyncReplyWithoutLengthIsChunked) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/async?total=200000&block=65536&length=0");
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->chunked);
  EXPECT_TRUE(r->body == Pattern(200000));
}

TEST_F(LibraryTest, PendingRequestEndedFromAnotherThread) {
  StartHost();
  HttpClient c(Port());
  for (int i = 0; i < 5; ++i) {
    auto r = c.Get("/RequestQX9/later");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->body, "from another thread");
  }
  EXPECT_TRUE(hooks_.waitDone(5, 10000));
}

TEST_F(LibraryTest, LargeBodyIsPrereadInPartAndReadThroughReadClient) {
  StartHost();
  std::string body = Pattern(1000000, 3);
  for (const char* expect : {"", "Expect: 100-continue\r\n"}) {
    HttpClient c(Port());
    ASSERT_TRUE(c.Send("POST /RequestQX9/body?chunk=5000 HTTP/1.1\r\nHost: t\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\n" + expect +
                       "Content-Type: application/octet-stream\r\n\r\n"));
    if (*expect) {
      // The body goes only after the server asked for it.
      ASSERT_EQ(c.ReadBytes(25), "HTTP/1.1 100 Continue\r\n\r\n");
    }
    ASSERT_TRUE(c.Send(body));
    auto r = c.Read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->body, "length=1000000 hash=" + Hash(body) + " preread=49152 total=1000000");
  }
}

TEST_F(LibraryTest, SmallBodyIsPrereadWhole) {
  StartHost();
  HttpClient c(Port());
  ASSERT_TRUE(c.Send("POST /RequestQX9/body HTTP/1.1\r\nHost: t\r\nContent-Length: 11\r\n\r\n"
                     "hello world"));
  auto r = c.Read();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "length=11 hash=" + Hash("hello world") + " preread=11 total=11");
}

TEST_F(LibraryTest, RedirectSendsLocation) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/redirect?/files/SessionEnd.htm");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 302);
  EXPECT_EQ(r->Header("Location"), "/files/SessionEnd.htm");
  EXPECT_TRUE(c.Get("/RequestQX9/sync?size=1"));
}

TEST_F(LibraryTest, MalformedHeaderBlockBecomesServerError) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/badheader");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 500);
  EXPECT_TRUE(c.Get("/RequestQX9/sync?size=1"));
}

TEST_F(LibraryTest, LineBreaksInTheStatusTextCannotAddHeaders) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/status?500+Bad+thing~^Set-Cookie:+x=1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 500);
  EXPECT_EQ(r->reason, "Bad thing  Set-Cookie: x=1");
  EXPECT_FALSE(r->Header("Set-Cookie"));
  EXPECT_EQ(r->body, "ok");
  r = c.Get("/RequestQX9/status?99+Too+low");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 500);  // refused: the host answers for the library
}

TEST_F(LibraryTest, BodyWithoutHeaderGetsTheBlockStatus) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/nohead");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 202);
  EXPECT_EQ(r->body, "body only");
}

TEST_F(LibraryTest, ErrorResultWithNothingSentGetsServerError) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/error");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 500);
  EXPECT_TRUE(c.Get("/RequestQX9/sync?size=1"));
}

TEST_F(LibraryTest, ReplyShorterOrLongerThanAnnouncedClosesTheConnection) {
  StartHost();
  HttpClient shorter(Port());
  ASSERT_TRUE(shorter.Send("GET /RequestQX9/length?say=10&write=4 HTTP/1.1\r\nHost: t\r\n\r\n"));
  std::string all = shorter.ReadAll();
  EXPECT_NE(all.find("Content-Length: 10\r\n"), std::string::npos);
  EXPECT_EQ(all.substr(all.size() - 4), Pattern(4));

  HttpClient longer(Port());
  auto r = longer.Get("/RequestQX9/length?say=3&write=10");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, Pattern(3));
  EXPECT_TRUE(longer.WaitClosed());
}

TEST_F(LibraryTest, MapUrlToPathStaysInsideTheFolders) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/map?/files/pic.gif");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, dir_.path() + "Files/pic.gif");
  r = c.Get("/RequestQX9/map?/files/../../etc/passwd");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "refused");
}

TEST_F(LibraryTest, CallsMadeTheWrongWayFailCleanly) {
  StartHost();
  HttpClient c(Port());
  auto r = c.Get("/RequestQX9/misuse");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "ok");
}

TEST_F(LibraryTest, HeadRequestGetsNoBody) {
  StartHost();
  HttpClient c(Port());
  ASSERT_TRUE(c.Send("HEAD /RequestQX9/sync?size=100 HTTP/1.1\r\nHost: t\r\n\r\n"));
  auto r = c.Read(true);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Header("Content-Length"), "100");
  r = c.Get("/RequestQX9/sync?size=2");  // no stray body bytes came before this reply
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, Pattern(2));
}

TEST_F(LibraryTest, LibraryIsVersionedOnceAndTerminatedAtStop) {
  StartHost();
  EXPECT_EQ(hooks_.Stats().versionCalls, 0u);  // reset after loading
  EXPECT_EQ(host_.extension->Description(), "host test");
  EXPECT_TRUE(host_.server->Stop());
  EXPECT_EQ(hooks_.Stats().terminateCalls, 1u);
  host_.extension.reset();
  EXPECT_EQ(hooks_.Stats().terminateCalls, 1u);
}

}  // namespace
}  // namespace qx::test
