// The response: reason table, variables and defaults, the header block's order, cookies and
// dates, and writing a reply through a server without asynchronous writes.
#include <gtest/gtest.h>

#include "entry/ISAPIRequest.h"
#include "entry/ReasonTable.h"
#include "entry/ResponseHeaders.h"
#include "runtime/DateTime.h"
#include "support/InMemoryConnection.h"

namespace qx {
namespace {

using test::InMemoryConnection;

TEST(ReasonTable, KnownCodesHaveTheirTextsAndOthersNone) {
  const std::pair<int, const char*> cases[] = {
      {100, "Continue"}, {101, "Switching Protocols"}, {200, "OK"}, {201, "Created"},
      {202, "Accepted"}, {203, "Non-Authoritative Information"}, {204, "No Content"},
      {205, "Reset Content"}, {206, "Partial Content"}, {300, "Multiple Choices"},
      {301, "Moved Permanently"}, {302, "Moved Temporarily"}, {303, "See Other"},
      {304, "Not Modified"}, {305, "Use Proxy"}, {400, "Bad Request"}, {401, "Unauthorized"},
      {402, "Payment Required"}, {403, "Forbidden"}, {404, "Not Found"},
      {405, "Method Not Allowed"}, {406, "None Acceptable"},
      {407, "Proxy Authentication Required"}, {408, "Request Timeout"}, {409, "Conflict"},
      {410, "Gone"}, {411, "Length Required"}, {412, "Unless True"},
      {500, "Internal Server Error"}, {501, "Not Implemented"}, {502, "Bad Gateway"},
      {503, "Service Unavailable"}, {504, "Gateway Timeout"}};
  for (const auto& [code, text] : cases) EXPECT_EQ(StatusString(code), text) << code;
  for (int code : {0, 199, 207, 307, 413, 418, 505, -1}) EXPECT_EQ(StatusString(code), "");
}

class Response : public ::testing::Test {
 protected:
  InMemoryConnection c_;
  TISAPIRequest request_{*c_.Block()};
  TISAPIResponse response_{request_};
};

TEST_F(Response, StartsWithItsDefaults) {
  EXPECT_EQ(response_.StatusCode(), 200);
  EXPECT_EQ(response_.ReasonString(), "OK");
  EXPECT_EQ(response_.ContentType(), "text/html");
  EXPECT_EQ(response_.Version(), "");  // the request has a protocol version
  EXPECT_EQ(response_.Date(), -1.0);
  EXPECT_EQ(response_.Expires(), -1.0);
  EXPECT_EQ(response_.LastModified(), -1.0);
  EXPECT_FALSE(response_.Sent());

  InMemoryConnection old;
  old.RemoveVariable("SERVER_PROTOCOL");
  TISAPIRequest oldRequest(*old.Block());
  TISAPIResponse oldResponse(oldRequest);
  EXPECT_EQ(oldResponse.Version(), "1.0");
}

TEST_F(Response, StatusCodeSetsTheReasonText) {
  response_.SetStatusCode(404);
  EXPECT_EQ(response_.ReasonString(), "Not Found");
  response_.SetStatusCode(299);
  EXPECT_EQ(response_.ReasonString(), "");
}

TEST_F(Response, VariablesByIndexMatchTheNamedOnes) {
  response_.SetStringVariable(rsLocation, "/there");
  response_.SetStringVariable(rsTitle, "T");
  response_.SetDateVariable(rdLastModified, 45000.5);
  response_.SetIntegerVariable(riContentLength, 77);
  EXPECT_EQ(response_.Location(), "/there");
  EXPECT_EQ(response_.Title(), "T");
  EXPECT_EQ(response_.LastModified(), 45000.5);
  EXPECT_EQ(response_.ContentLength(), 77);
  EXPECT_EQ(response_.GetStringVariable(12), "");
  EXPECT_EQ(response_.GetDateVariable(3), -1.0);
  EXPECT_THROW(response_.SetStringVariable(12, "x"), std::out_of_range);
}

TEST_F(Response, ContentSetsTheLengthUnlessAStreamIsSet) {
  response_.SetContent("hello");
  EXPECT_EQ(response_.ContentLength(), 5);
  response_.SetContentStream(std::make_unique<TMemoryStream>(std::string(300, 's')));
  EXPECT_EQ(response_.ContentLength(), 300);
  response_.SetContent("longer text");
  EXPECT_EQ(response_.ContentLength(), 300);
  response_.SetContentStream(nullptr);
  EXPECT_EQ(response_.ContentLength(), 11);
}

TEST_F(Response, HeaderBlockKeepsItsFixedOrder) {
  response_.SetLocation("/next");
  response_.SetAllow("GET, POST");
  response_.Cookies().push_back({"a", "1", "", "", -1.0, false});
  response_.Cookies().push_back({"b", "2", "", "", -1.0, false});
  response_.SetDerivedFrom("d");
  response_.SetExpires(EncodeDate(2026, 12, 9) + EncodeTime(5, 38, 57, 0));
  response_.SetLastModified(EncodeDate(2024, 2, 29) + EncodeTime(23, 0, 1, 0));
  response_.SetTitle("t");
  response_.SetWWWAuthenticate("Basic");
  response_.SetRealm("RequestQX9");
  response_.ExtraHeaders().Add("Pragma=no-cache");
  response_.ExtraHeaders().Add("X-Other=1");
  response_.SetContentVersion("cv");
  response_.SetContentEncoding("identity");
  response_.SetContent("body");
  EXPECT_EQ(BuildHeaderBlock(response_),
            "Location: /next\r\n"
            "Allow: GET, POST\r\n"
            "Set-Cookie: a=1\r\n"
            "Set-Cookie: b=2\r\n"
            "Derived-From: d\r\n"
            "Expires: Wed, 09 Dec 2026 05:38:57 GMT\r\n"
            "Last-Modified: Thu, 29 Feb 2024 23:00:01 GMT\r\n"
            "Title: t\r\n"
            "WWW-Authenticate: Basic Realm=RequestQX9\r\n"
            "Pragma: no-cache\r\n"
            "X-Other: 1\r\n"
            "Content-Version: cv\r\n"
            "Content-Encoding: identity\r\n"
            "Content-Type: text/html\r\n"
            "Content-Length: 4\r\n"
            "\r\n");
}

TEST_F(Response, EmptyValuesAndUnsetDatesLeaveTheirLinesOut) {
  response_.SetExpires(0);
  response_.SetRealm("ignored without a scheme");
  EXPECT_EQ(BuildHeaderBlock(response_), "Content-Type: text/html\r\n\r\n");
  response_.SetContentStream(std::make_unique<TMemoryStream>());
  EXPECT_EQ(BuildHeaderBlock(response_), "Content-Type: text/html\r\nContent-Length: 0\r\n\r\n");
}

TEST_F(Response, LineBreaksInsideValuesCannotStartHeaders) {
  response_.SetLocation("http://x/\r\nSet-Cookie: evil=1");
  response_.ExtraHeaders().Add("X-A=1\nInjected: 2");
  EXPECT_EQ(BuildHeaderBlock(response_),
            "Location: http://x/Set-Cookie: evil=1\r\nX-A: 1Injected: 2\r\n"
            "Content-Type: text/html\r\n\r\n");
}

TEST(Cookie, HeaderValueEncodesAndAddsItsParts) {
  TCookie plain{"a b", "x=y;z", "", "", -1.0, false};
  EXPECT_EQ(plain.HeaderValue(), "a+b=x%3dy%3bz");
  TCookie full{"IW", "v", "example.org", "/RequestQX9",
               EncodeDate(2026, 1, 4) + EncodeTime(7, 8, 9, 0), true};
  EXPECT_EQ(full.HeaderValue(),
            "IW=v; domain=example.org; path=/RequestQX9; "
            "expires=Sun, 04 Jan 2026 07:08:09 GMT; secure");
  TCookie notSecure{"n", "", "", "/", 0.0, false};
  EXPECT_EQ(notSecure.HeaderValue(), "n=; path=/; expires=Sat, 30 Dec 1899 00:00:00 GMT");
}

TEST_F(Response, StatusTextUsesCodeAndReasonElse200OK) {
  EXPECT_EQ(ResponseStatusText(response_), "200 OK");
  response_.SetStatusCode(302);
  response_.SetReasonString("Redirecting");
  EXPECT_EQ(ResponseStatusText(response_), "302 Redirecting");
  response_.SetStatusCode(299);
  EXPECT_EQ(ResponseStatusText(response_), "200 OK");
  response_.SetStatusCode(0);
  response_.SetReasonString("odd");
  EXPECT_EQ(ResponseStatusText(response_), "200 OK");
}

TEST_F(Response, SendResponseWritesHeadersThenTheTextInOneWrite) {
  response_.SetStatusCode(404);
  response_.SetContent("<p>missing</p>");
  response_.SendResponse();
  EXPECT_TRUE(response_.Sent());
  EXPECT_EQ(c_.StatusCode(), 404u);
  EXPECT_EQ(c_.StatusText(), "404 Not Found");
  EXPECT_EQ(c_.Headers(), "Content-Type: text/html\r\nContent-Length: 14\r\n\r\n");
  EXPECT_EQ(c_.Body(), "<p>missing</p>");
  EXPECT_EQ(c_.Events(), (std::vector<std::string>{"headers", "write 14"}));
}

TEST_F(Response, StreamsAreWrittenIn8192ByteBlocksFromTheirStart) {
  std::string bytes(20000, 'z');
  bytes[8192] = 'A';
  auto stream = std::make_unique<TMemoryStream>(bytes);
  stream->SetPosition(500);
  response_.SetContentStream(std::move(stream));
  response_.SendResponse();
  EXPECT_EQ(c_.Body(), bytes);
  EXPECT_EQ(c_.Events(),
            (std::vector<std::string>{"headers", "write 8192", "write 8192", "write 3616"}));
  EXPECT_EQ(response_.ContentStream(), nullptr);  // released once sent
  EXPECT_EQ(c_.HeaderValue("Content-Length"), "20000");
}

TEST(ResponseWithoutProtocol, GetsTheBodyOnly) {
  InMemoryConnection c;
  c.RemoveVariable("SERVER_PROTOCOL");
  TISAPIRequest request(*c.Block());
  TISAPIResponse response(request);
  response.SetContent("plain");
  response.SendResponse();
  EXPECT_FALSE(c.HeadersSent());
  EXPECT_EQ(c.Body(), "plain");
}

TEST_F(Response, SendRedirectAsksTheServerAndMarksTheResponseSent) {
  response_.SendRedirect("/files/SessionEnd.htm");
  EXPECT_EQ(c_.RedirectUrl(), "/files/SessionEnd.htm");
  EXPECT_TRUE(response_.Sent());
}

}  // namespace
}  // namespace qx
