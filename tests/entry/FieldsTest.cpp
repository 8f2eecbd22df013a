// UrlFields, BodyFields (plain bodies) and CookieValues of a request read through the
// connection block: splitting, quoting, decoding and the failures of bad escapes.
#include <gtest/gtest.h>

#include "entry/EntryExceptions.h"
#include "entry/FieldSplitter.h"
#include "entry/ISAPIRequest.h"
#include "support/InMemoryConnection.h"

namespace qx {
namespace {

using test::InMemoryConnection;

std::vector<std::string> Split(std::string_view text, std::string_view separators = "&",
                               std::string_view skip = "") {
  TStringList lines;
  ExtractFields(text, separators, skip, lines);
  return lines.Lines();
}

using Lines = std::vector<std::string>;

TEST(ExtractFields, SplitsOnSeparatorsAndLineEnds) {
  EXPECT_EQ(Split("a=1&b=x+y%21"), (Lines{"a=1", "b=x y!"}));
  EXPECT_EQ(Split("a=1\r\nb=2\nc=3"), (Lines{"a=1", "b=2", "c=3"}));
  EXPECT_EQ(Split(""), Lines{});
}

TEST(ExtractFields, TwoSeparatorsGiveAnEmptyLineButATrailingOneDoesNot) {
  EXPECT_EQ(Split("a=1&&b=2"), (Lines{"a=1", "", "b=2"}));
  EXPECT_EQ(Split("&a"), (Lines{"", "a"}));
  EXPECT_EQ(Split("a=1&"), (Lines{"a=1"}));
  EXPECT_EQ(Split("a=1&\r\n"), (Lines{"a=1"}));
}

TEST(ExtractFields, LineEndsBeforeAnItemAreSkipped) {
  EXPECT_EQ(Split("\r\n\r\na=1"), (Lines{"a=1"}));
  // Blanks are kept unless the caller skips them.
  EXPECT_EQ(Split(" a=1& b"), (Lines{" a=1", " b"}));
  EXPECT_EQ(Split(" a=1; b", ";", " "), (Lines{"a=1", "b"}));
}

TEST(ExtractFields, QuotedStretchesDoNotSplit) {
  EXPECT_EQ(Split("a=\"x&y\"&b=2"), (Lines{"a=\"x&y\"", "b=2"}));
  EXPECT_EQ(Split("a=\"x\r\ny\"&b"), (Lines{"a=\"x\r\ny\"", "b"}));
  // An unclosed quote runs to the end of the text.
  EXPECT_EQ(Split("a=\"x&y"), (Lines{"a=\"x&y"}));
}

TEST(ExtractFields, ALeadingQuoteIsDroppedWithItsClosingQuote) {
  EXPECT_EQ(Split("\"x&y\"&b"), (Lines{"x&y", "b"}));
  EXPECT_EQ(Split("\"a=b\"c\"d\""), (Lines{"a=bc\"d\""}));
  EXPECT_EQ(Split("\"open&b"), (Lines{"open&b"}));
}

TEST(ExtractFields, EachItemIsDecodedWithItsOwnPositions) {
  EXPECT_EQ(Split("a=%41&b=%26"), (Lines{"a=A", "b=&"}));
  try {
    Split("first=1&b=%zz");
    FAIL();
  } catch (const EWebRequestError& e) {
    EXPECT_EQ(e.Message(), "Invalid URL encoded character (%zz) at position 3");
  }
}

TEST(RequestFields, QueryStringBecomesUrlFields) {
  InMemoryConnection c;
  c.SetQueryString("a=1&b=x+y%21");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.UrlFields().Lines(), (Lines{"a=1", "b=x y!"}));
  EXPECT_EQ(request.UrlFields().Values("B"), "x y!");
}

// The body too: it is read once, so a later use must not parse what is left of it (the
// pre-read part alone, here "a=1&b", which would pass for a whole post).
TEST(RequestFields, BadEscapeFailsEveryTimeTheListIsAskedFor) {
  InMemoryConnection c;
  c.SetQueryString("a=1&b=%4");
  c.PostForm("a=1&b=%4").SetBody("a=1&b=%4", 5, 2);
  TISAPIRequest request(*c.Block());
  for (int attempt = 0; attempt < 2; ++attempt) {
    for (auto fields : {&TWebRequest::UrlFields, &TWebRequest::BodyFields}) {
      try {
        (request.*fields)();
        FAIL() << "attempt " << attempt;
      } catch (const EWebRequestError& e) {
        EXPECT_EQ(e.Message(), "Error decoding URL style (%XX) encoded string at position 3");
      }
    }
  }
  EXPECT_THROW(request.Files(), EWebRequestError);
}

TEST(RequestFields, CookiesSplitOnSemicolonsAndCommasSkippingBlanks) {
  InMemoryConnection c;
  c.SetHeader("Cookie", "a=1; b=hello+world, c=%3D;d=\"q;r\"");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.CookieValues().Lines(), (Lines{"a=1", "b=hello world", "c==", "d=\"q;r\""}));
}

TEST(RequestFields, PlainBodyUsesPreReadBytesThenReadsTheRest) {
  InMemoryConnection c;
  const std::string body = "IW_SessionID_=abc&IW_TrackID_=3&edt=caf%E9";
  c.PostForm(body).SetBody(body, 10, 7);
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.BodyFields().Lines(),
            (Lines{"IW_SessionID_=abc", "IW_TrackID_=3", "edt=caf\xe9"}));
  // Every byte beyond the pre-read ones came from read-client calls of at most 7 bytes.
  EXPECT_EQ(c.BytesRead(), body.size() - 10);
  EXPECT_GE(c.ReadCalls(), static_cast<int>((body.size() - 10 + 6) / 7));
}

TEST(RequestFields, PlainBodyStopsWhenTheClientStopsEarly) {
  InMemoryConnection c;
  c.SetMethod("POST").SetBody("a=1&b=2", 3).SetContentLength(100);
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.BodyFields().Lines(), (Lines{"a=1", "b=2"}));
}

TEST(RequestFields, BodyIsNotReadForAGetWithoutContent) {
  InMemoryConnection c;
  c.RemoveVariable("CONTENT_LENGTH");
  TISAPIRequest request(*c.Block());
  EXPECT_TRUE(request.BodyFields().Empty());
  EXPECT_TRUE(request.Files().empty());
  EXPECT_EQ(c.ReadCalls(), 0);
}

TEST(RequestFields, PostWithAnotherContentTypeUsesThePlainParser) {
  InMemoryConnection c;
  c.SetMethod("post").SetContentType("text/plain").SetBody("x=1");
  TISAPIRequest request(*c.Block());
  EXPECT_EQ(request.BodyFields().Lines(), (Lines{"x=1"}));
}

}  // namespace
}  // namespace qx
