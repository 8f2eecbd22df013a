// The text, rectangle, memo and check box: their markup in a rendered page, the values they
// take through the post, the events they fire and their partial-update elements.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/IWCheckBox.h"
#include "controls/IWMemo.h"
#include "controls/IWRectangle.h"
#include "controls/IWText.h"

namespace qx::test {
namespace {

constexpr char kIEFont[] = "font-weight:normal;font-style:normal;text-decoration: none;font-size:13px; ";

TEST_F(Controls, TextsAndRectanglesShowTheirContent) {
  TIWAppForm& form = NewForm();
  auto& text = AddControl<TIWText>(form, form, "txtInfo", 10, 20, 100, 50);
  text.SetLines(TStringList{"a <b> & 'c'", "d  e"});
  text.SetBGColor(clYellow);
  auto& rect = AddControl<TIWRectangle>(form, form, "rctTop", 0, 0, 472, 48);
  rect.SetText("<b>QX</b>");
  rect.SetAlignment(taCenter);
  rect.SetColor(clWebMidnightBlue);
  rect.BorderOptions().SetWidth(2);
  rect.BorderOptions().SetColor(clRed);
  std::string page = Render(form);
  EXPECT_NE(page.find("<div CLASS=\"TXTINFOCSS\" ID=\"TXTINFO\">a &lt;b&gt; & &#39;c&#39;<br>d  e<br></div>"),
            std::string::npos) << page;
  EXPECT_NE(page.find(".TXTINFOCSS {position:absolute;left:10px;top:20px;z-index:100;width:100px;height:50px;" +
                      std::string(kIEFont) + " background-color: #FFFF00;}"),
            std::string::npos);
  EXPECT_EQ(Between(page, "<table BGCOLOR", "</table>"),
            "<table BGCOLOR=\"#191970\" WIDTH=\"472\" HEIGHT=\"48\" BORDER=\"2\" BORDERCOLOR=\"#FF0000\" "
            "CELLPADDING=\"0\" CELLSPACING=\"0\" CLASS=\"RCTTOPCSS\" ID=\"RCTTOP\">\r\n  <tr>\r\n"
            "  <td ALIGN=\"center\" VALIGN=\"MIDDLE\"><b>QX</b></td>\r\n</tr>\r\n</table>");
  // Neither posts anything.
  EXPECT_EQ(SubmitForm(page).find("TXTINFO"), std::string::npos);
  EXPECT_EQ(SubmitForm(page).find("RCTTOP"), std::string::npos);

  text.SetWantReturns(false);
  text.SetConvertSpaces(true);
  rect.SetVAlign(vaBottom);
  page = Render(form);
  EXPECT_NE(page.find("ID=\"TXTINFO\">a&nbsp;&lt;b&gt;&nbsp;&&nbsp;&#39;c&#39;\r\nd&nbsp;&nbsp;e\r\n</div>"),
            std::string::npos);
  EXPECT_NE(page.find("<td ALIGN=\"center\" VALIGN=\"bottom\">"), std::string::npos);
  // Raw lines are markup: joined as they are, with line ends only when wanted.
  text.SetRawText(true);
  rect.SetText("");
  page = Render(form);
  EXPECT_NE(page.find("ID=\"TXTINFO\">a <b> & 'c'd  e</div>"), std::string::npos);
  EXPECT_NE(page.find("<tr>\r\n  <td></td>\r\n</tr>"), std::string::npos);
  text.SetWantReturns(true);
  EXPECT_NE(Render(form).find("ID=\"TXTINFO\">a <b> & 'c'\r\nd  e\r\n</div>"), std::string::npos);
  EXPECT_EQ(UpdateOf(text),
            "<control id=\"TXTINFO\" type=\"IWTEXT\">\r\n  <innerhtml><![CDATA[a <b> & 'c'\r\nd  e\r\n]]>"
            "</innerhtml>\r\n</control>");
}

TEST_F(Controls, AMemoRoundTripsItsTextThroughThePost) {
  TIWAppForm& form = NewForm();
  auto& memo = AddControl<TIWMemo>(form, form, "mmComments", 30, 184, 762, 65);
  memo.SetLines(TStringList{"a<b>", "c"});
  memo.SetBGColor(clWebAliceBlue);
  memo.SetVertScrollBar(false);
  memo.SetInvisibleBorder(true);
  memo.SetUseFrame(true);  // a memo never draws one
  memo.SetRequired(true);
  std::string page = Render(form);
  // Lines set by the program end with a line break.
  EXPECT_EQ(Between(page, "<textarea", "</textarea>"),
            "<textarea NAME=\"MMCOMMENTS\" CLASS=\"MMCOMMENTSCSS\" ID=\"MMCOMMENTS\">a&lt;b&gt;\r\nc\r\n</textarea>")
      << page;
  EXPECT_NE(page.find(".MMCOMMENTSCSS {position:absolute;left:30px;top:184px;z-index:100;width:762px;height:65px;" +
                      std::string(kIEFont) +
                      "background-color: #F0F8FF; overflow: visible;border-style: none;border-color: #000000}"),
            std::string::npos);
  EXPECT_NE(page.find("  if(MMCOMMENTSIWCL != null && MMCOMMENTSIWCL.value.length==0) {\r\n    ReleaseLock();\r\n"
                      "    window.alert(\"mmComments is a required field.\");"),
            std::string::npos);
  EXPECT_NE(SubmitForm(page).find("<input TYPE=\"HIDDEN\" NAME=\"MMCOMMENTS\">"), std::string::npos);

  // A text without a final line break comes back without one; one with it keeps it.
  Post(form, {"MMCOMMENTS=x\ny", "IW_ActionParam=p"});
  EXPECT_EQ(memo.Lines(), (TStringList{"x", "y"}));
  EXPECT_TRUE(memo.Changed());
  EXPECT_NE(Render(form).find("ID=\"MMCOMMENTS\">x\r\ny</textarea>"), std::string::npos);
  Post(form, {"MMCOMMENTS=x\r\n", "IW_ActionParam=p"});
  EXPECT_EQ(memo.Lines(), (TStringList{"x"}));
  EXPECT_NE(Render(form).find("ID=\"MMCOMMENTS\">x\r\n</textarea>"), std::string::npos);
  // A lone CR is no line end; a leading empty line survives the browser's dropping of the
  // first line break.
  Post(form, {"MMCOMMENTS=\r\nq\rr", "IW_ActionParam=p"});
  EXPECT_EQ(memo.Lines(), (TStringList{"", "qr"}));
  EXPECT_NE(Render(form).find("ID=\"MMCOMMENTS\">\r\n\r\nqr</textarea>"), std::string::npos);
  EXPECT_EQ(UpdateOf(memo),
            "<control id=\"MMCOMMENTS\" type=\"IWMEMO\">\r\n  <readonly><![CDATA[false]]></readonly>\r\n"
            "  <text><![CDATA[\r\nqr]]></text>\r\n</control>");

  // Not editable: read-only, no required check, and what the browser sends is ignored.
  memo.SetEditable(false);
  memo.SetEnabled(false);
  memo.SetHorizScrollBar(true);
  page = Render(form);
  EXPECT_NE(page.find("<textarea NAME=\"MMCOMMENTS\" READONLY DISABLED=\"true\" WRAP=\"OFF\" CLASS="),
            std::string::npos);
  EXPECT_EQ(page.find("is a required field"), std::string::npos);
  Post(form, {"MMCOMMENTS=changed", "IW_ActionParam=p"});
  EXPECT_EQ(memo.Lines(), (TStringList{"", "qr"}));
}

TEST_F(Controls, ACheckBoxPostsItsStateAndFiresOnChangeOnce) {
  TIWAppForm& form = NewForm();
  auto& box = AddControl<TIWCheckBox>(form, form, "cbUrgent", 30, 122, 123, 21);
  box.SetCaption("<b>It's</b> urgent");
  box.SetChecked(true);
  box.SetTabOrder(2);
  std::vector<std::string> log;
  box.SetOnChange([&](TObject*) { log.push_back(box.Checked() ? "change:on" : "change:off"); });
  std::string page = Render(form);
  EXPECT_EQ(Between(page, "<span ID=\"CBURGENT\"", "</span>\r\n</span>"),
            "<span ID=\"CBURGENT\" CLASS=\"CBURGENTCSS\" NAME=\"CBURGENT\">\r\n"
            "  <input TabIndex=\"3\" TYPE=\"CHECKBOX\" CHECKED NAME=\"CBURGENT_CHECKBOX\" ID=\"CBURGENT_CHECKBOX\">\r\n"
            "  <span ID=\"CBURGENT_CHKBCAPTION\" OnClick=\"checkBoxClick(event, 'CBURGENT');\"><b>It's</b> urgent"
            "</span>\r\n</span>")
      << page;
  EXPECT_NE(SubmitForm(page).find("<input TYPE=\"HIDDEN\" NAME=\"CBURGENT_CHECKBOX\">"), std::string::npos);
  EXPECT_EQ(page.find("CBURGENT_onclick"), std::string::npos);

  box.SetOnClick([&](TObject*) { log.push_back("click"); });
  EXPECT_NE(Render(form).find("function CBURGENT_onclick() {\r\nreturn SubmitClickConfirm('CBURGENT','', true, '');"),
            std::string::npos);
  // The box's value is applied before its action runs; the same state again fires nothing.
  Post(form, {"CBURGENT_CHECKBOX=off", "IW_Action=CBURGENT", "IW_ActionParam="});
  Post(form, {"CBURGENT_CHECKBOX=off", "IW_Action=CBURGENT", "IW_ActionParam="});
  EXPECT_EQ(log, (std::vector<std::string>{"change:off", "click", "click"}));
  EXPECT_FALSE(box.Checked());
  Post(form, {"CBURGENT_CHECKBOX=ON", "IW_ActionParam=p"});
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(box.Changed());
  EXPECT_EQ(UpdateOf(box), "<control id=\"CBURGENT\" type=\"IWCHECKBOX\">\r\n  <checked><![CDATA[true]]></checked>\r\n"
                           "  <caption><![CDATA[<b>It's</b> urgent]]></caption>\r\n</control>");

  // Not editable: a box that swallows clicks, a caption that toggles nothing, no post.
  box.SetEditable(false);
  box.SetEnabled(false);
  box.SetHasTabOrder(false);
  page = Render(form);
  EXPECT_EQ(Between(page, "<span ID=\"CBURGENT\"", "</span>\r\n</span>"),
            "<span ID=\"CBURGENT\" CLASS=\"CBURGENTCSS\" NAME=\"CBURGENT\">\r\n"
            "  <input DISABLED TYPE=\"CHECKBOX\" CHECKED OnClick=\"return false;\">\r\n"
            "  <span ID=\"CBURGENT_CHKBCAPTION\"><b>It's</b> urgent</span>\r\n</span>");
  EXPECT_EQ(page.find("CBURGENT_onclick"), std::string::npos);
  Post(form, {"CBURGENT_CHECKBOX=off", "IW_ActionParam=p"});
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(Controls, ACoolCheckBoxIsAPictureThatCarriesItsStateInAHiddenInput) {
  TIWAppForm& form = NewForm();
  auto& box = AddControl<TIWCheckBox>(form, form, "cbCool", 0, 0, 123, 21);
  box.SetStyle(TIWCheckBoxStyle::stCool);
  box.SetCaption("Cool");
  box.SetChecked(true);
  box.SetHasTabOrder(false);
  box.SetOnClick([](TObject*) {});
  std::string page = Render(form);
  EXPECT_EQ(Between(page, "<span ID=\"CBCOOL\"", "</span>\r\n</span>"),
            "<span ID=\"CBCOOL\" CLASS=\"CBCOOLCSS\" NAME=\"CBCOOL\">\r\n"
            "  <a HREF=\"#\" OnClick=\"CoolCheckBoxToggle('CBCOOL_CHECKBOX', document.images.CBCOOL_Image, true)\">\r\n"
            "  <img SRC=\"/RequestQX9/gfx/CoolCheckBox_True.gif\" NAME=\"CBCOOL_Image\" WIDTH=\"10\" HEIGHT=\"12\" "
            "BORDER=\"0\">\r\n</a>\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"CBCOOL_CHECKBOX\" ID=\"CBCOOL_CHECKBOX\" VALUE=\"On\">\r\n"
            "  <span ID=\"CBCOOL_CHKBCAPTION\">Cool</span>\r\n</span>")
      << page;
  EXPECT_NE(page.find("document.getElementById(\"CBCOOL_CHECKBOX\").value = \"On\";\r\n"
                      "document.images.CBCOOL_Image.src = \"/RequestQX9/gfx/CoolCheckBox_True.gif\";\r\n"),
            std::string::npos);
  // The toggle posts; no click handler of the box does.
  EXPECT_EQ(page.find("CBCOOL_onclick"), std::string::npos);
  Post(form, {"CBCOOL_CHECKBOX=Off", "IW_ActionParam=p"});
  EXPECT_FALSE(box.Checked());

  box.SetEditable(false);
  page = Render(form);
  EXPECT_EQ(Between(page, "<span ID=\"CBCOOL\"", "</span>\r\n</span>"),
            "<span ID=\"CBCOOL\" CLASS=\"CBCOOLCSS\" NAME=\"CBCOOL\">\r\n"
            "  <img SRC=\"/RequestQX9/gfx/CoolCheckBox_False.gif\" NAME=\"CBCOOL_Image\" WIDTH=\"10\" HEIGHT=\"12\" "
            "BORDER=\"0\">\r\n  <span ID=\"CBCOOL_CHKBCAPTION\">Cool</span>\r\n</span>");
  EXPECT_EQ(page.find("CBCOOL_Image.src"), std::string::npos);
}

}  // namespace
}  // namespace qx::test
