// Percent-decoding of request items (with the positions its errors name) and the cookie
// encoder.
#include "entry/UrlEncoding.h"

#include <gtest/gtest.h>

#include "entry/EntryExceptions.h"

namespace qx {
namespace {

std::string DecodeError(std::string_view text) {
  try {
    HTTPDecode(text);
  } catch (const EWebRequestError& e) {
    return e.Message();
  }
  return "no error";
}

TEST(HTTPDecode, TurnsEscapesPlusAndDoublePercentIntoBytes) {
  EXPECT_EQ(HTTPDecode("x+y%21"), "x y!");
  EXPECT_EQ(HTTPDecode("100%%"), "100%");
  EXPECT_EQ(HTTPDecode("%%41"), "%41");
  EXPECT_EQ(HTTPDecode("%e9t%C9"), "\xe9t\xc9");
  EXPECT_EQ(HTTPDecode("%00z"), std::string("\0z", 2));
  EXPECT_EQ(HTTPDecode(""), "");
}

TEST(HTTPDecode, ShortEscapeFailsWithThePositionOfThePercentSign) {
  EXPECT_EQ(DecodeError("abc%4"), "Error decoding URL style (%XX) encoded string at position 4");
  EXPECT_EQ(DecodeError("%"), "Error decoding URL style (%XX) encoded string at position 1");
  EXPECT_EQ(DecodeError("ab%%%"), "Error decoding URL style (%XX) encoded string at position 5");
}

TEST(HTTPDecode, NonHexEscapeFailsNamingTheThreeCharacters) {
  EXPECT_EQ(DecodeError("a%zz"), "Invalid URL encoded character (%zz) at position 2");
  EXPECT_EQ(DecodeError("ok=%4g"), "Invalid URL encoded character (%4g) at position 4");
  EXPECT_EQ(DecodeError("%g1"), "Invalid URL encoded character (%g1) at position 1");
  EXPECT_EQ(DecodeError("% 1"), "Invalid URL encoded character (% 1) at position 1");
}

TEST(HTTPDecode, FailureClassIsNamed) {
  try {
    HTTPDecode("%");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "EWebRequestError");
  }
}

TEST(HTTPEncode, KeepsTheSafeSetAndEscapesEverythingElseInLowerCase) {
  EXPECT_EQ(HTTPEncode("AZaz09@!$'()*-._"), "AZaz09@!$'()*-._");
  EXPECT_EQ(HTTPEncode("a b"), "a+b");
  EXPECT_EQ(HTTPEncode("a=b;c,d"), "a%3db%3bc%2cd");
  EXPECT_EQ(HTTPEncode("\xe9\n"), "%e9%0a");
  EXPECT_EQ(HTTPDecode(HTTPEncode("x=1 & y=\xff%")), "x=1 & y=\xff%");
}

}  // namespace
}  // namespace qx
