// The host's pure parts: the library's reply header check, request targets and routes,
// server variables and the header filter, options, and the access-log line.
#include <gtest/gtest.h>

#include <vector>

#include "host/AccessLog.h"
#include "host/ExtensionReply.h"
#include "host/Options.h"
#include "host/Routing.h"
#include "host/ServerVariables.h"
#include "runtime/Files.h"
#include "support/TempDir.h"

namespace qx::host {
namespace {

TEST(ExtensionReplyTest, SplitsFieldsFromFraming) {
  auto r = ParseExtensionReply("302 Moved Temporarily",
                               "Location: /x\r\nContent-Length: 12\r\nConnection: close\r\n"
                               "Transfer-Encoding: chunked\r\nSet-Cookie: a=b\r\n\r\n",
                               200);
  EXPECT_EQ(r.status, 302u);
  EXPECT_EQ(r.reason, "Moved Temporarily");
  EXPECT_EQ(r.contentLength, 12u);
  EXPECT_EQ(r.fields, "Location: /x\r\nSet-Cookie: a=b\r\n");
  EXPECT_FALSE(r.hasDate);
}

TEST(ExtensionReplyTest, AcceptsBareLineFeedsNoClosingLineAndAFallbackStatus) {
  auto r = ParseExtensionReply("", "Date: x\nX-A:  spaced  ", 404);
  EXPECT_EQ(r.status, 404u);
  EXPECT_EQ(r.fields, "Date: x\r\nX-A: spaced\r\n");
  EXPECT_TRUE(r.hasDate);
  EXPECT_FALSE(r.contentLength);
  EXPECT_EQ(ParseExtensionReply("200", "", 0).reason, "");
}

TEST(ExtensionReplyTest, RefusesWhatCannotBeSent) {
  for (const char* status : {"OK", "20 OK", "2000 OK", "199 Early", "600 Late", "200OK"}) {
    EXPECT_THROW(ParseExtensionReply(status, "", 200), EBadReplyHeader) << status;
  }
  EXPECT_THROW(ParseExtensionReply("", "", 0), EBadReplyHeader);
  for (const char* block : {"No colon\r\n\r\n", ": empty name\r\n", "Bad Name: x\r\n",
                            "X: a\r\n continued\r\n", "X: a\x01b\r\n", "X: a\r\n\r\nbody",
                            "Content-Length: -1\r\n", "Content-Length: 1 2\r\n",
                            "Content-Length: 1\r\nContent-Length: 2\r\n"}) {
    EXPECT_THROW(ParseExtensionReply("200 OK", block, 200), EBadReplyHeader) << block;
  }
  // The same length twice is harmless.
  EXPECT_EQ(ParseExtensionReply("200 OK", "Content-Length: 5\r\nContent-Length: 5\r\n", 200)
                .contentLength, 5u);
}

TEST(ExtensionReplyTest, ControlCharactersInTheReasonBecomeBlanks) {
  auto r = ParseExtensionReply("500 Broken\r\nSet-Cookie: x", "", 200);
  EXPECT_EQ(r.reason, "Broken  Set-Cookie: x");
}

TEST(RoutingTest, TargetsAreSplitAndDecoded) {
  auto t = ParseTarget("/RequestQX9/EXEC/1/ab%20c?x=%41&y#frag");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->path, "/RequestQX9/EXEC/1/ab c");
  EXPECT_EQ(t->query, "x=%41&y");
  for (const char* bad : {"", "*", "http://h/x", "/a%2", "/a%zz", "/a%00", "/a/../b", "/..",
                          "/a/./b", "/a/%2E%2E/b", "/a/.%2e"}) {
    EXPECT_FALSE(ParseTarget(bad)) << bad;
  }
  EXPECT_TRUE(ParseTarget("/a..b/.c/"));

  t = ParseRequestTarget("Http://host.example:81/RequestQX9/a%20b?q=1#f");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->authority, "host.example:81");
  EXPECT_EQ(t->path, "/RequestQX9/a b");
  EXPECT_EQ(t->query, "q=1");
  t = ParseRequestTarget("https://[::1]?x");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->authority, "[::1]");
  EXPECT_EQ(t->path, "/");
  EXPECT_EQ(t->query, "x");
  t = ParseRequestTarget("/plain?y");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->authority, "");
  EXPECT_EQ(t->path, "/plain");
  for (const char* bad : {"http://", "http:///x", "http://u@h/x", "http://h/../x", "ftp://h/x",
                          "http:/h/x", "*"}) {
    EXPECT_FALSE(ParseRequestTarget(bad)) << bad;
  }
}

TEST(RoutingTest, Routes) {
  std::string rest;
  EXPECT_EQ(RouteOf("/", "/RequestQX9", rest), Route::kRedirectToMount);
  EXPECT_EQ(RouteOf("/files/a/b.gif", "/RequestQX9", rest), Route::kFiles);
  EXPECT_EQ(rest, "a/b.gif");
  EXPECT_EQ(RouteOf("/Files/x", "/RequestQX9", rest), Route::kFiles);
  EXPECT_EQ(RouteOf("/RequestQX9", "/RequestQX9", rest), Route::kExtension);
  EXPECT_EQ(rest, "");
  EXPECT_EQ(RouteOf("/requestqx9/EXEC", "/RequestQX9", rest), Route::kExtension);
  EXPECT_EQ(rest, "/EXEC");
  EXPECT_EQ(RouteOf("/RequestQX90", "/RequestQX9", rest), Route::kNotFound);
  EXPECT_EQ(RouteOf("/files", "/RequestQX9", rest), Route::kNotFound);
  // The site's icon is the library's: its path becomes the library's path info.
  EXPECT_EQ(RouteOf("/Favicon.ico", "/RequestQX9", rest), Route::kExtension);
  EXPECT_EQ(rest, "/Favicon.ico");
  EXPECT_EQ(RouteOf("/favicon.ico/x", "/RequestQX9", rest), Route::kNotFound);
}

TEST(ServerVariablesTest, HeadersAreJoinedAndFiltered) {
  std::vector<std::pair<std::string, std::string>> received = {
      {"Accept", "a"},           {"X-Forwarded-For", "1.1.1.1"}, {"accept", "b"},
      {"Client-IP", "2.2.2.2"},  {"X_Forwarded_For", "3.3.3.3"}, {"Cookie", "x=1"},
      {"COOKIE", "y=2"}};
  auto untrusted = ExposedHeaders(received, false);
  ASSERT_EQ(untrusted.size(), 2u);
  EXPECT_EQ(untrusted[0].varName, "HTTP_ACCEPT");
  EXPECT_EQ(untrusted[0].value, "a, b");
  EXPECT_EQ(untrusted[1].value, "x=1; y=2");
  auto trusted = ExposedHeaders(received, true);
  ASSERT_EQ(trusted.size(), 4u);
  EXPECT_EQ(trusted[1].varName, "HTTP_X_FORWARDED_FOR");
  EXPECT_EQ(trusted[1].value, "1.1.1.1");

  RequestInfo info;
  info.headers = trusted;
  info.contentLength = 42;
  EXPECT_EQ(ServerVariable(info, "http_client_ip"), "2.2.2.2");

  // From a proxy, only the address the proxy itself appended, or the one it sent alone.
  struct Claim {
    std::vector<std::pair<std::string, std::string>> received;
    std::optional<std::string> forTrusted;
  };
  for (const Claim& c : std::vector<Claim>{
           {{{"X-Forwarded-For", "10.9.9.9, 192.0.2.7"}}, "192.0.2.7"},
           {{{"X-Forwarded-For", "10.9.9.9"}, {"x-forwarded-for", " 192.0.2.7 "}}, "192.0.2.7"},
           {{{"X-Real-IP", "192.0.2.8"}}, "192.0.2.8"},
           {{{"X-Real-IP", "10.9.9.9"}, {"X-Forwarded-For", "192.0.2.7"}}, "192.0.2.7"},
           {{{"Accept", "a"}}, std::nullopt}}) {
    RequestInfo proxied;
    proxied.headers = ExposedHeaders(c.received, true);
    EXPECT_EQ(ServerVariable(proxied, "HTTP_X_FORWARDED_FOR"), c.forTrusted);
    proxied.headers = ExposedHeaders(c.received, false);
    EXPECT_FALSE(ServerVariable(proxied, "HTTP_X_FORWARDED_FOR"));
    EXPECT_FALSE(ServerVariable(proxied, "HTTP_X_REAL_IP"));
  }
  EXPECT_EQ(ServerVariable(info, "CONTENT_LENGTH"), "42");
  EXPECT_EQ(ServerVariable(info, "HTTPS"), "off");
  EXPECT_FALSE(ServerVariable(info, "HTTP_REFERER"));
  EXPECT_FALSE(ServerVariable(info, "GATEWAY_NONSENSE"));
  EXPECT_EQ(ServerVariable(info, "ALL_HTTP"),
            "HTTP_ACCEPT:a, b\nHTTP_X_FORWARDED_FOR:1.1.1.1\nHTTP_CLIENT_IP:2.2.2.2\n"
            "HTTP_COOKIE:x=1; y=2\n");
}

std::vector<const char*> Args(std::initializer_list<const char*> list) {
  std::vector<const char*> args{"requestqx-host"};
  args.insert(args.end(), list);
  return args;
}

HostOptions Parse(std::initializer_list<const char*> list) {
  auto args = Args(list);
  return ParseOptions(static_cast<int>(args.size()), args.data());
}

TEST(OptionsTest, DefaultsComeFromBesideTheExtension) {
  test::TempDir dir;
  std::string extension = dir.path() + "RequestQX9.so";
  auto o = Parse({"--extension", extension.c_str()});
  EXPECT_EQ(o.port, 8081);
  EXPECT_EQ(o.filesRoot, dir.path() + "Files");
  EXPECT_EQ(o.mount, "/RequestQX9");
  EXPECT_EQ(o.bindAddress, "0.0.0.0");
  ASSERT_TRUE(WriteFileBytes(dir.path() + "ZozarodUruzede.ini", "[WEBSERVICE]\r\nTCPIPPort=8099\r\n"));
  o = Parse({"--extension", extension.c_str()});
  EXPECT_EQ(o.port, 8099);
  o = Parse({"--extension", extension.c_str(), "--port=0"});
  EXPECT_EQ(o.port, 0);
  o = Parse({});
  EXPECT_EQ(ExtractFileName(o.extensionPath), "RequestQX9.so");
}

TEST(OptionsTest, EveryOptionIsRead) {
  auto o = Parse({"--bind", "127.0.0.1", "--port", "9000", "--mount", "/App", "--root", "/srv/f",
                  "--workers", "3", "--io-threads=5", "--trusted-proxy", "10.0.0.1",
                  "--trusted-proxy", "::2", "--max-connections", "7", "--max-request-line",
                  "2000", "--max-header-bytes", "3000", "--max-body-bytes", "4000",
                  "--preread-bytes", "100", "--read-timeout", "2", "--write-timeout", "3",
                  "--stop-timeout", "4"});
  EXPECT_EQ(o.bindAddress, "127.0.0.1");
  EXPECT_EQ(o.port, 9000);
  EXPECT_EQ(o.mount, "/App");
  EXPECT_EQ(o.filesRoot, "/srv/f");
  EXPECT_EQ(o.workers, 3u);
  EXPECT_EQ(o.ioThreads, 5u);
  EXPECT_EQ(o.trustedProxies, (std::vector<std::string>{"127.0.0.1", "::1", "10.0.0.1", "::2"}));
  EXPECT_EQ(o.maxConnections, 7u);
  EXPECT_EQ(o.maxRequestLine, 2000u);
  EXPECT_EQ(o.maxHeaderBytes, 3000u);
  EXPECT_EQ(o.maxBodyBytes, 4000u);
  EXPECT_EQ(o.prereadBytes, 100u);
  EXPECT_EQ(o.readTimeoutSeconds, 2u);
  EXPECT_EQ(o.writeTimeoutSeconds, 3u);
  EXPECT_EQ(o.stopTimeoutSeconds, 4u);
  EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(OptionsTest, BadOptionsNameTheProblem) {
  auto fails = [](std::initializer_list<const char*> list, const std::string& part) {
    try {
      Parse(list);
      ADD_FAILURE() << "accepted: " << part;
    } catch (const EOptionError& e) {
      EXPECT_NE(e.Message().find(part), std::string::npos) << e.Message();
    }
  };
  fails({"--port", "70000"}, "--port");
  fails({"--port", "12a"}, "'12a'");
  fails({"--port"}, "needs a value");
  fails({"--workers", "0"}, "--workers");
  fails({"--bind", "localhost:1"}, "not an IP address");
  fails({"--trusted-proxy", "proxy.example"}, "--trusted-proxy");
  fails({"--mount", "RequestQX9"}, "--mount");
  fails({"--mount", "/x/"}, "--mount");
  fails({"--frobnicate", "1"}, "unknown option --frobnicate");
  fails({"stray"}, "unexpected argument stray");
  EXPECT_NE(HelpText().find("--trusted-proxy"), std::string::npos);
}

TEST(AccessLogTest, LineHoldsEveryField) {
  std::string line = AccessLine({"10.0.0.9", "GET", "/files/a b\x01", 200, 1234, 56});
  ASSERT_GT(line.size(), 24u);
  EXPECT_EQ(line[4], '-');
  EXPECT_EQ(line.substr(23), " 10.0.0.9 GET /files/a?b? 200 1234 56");
}

}  // namespace
}  // namespace qx::host
