// Windows-1252 conversion, letter case, trimming, numbers, replacement, escaping of outside
// text and string lists.
#include <gtest/gtest.h>

#include "runtime/HtmlText.h"
#include "runtime/StringList.h"
#include "runtime/Strings.h"

using namespace qx;

TEST(Strings, AnsiAndUtf8RoundTrip) {
  std::string ansi = "L\xE1mpara \xF1o\xF1" "a \x80 \x93quoted\x94";
  std::string utf8 = AnsiToUtf8(ansi);
  EXPECT_EQ(utf8, "Lámpara ñoña € “quoted”");
  EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
  // ASCII passes through unchanged (the data layer hands such text on without converting).
  EXPECT_TRUE(IsAscii("Bench request 7"));
  EXPECT_FALSE(IsAscii(ansi));
  EXPECT_FALSE(IsAscii(utf8));
  EXPECT_EQ(AnsiToUtf8("Bench"), "Bench");
  EXPECT_EQ(Utf8ToAnsi("Room 4 \xC3\xB1"), "Room 4 \xF1");
}

TEST(Strings, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\xE2\x82"), "a??");           // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?");          // CJK, not in the code page
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80x"), "?x");    // outside the BMP
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");             // overlong lead byte
}

TEST(Strings, UnassignedBytesSurviveARoundTrip) {
  std::string ansi = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(ansi)), ansi);
}

TEST(Strings, LetterCase) {
  EXPECT_EQ(UpperCase("abc\xE1"), "ABC\xE1");
  EXPECT_EQ(AnsiUpperCase("abc\xE1\xF1\x9C\xFF"), "ABC\xC1\xD1\x8C\x9F");
  EXPECT_EQ(AnsiLowerCase("ABC\xC1\xD7"), "abc\xE1\xD7");
  EXPECT_TRUE(SameText("Req\xC1", "rEq\xE1"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(FindText("Hello World", "WORLD"), 6u);
  EXPECT_TRUE(StartsText("microsoft-iis", "Microsoft-IIS/10.0"));
  EXPECT_TRUE(EndsText(".HTML", "index.html"));
}

TEST(Strings, TrimAndNumbers) {
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
  EXPECT_EQ(StrToIntDef(" 42 ", 0), 42);
  EXPECT_EQ(StrToIntDef("-7", 0), -7);
  EXPECT_EQ(StrToIntDef("$1F", 0), 31);
  EXPECT_EQ(StrToIntDef("12a", -1), -1);
  EXPECT_EQ(StrToIntDef("", -1), -1);
  EXPECT_EQ(StrToIntDef("99999999999", -1), -1);
  EXPECT_EQ(StrToInt64Def("99999999999", -1), 99999999999);
}

TEST(Strings, Replace) {
  EXPECT_EQ(StringReplace("a\"b\"c", "\"", "&#34"), "a&#34b&#34c");
  EXPECT_EQ(StringReplace("x../FILES/y", "../files/", "/base/files/", rfReplaceAll | rfIgnoreCase),
            "x/base/files/y");
  EXPECT_EQ(StringReplace("aaa", "a", "b", rfNone), "baa");
}

// Outside text in error pages: the five markup characters become references, bytes of the
// code page stay as they are.
TEST(Strings, HtmlTextWritesOutsideTextAsText) {
  EXPECT_EQ(HtmlText("<a href='x'>\"T&C\"</a> \xE1\r\n"),
            "&lt;a href=&#39;x&#39;&gt;&quot;T&amp;C&quot;&lt;/a&gt; \xE1\r\n");
}

TEST(StringList, NameValueAccess) {
  TStringList list;
  list.Add("IW_SessionID_=abc");
  list.Add("plain line");
  list.Add("Empty=");
  list.Add("a=b=c");
  EXPECT_EQ(list.Values("iw_sessionid_"), "abc");
  EXPECT_EQ(list.IndexOfName("EMPTY"), 2);
  EXPECT_EQ(list.Values("Empty"), "");
  EXPECT_EQ(list.Values("a"), "b=c");
  EXPECT_EQ(list.Values("plain line"), "");
  list.SetValue("a", "z");
  EXPECT_EQ(list[3], "a=z");
  list.SetValue("new", "1");
  EXPECT_EQ(list.Count(), 5);
  list.SetValue("new", "");
  EXPECT_EQ(list.IndexOfName("new"), -1);
}

TEST(StringList, TextSplitsOnEveryLineEnd) {
  TStringList list;
  list.SetText("one\r\ntwo\rthree\nfour\r\n");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[2], "three");
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  list.SetText("a\r\n\r\nb");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "");
}
