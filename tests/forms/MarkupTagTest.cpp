// The tag writer: attribute lines, closing modes, two-space indentation of child tags,
// preformatted tags, raw text and binary elements, and failures while writing children.
#include "forms/MarkupTag.h"

#include <gtest/gtest.h>

#include "forms/TextHelpers.h"

namespace qx {
namespace {

TEST(MarkupTag, NameIsLowerCaseAndAttributesAreWrittenAsGiven) {
  TIWHTMLTag tag("INPUT", ctNever);
  EXPECT_EQ(tag.Tag(), "input");
  tag.AddStringParam("TYPE", "HIDDEN");
  tag.AddStringParam("VALUE", "");  // empty values are left out
  tag.AddIntegerParam("SIZE", -1);
  tag.AddBoolParam("READONLY", false);
  tag.Add("CHECKED");
  tag.Add("OnClick=alert(\"x\")");  // the value is not escaped
  EXPECT_EQ(tag.Text(), "<input TYPE=\"HIDDEN\" SIZE=\"-1\" READONLY=\"false\" CHECKED OnClick=\"alert(\"x\")\">");
}

TEST(MarkupTag, ValueKeepsEverythingAfterTheFirstEqualsSign) {
  TIWHTMLTag tag("a");
  tag.Add("href=x.html?a=1&b=2");
  EXPECT_EQ(tag.Text(), "<a href=\"x.html?a=1&b=2\"></a>");
  EXPECT_EQ(tag.Param("HREF"), "x.html?a=1&b=2");
}

TEST(MarkupTag, ColourAttributesSkipNoColour) {
  TIWHTMLTag tag("body", ctNever);
  tag.AddColor("BGCOLOR", clNone);
  tag.AddColor("Text", clRed);
  tag.AddColor("Link", clTransparent);
  EXPECT_EQ(tag.Text(), "<body Text=\"#FF0000\" Link=\"transparent\">");
}

TEST(MarkupTag, ClosingModes) {
  EXPECT_EQ(TIWHTMLTag("span", ctAuto).Text(), "<span></span>");
  EXPECT_EQ(TIWHTMLTag("br", ctNever).Text(), "<br>");
  EXPECT_EQ(TIWHTMLTag("td", ctAlways).Text(), "<td></td>");
  EXPECT_EQ(TIWHTMLTag("img", ctSelfClose).Text(), "<img/>");
  // A tag without a name writes only its children; "always" still closes it.
  TIWHTMLTag anonymous("", ctAuto);
  anonymous.AddText("x");
  EXPECT_EQ(anonymous.Text(), "x");
  EXPECT_EQ(TIWHTMLTag("", ctAlways).Text(), "</>");
}

TEST(MarkupTag, ChildTagsStartOnANewLineIndentedByTwoSpacesAtEveryDepth) {
  TIWHTMLTag table("TABLE");
  TIWMarkupLanguageTag& row = table.AddTag("TR");
  row.AddTag("TD").AddText("a");
  row.AddTag("TD").AddText("b");
  EXPECT_EQ(row.ParentElement(), &table);
  EXPECT_EQ(table.Text(),
            "<table>\r\n  <tr>\r\n  <td>a</td>\r\n  <td>b</td>\r\n</tr>\r\n</table>");
}

TEST(MarkupTag, TextAndBinaryChildrenAreWrittenAsTheyAre) {
  TIWHTMLTag div("div");
  div.AddText("one ");
  div.AddBinary("<b>two</b>");
  EXPECT_EQ(div.Text(), "<div>one <b>two</b></div>");
  // A text child followed by a tag: only the tag gets the line break.
  div.AddTag("br", ctNever);
  EXPECT_EQ(div.Text(), "<div>one <b>two</b>\r\n  <br>\r\n</div>");

  // Spliced markup is written as its text would be: its tags in place, with their own children
  // indented as ever, and no line break after the last of them on their account.
  TIWHTMLTag group("FORM");
  auto input = TIWHTMLTag::Create("INPUT", ctNever);
  input->AddStringParam("NAME", "E");
  const std::string inputText = input->Text();
  group.AddSpliced(std::move(input));
  auto markup = std::make_unique<TIWSplicedElement>();
  auto select = TIWHTMLTag::Create("SELECT");
  select->AddTag("OPTION").AddText("a");
  markup->Add(std::move(select));
  markup->Add(std::make_unique<TIWTextElement>("text"));
  group.AddSpliced(std::move(markup));
  EXPECT_EQ(group.Text(), "<form>" + inputText + "<select>\r\n  <option>a</option>\r\n</select>text</form>");
}

TEST(MarkupTag, PreformattedTagsAddNoLineBreaks) {
  TIWHTMLTag pre("PRE");
  pre.SetPreformatted(true);
  pre.AddTag("B").AddText("x");
  pre.AddText(" y");
  EXPECT_EQ(pre.Text(), "<pre><b>x</b> y</pre>");
}

TEST(MarkupTag, SetParamReplacesKeepingTheFirstSpellingAndRemoveParamDeletes) {
  TIWHTMLTag tag("div");
  tag.AddStringParam("style", "a");
  tag.SetParam("STYLE", "b");
  tag.SetParam("ID", "X");
  EXPECT_TRUE(tag.HasParam("id"));
  EXPECT_EQ(tag.Text(), "<div style=\"b\" ID=\"X\"></div>");
  tag.RemoveParam("Style");
  EXPECT_EQ(tag.Text(), "<div ID=\"X\"></div>");
  EXPECT_EQ(tag.Param("missing"), "");
}

TEST(MarkupTag, XmlTagsAddXmlChildren) {
  TIWXMLTag response("response");
  TIWMarkupLanguageTag& update = response.AddTag("update", ctAlways);
  EXPECT_NE(dynamic_cast<TIWXMLTag*>(&update), nullptr);
  EXPECT_EQ(response.Text(), "<response>\r\n  <update></update>\r\n</response>");
}

// A child tag whose writing fails, as a spliced stream might.
class TFailingTag : public TIWMarkupLanguageTag {
 public:
  TFailingTag() : TIWMarkupLanguageTag("failing") {}
  void Render(TPageText&) const override { throw std::runtime_error("disk gone"); }

 protected:
  std::unique_ptr<TIWMarkupLanguageTag> NewTag(std::string_view tag, TIWClosingTag closing) const override {
    return TIWHTMLTag::Create(tag, closing);
  }
};

TEST(MarkupTag, AFailureWhileWritingChildrenNamesTheTagWhoseChildFailed) {
  TIWHTMLTag body("BODY");
  TIWMarkupLanguageTag& form = body.AddTag("FORM");
  form.AddTag("INPUT", ctNever);
  form.AddTag(std::make_unique<TFailingTag>());
  try {
    body.Text();
    FAIL() << "the failure must propagate";
  } catch (const EIWTagRenderError& e) {
    EXPECT_STREQ(e.what(), "Tag: form");
    EXPECT_STREQ(e.ClassName(), "EIWTagRenderError");
  }
}

}  // namespace
}  // namespace qx
