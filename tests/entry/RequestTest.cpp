// Request variables read through the connection block: the index table, typed variables,
// headers by name, the variable buffer's limit, body reads and URL mapping.
#include <gtest/gtest.h>

#include "entry/ISAPIRequest.h"
#include "runtime/DateTime.h"
#include "runtime/Exceptions.h"
#include "support/InMemoryConnection.h"

namespace qx {
namespace {

using test::InMemoryConnection;

TEST(RequestVariables, EachIndexReadsItsSource) {
  InMemoryConnection c;
  c.SetMethod("POST").SetQueryString("q=1").SetPathInfo("/EXEC").SetPathTranslated("/srv/EXEC");
  c.SetContentType("text/plain").SetBody("body!", 3);
  const std::pair<const char*, int> headers[] = {
      {"Cache-Control", rvCacheControl}, {"Date", rvDate},
      {"Accept", rvAccept},              {"From", rvFrom},
      {"Referer", rvReferer},            {"User-Agent", rvUserAgent},
      {"Content-Encoding", rvContentEncoding}, {"Content-Version", rvContentVersion},
      {"Derived-From", rvDerivedFrom},   {"Expires", rvExpires},
      {"Title", rvTitle},                {"Connection", rvConnection},
      {"Cookie", rvCookie},              {"Authorization", rvAuthorization},
      {"If-Modified-Since", rvIfModifiedSince},
  };
  for (const auto& [name, index] : headers) c.SetHeader(name, std::string("v-") + name);
  c.SetVariable("REMOTE_HOST", "client.example");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.GetStringVariable(rvMethod), "POST");
  EXPECT_EQ(request.GetStringVariable(rvProtocolVersion), "HTTP/1.1");
  EXPECT_EQ(request.GetStringVariable(rvURL), "/RequestQX9");
  EXPECT_EQ(request.GetStringVariable(rvQuery), "q=1");
  EXPECT_EQ(request.GetStringVariable(rvPathInfo), "/EXEC");
  EXPECT_EQ(request.GetStringVariable(rvPathTranslated), "/srv/EXEC");
  EXPECT_EQ(request.GetStringVariable(rvHost), "127.0.0.1:8081");
  EXPECT_EQ(request.GetStringVariable(rvContentType), "text/plain");
  EXPECT_EQ(request.GetStringVariable(rvContentLength), "5");
  EXPECT_EQ(request.GetStringVariable(rvRemoteAddr), "127.0.0.1");
  EXPECT_EQ(request.GetStringVariable(rvRemoteHost), "client.example");
  EXPECT_EQ(request.GetStringVariable(rvScriptName), "/RequestQX9");
  EXPECT_EQ(request.GetStringVariable(rvServerPort), "8081");
  EXPECT_EQ(request.GetStringVariable(rvContent), "bod");
  for (const auto& [name, index] : headers)
    EXPECT_EQ(request.GetStringVariable(index), std::string("v-") + name) << name;
  EXPECT_EQ(request.GetStringVariable(29), "");
  EXPECT_EQ(request.GetStringVariable(-1), "");
}

TEST(RequestVariables, MethodKindIsDecidedIgnoringCase) {
  const std::pair<const char*, TMethodType> cases[] = {
      {"get", TMethodType::mtGet},   {"PUT", TMethodType::mtPut},
      {"Post", TMethodType::mtPost}, {"HEAD", TMethodType::mtHead},
      {"DELETE", TMethodType::mtAny}, {"", TMethodType::mtAny}};
  for (const auto& [method, kind] : cases) {
    InMemoryConnection c;
    c.SetMethod(method);
    TISAPIRequest request(*c.Block());
    EXPECT_EQ(request.MethodType(), kind) << method;
  }
}

TEST(RequestVariables, IntegersAreMinusOneWhenEmptyAndFailWhenMalformed) {
  InMemoryConnection c;
  c.RemoveVariable("CONTENT_LENGTH").SetVariable("SERVER_PORT", "");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.ContentLength(), -1);
  EXPECT_EQ(request.ServerPort(), -1);
  c.SetVariable("SERVER_PORT", " 8443 ").SetVariable("CONTENT_LENGTH", "12x");
  EXPECT_EQ(request.ServerPort(), 8443);
  try {
    request.ContentLength();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12x' is not a valid integer value");
  }
}

TEST(RequestVariables, DatesAreParsedAndMinusOneWhenEmptyOrInvalid) {
  InMemoryConnection c;
  c.SetHeader("If-Modified-Since", "Wed, 09 Dec 2026 05:38:57 GMT");
  c.SetHeader("Expires", "next tuesday");
  TISAPIRequest request(*c.Block());
  EXPECT_NEAR(request.IfModifiedSince(),
              EncodeDate(2026, 12, 9) + EncodeTime(5, 38, 57, 0), 1e-9);
  EXPECT_EQ(request.Expires(), -1.0);
  EXPECT_EQ(request.Date(), -1.0);
}

TEST(RequestVariables, HeaderByNameTriesThePlainNameThenTheHttpPrefix) {
  InMemoryConnection c;
  c.SetHeader("X-Forwarded-For", "10.1.2.3").SetVariable("HTTPS", "on");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.GetFieldByName("HTTP_X_FORWARDED_FOR"), "10.1.2.3");
  EXPECT_EQ(request.GetFieldByName("X_FORWARDED_FOR"), "10.1.2.3");
  EXPECT_EQ(request.GetFieldByName("HTTPS"), "on");
  EXPECT_EQ(request.GetFieldByName("CLIENT_IP"), "");
}

TEST(RequestVariables, ValuesLongerThan4095BytesReadAsEmpty) {
  InMemoryConnection c;
  c.SetHeader("User-Agent", std::string(4095, 'a'));
  c.SetHeader("Referer", std::string(4096, 'r'));
  // A first attempt that is too long must not make the second one overrun the buffer.
  c.SetVariable("LONG", std::string(9000, 'l')).SetVariable("HTTP_LONG", "short");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.UserAgent().size(), 4095u);
  EXPECT_EQ(request.Referer(), "");
  EXPECT_EQ(request.GetFieldByName("LONG"), "short");
}

TEST(RequestVariables, ReadClientAndReadStringTakeFurtherBodyBytes) {
  InMemoryConnection c;
  c.SetMethod("POST").SetBody("0123456789", 2, 3);
  TISAPIRequest request(*c.Block());
  char buffer[8];
  EXPECT_EQ(request.ReadClient(buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 3), "234");
  EXPECT_EQ(request.ReadString(10), "567");
  EXPECT_EQ(request.ReadString(10), "89");
  EXPECT_EQ(request.ReadString(10), "");
}

TEST(RequestVariables, TranslateURIMapsThroughTheServerOrGivesEmpty) {
  InMemoryConnection c;
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.TranslateURI("/files/a.gif"), "");
  c.SetUrlMapper([](std::string url) -> std::optional<std::string> {
    if (url == "/files/a.gif") return "/srv/Files/a.gif";
    return std::nullopt;
  });
  EXPECT_EQ(request.TranslateURI("/files/a.gif"), "/srv/Files/a.gif");
  EXPECT_EQ(request.TranslateURI("/other"), "");
  c.SetUrlMapper([](std::string) -> std::optional<std::string> { return std::string(2000, 'p'); });
  EXPECT_EQ(request.TranslateURI("/x"), "");
}

}  // namespace
}  // namespace qx
