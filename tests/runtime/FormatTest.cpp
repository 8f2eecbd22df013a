// Format placeholders: plain, indexed, width and precision, and the failures.
#include <gtest/gtest.h>

#include "runtime/Exceptions.h"
#include "runtime/Format.h"

using namespace qx;

TEST(Format, PlainPlaceholders) {
  EXPECT_EQ(Format("Error decoding URL style (%%XX) encoded string at position %d", {7}),
            "Error decoding URL style (%XX) encoded string at position 7");
  EXPECT_EQ(Format("User %S was not found", {"Ana"}), "User Ana was not found");
  EXPECT_EQ(Format("in (%D,%D)", {1, 2}), "in (1,2)");
  EXPECT_EQ(Format("%s%s", {"", "x"}), "x");
}

TEST(Format, IndexedArgumentsContinueAfterTheIndex) {
  EXPECT_EQ(Format("<p>%0:s\r\n<p><i>%1:s</i>", {"msg", "/path"}), "<p>msg\r\n<p><i>/path</i>");
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
}

TEST(Format, WidthPrecisionAndNumbers) {
  EXPECT_EQ(Format("[%5d]", {42}), "[   42]");
  EXPECT_EQ(Format("[%-5s]", {"ab"}), "[ab   ]");
  EXPECT_EQ(Format("%.3d", {7}), "007");
  EXPECT_EQ(Format("%.2s", {"abc"}), "ab");
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%.1f", {2.25}), "2.2");
  EXPECT_EQ(Format("%f", {1.5}), "1.50");
  EXPECT_EQ(Format("%n", {1234567.0}), "1,234,567.00");
  EXPECT_EQ(Format("%d", {-15}), "-15");
}

TEST(Format, MismatchedOrMissingArgumentsFail) {
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {3}), EConvertError);
  EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
  EXPECT_THROW(Format("50%", {}), EConvertError);
  try {
    Format("%q", {1});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%q' invalid or incompatible with argument");
    EXPECT_STREQ(e.ClassName(), "EConvertError");
  }
}
