// Colour text, markup and script escaping, and the font CSS of each browser family.
#include "forms/TextHelpers.h"

#include <gtest/gtest.h>

#include "forms/Font.h"

namespace qx {
namespace {

TEST(ColorText, TransparentNoneAndRGBWithUpperCaseDigits) {
  EXPECT_EQ(ColorText(clTransparent), "transparent");
  EXPECT_EQ(ColorText(clNone), "");
  EXPECT_EQ(ColorText(clRed), "#FF0000");
  EXPECT_EQ(ColorText(RGBColor(0x0A, 0xbc, 0x01)), "#0ABC01");
  EXPECT_EQ(ColorText(clBlack), "#000000");
}

TEST(ColorText, SystemColoursThroughTheTableAndWebColoursAsTheirCSSKeywords) {
  EXPECT_EQ(ColorText(clBtnFace), "#D4D0C8");
  EXPECT_EQ(ColorText(clWindow), "#FFFFFF");
  EXPECT_EQ(ColorText(clWebAliceBlue), "#F0F8FF");
  EXPECT_EQ(ColorText(clWebMidnightBlue), "#191970");
  EXPECT_EQ(ColorText(clWebLightBlue), "#ADD8E6");
}

TEST(EscapeMarkup, QuotesAndAngleBracketsButNotTheAmpersand) {
  EXPECT_EQ(EscapeMarkup("a<b>\"c\" 'd' & e"), "a&lt;b&gt;&quot;c&quot; &#39;d&#39; & e");
  EXPECT_EQ(EscapeMarkup("x\r\ny"), "x\r\ny");
}

TEST(EscapeMarkup, LineBreaksAndSpacesOnRequest) {
  EXPECT_EQ(EscapeMarkup("a<b\nc", true), "a&lt;b<br>c");
  EXPECT_EQ(EscapeMarkup("one\r\ntwo\r\n", true), "one<br>two<br>");
  EXPECT_EQ(EscapeMarkup("a b", false, true), "a&nbsp;b");
  EXPECT_EQ(EscapeMarkup("a b\nc", true, true), "a&nbsp;b<br>c");
}

TEST(EscapeScript, ForAQuotedScriptString) {
  EXPECT_EQ(EscapeScript("Line one\r\nIt's \"x\" <b> \\"), "Line one\\nIt\\'s \\\"x\\\" \\<b\\> \\\\");
  EXPECT_EQ(EscapeScript(""), "");
  // A closing tag inside the text cannot end the script element it is written into.
  EXPECT_EQ(EscapeScript("a</script>/b"), "a\\<\\/script\\>/b");
}

TEST(EscapeApostrophes, WithoutSemicolon) {
  EXPECT_EQ(EscapeApostrophes("it's 'x'"), "it&#39s &#39x&#39");
}

TEST(FontCSS, InternetExplorerOrder) {
  TIWFont font;
  font.SetFontName("Arial");
  font.SetSize(14);
  font.SetStyle({fsBold, fsUnderline, fsStrikeOut});
  font.SetColor(clWhite);
  EXPECT_EQ(FontCSS(font, brIE),
            "font-family:Arial;font-weight:bold;font-style:normal;"
            "text-decoration: underline line-through;font-size:19px; color:#FFFFFF;");
}

TEST(FontCSS, OtherBrowsersOrderAndQuotedName) {
  TIWFont font;
  font.SetFontName("Arial");
  font.SetFontFamily("sans-serif");
  font.SetFontVariant("small-caps");
  font.SetStyle({fsItalic});
  for (TIWBrowser browser : {brNetscape7, brOpera, brSafari}) {
    EXPECT_EQ(FontCSS(font, browser),
              "font-style:italic;font-weight:normal;font-size:13px;font-family:'Arial';"
              "text-decoration: none;font-family:sans-serif;font-variant:small-caps;");
  }
}

TEST(FontCSS, SizesArePixelsAtNinetySixPerInchRounded) {
  TIWFont font;
  const std::pair<int, const char*> sizes[] = {{9, "12px"}, {10, "13px"}, {11, "15px"}, {16, "21px"}, {18, "24px"}};
  for (auto [points, pixels] : sizes) {
    font.SetSize(points);
    EXPECT_NE(FontCSS(font, brOpera).find(std::string("font-size:") + pixels + ";"), std::string::npos) << points;
  }
}

TEST(FontCSS, WindowTextAndNoColourWriteNoColourAndADisabledFontNothing) {
  TIWFont font;
  font.SetColor(clWindowText);
  EXPECT_EQ(FontCSS(font, brIE).find("color:"), std::string::npos);
  font.SetColor(clNone);
  EXPECT_EQ(FontCSS(font, brIE).find("color:"), std::string::npos);
  font.SetColor(clWebYellow);
  EXPECT_NE(FontCSS(font, brIE).find("color:#FFFF00;"), std::string::npos);
  font.SetEnabled(false);
  EXPECT_EQ(FontCSS(font, brIE), "");
}

TEST(Font, ChangesCallTheHookAndCopiesKeepTheirOwnHook) {
  int changes = 0;
  TIWFont font;
  font.SetOnChange([&] { ++changes; });
  font.SetSize(12);
  font.SetSize(12);  // no change, no call
  font.SetStyle({fsBold});
  EXPECT_EQ(changes, 2);
  TIWFont other;
  other.SetFontName("Verdana");
  font = other;
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(font.FontName(), "Verdana");
  other.SetSize(20);  // the copy's source has no hook of ours
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace qx
