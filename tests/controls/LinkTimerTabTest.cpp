// The link, the timer and the tab control: their markup and scripts on full and partial
// pages, the posts they cause, the tab index they take, and their published properties.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/IWLink.h"
#include "controls/IWTabControl.h"
#include "controls/IWTimer.h"
#include "runtime/FormReader.h"

namespace qx::test {
namespace {

constexpr auto npos = std::string::npos;

TEST_F(Controls, ALinkPostsThePageAndIsLabelTextWhenItCannot) {
  TIWAppForm& form = NewForm(brIE);
  auto& link = AddControl<TIWLink>(form, form, "lnkLogout", 100, 5, 80, 17);
  link.SetCaption("Log <out>");
  std::vector<std::string> log;
  link.SetOnClick([&](TObject*) { log.push_back("click"); });
  link.SetConfirmation("Are you sure you want to log off and end the application?");
  std::string page = Render(form);
  EXPECT_NE(page.find("<a HREF=\"LNKLOGOUT\" CLASS=\"LNKLOGOUTCSS\" ID=\"LNKLOGOUT\">Log &lt;out&gt;</a>"), npos)
      << page;
  EXPECT_NE(page.find(".LNKLOGOUTCSS {position:absolute;left:100px;top:5px;z-index:100;width:80px;height:17px;"
                      "font-weight:normal;font-style:normal;text-decoration: underline;font-size:13px; }"),
            npos);
  EXPECT_NE(page.find("function LNKLOGOUT_onclick() {\r\nif (document.getElementById('LNKLOGOUT').href) "
                      "{SubmitClickConfirm('LNKLOGOUT','', false, 'Are you sure you want to log off and end the "
                      "application?');return false;} else return false;\r\n}"),
            npos);
  link.RunAction("");
  EXPECT_EQ(log, (std::vector<std::string>{"click"}));
  EXPECT_EQ(UpdateOf(form, link), "<control id=\"LNKLOGOUT\" type=\"IWLINK\">\r\n  "
                                  "<innerhtml><![CDATA[Log &lt;out&gt;]]></innerhtml>\r\n</control>");

  // Disabled: the label's span, whose click the script refuses.
  link.SetEnabled(false);
  page = Render(form);
  EXPECT_NE(page.find("<span style=\"text-align:left;\" CLASS=\"LNKLOGOUTCSS\" ID=\"LNKLOGOUT\">Log &lt;out&gt;</span>"),
            npos);
  EXPECT_EQ(page.find("<a HREF"), npos);
  // Without OnClick: the same, and nothing to post.
  link.SetEnabled(true);
  link.SetOnClick(nullptr);
  page = Render(form);
  EXPECT_NE(page.find("ID=\"LNKLOGOUT\">Log &lt;out&gt;</span>"), npos);
  EXPECT_NE(page.find("{\r\nif (document.getElementById('LNKLOGOUT').href) {} else return false;\r\n}"), npos);
  EXPECT_FALSE(link.CanSubmit());

  // Aligned: the link sits in a DIV that aligns it and is its first child node; other
  // browsers get their own HREF; raw text is written as it is.
  TIWAppForm& gecko = NewForm(brNetscape7);
  auto& centred = AddControl<TIWLink>(gecko, gecko, "lnkHelp", 0, 0, 65, 17);
  centred.SetCaption("<b>Help</b>");
  centred.SetRawText(true);
  centred.SetAlignment(taCenter);
  centred.SetColor(clYellow);
  centred.SetOnClick([](TObject*) {});
  page = Render(gecko);
  EXPECT_NE(page.find("<div style=\"text-align:center;\" CLASS=\"LNKHELPCSS\" ID=\"LNKHELP\"><a "
                      "HREF=\"javascript:void(0);\" style=\"font-style:normal;font-weight:normal;font-size:13px;"
                      "text-decoration: underline;\"><b>Help</b></a></div>"),
            npos) << page;
  EXPECT_NE(page.find("text-decoration: underline;background-Color: #FFFF00;}"), npos);
  EXPECT_NE(page.find("if (document.getElementById('LNKHELP').childNodes[0].href) {SubmitClickConfirm('LNKHELP',"),
            npos);
  TIWAppForm& opera = NewForm(brOpera);
  AddControl<TIWLink>(opera, opera, "lnkHome", 0, 0, 65, 17).SetOnClick([](TObject*) {});
  EXPECT_NE(Render(opera).find("<a HREF=\"#\" CLASS=\"LNKHOMECSS\""), npos);
}

TEST_F(Controls, ATimerStartsOrStopsTheBrowsersTimerOnFullAndPartialPages) {
  TIWAppForm& form = NewForm(brIE);
  auto& timer = CreateComponent<TIWTimer>(form);
  timer.SetName("tmrRefresh");
  timer.SetInterval(5000);
  std::string page = Render(form);
  EXPECT_NE(page.find("InitIWCLObjects();\r\nIWTop().TMRREFRESH_ID=setTimeout('IWTop().SubmitClickConfirm("
                      "\"TMRREFRESH\",\"\", false,\"\")',5000);\r\nBody_OnResize();"),
            npos) << page;
  timer.SetChanged(false);
  timer.SetEnabled(false);
  EXPECT_TRUE(timer.Changed());
  page = Render(form);
  EXPECT_NE(page.find("InitIWCLObjects();\r\nIWTop().TMRREFRESH_ID=null;\r\nBody_OnResize();"), npos);
  EXPECT_EQ(page.find("setTimeout"), npos);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_NE(Render(form).find("IWTop().TMRREFRESH_ID=null;\r\n"), npos);

  // The post the timer makes runs OnTimer; without a handler it runs nothing and fails nothing.
  form.PostedValues() = TStringList{"IW_Action=TMRREFRESH", "IW_ActionParam="};
  form.ProcessPost();
  int ticks = 0;
  timer.SetOnTimer([&](TObject* sender) { ticks += sender == &timer; });
  form.PostedValues() = TStringList{"IW_Action=TMRREFRESH", "IW_ActionParam="};
  form.ProcessPost();
  EXPECT_EQ(ticks, 1);

  // On a partial update the line goes to the script the reply runs in the page.
  form.SetUpdateMode(umPartial);
  timer.SetInterval(250);
  EXPECT_NE(PartialReply(Render(form)).find("function updateControls() {IWTop().TMRREFRESH_ID=setTimeout('IWTop()."
                                       "SubmitClickConfirm(\"TMRREFRESH\",\"\", false,\"\")',250);\r\n}"),
            npos);
  timer.SetEnabled(false);
  page = Render(form);
  EXPECT_NE(PartialReply(page).find("function updateControls() {if(IWTop().TMRREFRESH_ID){clearInterval(IWTop()."
                               "TMRREFRESH_ID);};\r\n}"),
            npos);
  EXPECT_EQ(page.find("TMRREFRESH_ID=null"), npos);
}

class Tabs : public Controls {
 protected:
  void SetUp() override {
    form_ = &NewForm(brIE);
    tab_ = &AddControl<TIWTabControl>(*form_, *form_, "tabMain", 10, 120, 300, 200);
    second_ = &AddControl<TIWTabPage>(*form_, *tab_, "pagSecond", 10, 30, 280, 150);
    second_->SetTabOrder(2);
    second_->SetTitle("Second <b>");
    first_ = &AddControl<TIWTabPage>(*form_, *tab_, "pagFirst", 10, 30, 280, 150);
    first_->SetTabOrder(1);
    first_->SetTitle("First");
    tab_->SetActivePage(2);
  }
  TIWAppForm* form_ = nullptr;
  TIWTabControl* tab_ = nullptr;
  TIWTabPage* first_ = nullptr;
  TIWTabPage* second_ = nullptr;
};

TEST_F(Tabs, ATabControlShowsItsPagesInTabOrder) {
  const std::string page = Render(*form_);
  const std::size_t at = page.find("<div STYLE=\"border-style:none;border-width:1;overflow-x:auto;");
  ASSERT_NE(at, npos) << page;
  EXPECT_EQ(page.substr(at, page.find("<form method=\"POST\"") - at),
            "<div STYLE=\"border-style:none;border-width:1;overflow-x:auto;overflow-y:auto;background-color:#C0C0C0;"
            "padding:0;clip:rect(0px,300px,200px,0px);\" CLASS=\"TABMAINCSS\" ID=\"TABMAIN\" NAME=\"TABMAIN\">\r\n"
            "  <div style=\"z-index:1;white-space:nowrap;overflow:hidden;height:20;margin-top: 0;\">\r\n"
            "  <input type=\"hidden\" id=\"STYLEHOLDER_TABMAIN_ACTIVE\" style=\"font-weight:bold;font-style:normal;"
            "text-decoration: none;font-size:13px; font-family:sans-serif;color:#FFFFFF;background-color:#A9A9A9;"
            "cursor: pointer; height: 20px; padding: 3px;\">\r\n"
            "  <input type=\"hidden\" id=\"STYLEHOLDER_TABMAIN_INACTIVE\" style=\"font-weight:normal;"
            "font-style:normal;text-decoration: none;font-size:13px; font-family:sans-serif;color:#000000;"
            "background-color:#D3D3D3;cursor: pointer; height: 20px; padding: 3px;\">\r\n"
            "  <span id=\"PAGETITLE_PAGFIRST\" style=\"margin-top: 0;\">First</span>\r\n"
            "  <span id=\"PAGETITLE_PAGSECOND\" style=\"margin-top: 0;\">Second <b></span>\r\n"
            "</div>\r\n"
            "  <form onSubmit=\"return FormDefaultSubmit();\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"TABMAIN_input\" ID=\"TABMAIN_input\" value=\"1\">\r\n"
            "</form>"
            "<div STYLE=\"border-style:none;border-width:1;overflow-x:auto;overflow-y:auto;background-color:#FFFFFF;"
            "padding:0;clip:rect(0px,280px,150px,0px);\" CLASS=\"PAGFIRSTCSS\" ID=\"PAGFIRST\"></div>"
            "<div STYLE=\"border-style:none;border-width:1;overflow-x:auto;overflow-y:auto;background-color:#FFFFFF;"
            "padding:0;clip:rect(0px,280px,150px,0px);\" CLASS=\"PAGSECONDCSS\" ID=\"PAGSECOND\"></div>\r\n"
            "</div>");
  EXPECT_NE(page.find(".PAGFIRSTCSS {z-index:2; width:280;height:150;position: absolute;left:10;top:30;"
                      "background-color:#FFFFFF;}"),
            npos);
  EXPECT_NE(page.find("\r\nvar TABCONTROL_TABMAIN=null;\r\nfunction init_TABMAIN(AIndex) {\r\n"
                      "TABCONTROL_TABMAIN= new JSTabControl( document.getElementById( \"TABMAIN\" ) );\r\n"
                      "TABCONTROL_TABMAIN.selectedIndex = AIndex;\r\n"
                      "TABCONTROL_TABMAIN.addTabPage(document.getElementById( \"PAGFIRST\" ),\"PAGETITLE_PAGFIRST\");\r\n"
                      "TABCONTROL_TABMAIN.addTabPage(document.getElementById( \"PAGSECOND\" ),\"PAGETITLE_PAGSECOND\");\r\n"
                      "}\r\n"),
            npos) << page;
  EXPECT_NE(page.find("InitIWCLObjects();\r\ninit_TABMAIN(1);\r\n"), npos);
  EXPECT_NE(page.find("<script type=\"text/javascript\" src=\"/RequestQX9/js/tabcontrol.js_9.0.17\"></script>"), npos);
  EXPECT_NE(SubmitForm(page).find("<input TYPE=\"HIDDEN\" NAME=\"TABMAIN_input\">"), npos);

  // A hidden page has no tab; an active page that no page has shows the first; OnChange makes
  // a change of tab post the page.
  first_->SetVisible(false);
  tab_->SetActivePage(7);
  tab_->SetOnChange([](TObject*) {});
  form_->SetUpdateMode(umPartial);
  const std::string partial = Render(*form_);
  EXPECT_NE(partial.find("TABCONTROL_TABMAIN.SubmitOnChange = true;\r\nTABCONTROL_TABMAIN.selectedIndex = AIndex;\r\n"
                         "TABCONTROL_TABMAIN.addTabPage(document.getElementById( \"PAGSECOND\" ),"
                         "\"PAGETITLE_PAGSECOND\");\r\n}"),
            npos) << partial;
  EXPECT_EQ(partial.find("PAGETITLE_PAGFIRST"), npos);
  EXPECT_NE(partial.find(".PAGFIRSTCSS {z-index:2; width:280;height:150;position: absolute;left:10;top:30;"
                         "background-color:#FFFFFF;visibility:hidden;}"),
            npos);
  EXPECT_NE(partial.find("ID=\"TABMAIN_input\" value=\"0\">"), npos);
  EXPECT_EQ(partial.find("init_TABMAIN(0);"), npos);
  EXPECT_NE(PartialReply(partial).find("function updateControls() {IWTop().init_TABMAIN(0);\r\n}"), npos);
}

TEST_F(Tabs, ThePostedIndexChoosesThePage) {
  int changes = 0;
  tab_->SetOnChange([&](TObject*) { ++changes; });
  // The field's name is found whatever its letter case; the index counts pages in tab order.
  form_->PostedValues() = TStringList{"IW_Action=TABMAIN", "IW_ActionParam=", "tabmain_INPUT=0"};
  tab_->SetChanged(false);
  form_->ProcessPost();
  EXPECT_EQ(tab_->ActivePage(), 1);
  EXPECT_TRUE(tab_->Changed());
  EXPECT_EQ(changes, 1);

  // A malformed or outside index fails the post and changes nothing.
  for (const auto& [value, failure] : std::vector<std::pair<std::string, std::string>>{
           {"2", "List index out of bounds (2)"},
           {"-1", "List index out of bounds (-1)"},
           {"one", "'one' is not a valid integer value"}}) {
    form_->PostedValues() = TStringList{"IW_Action=", "IW_ActionParam=x", "TABMAIN_input=" + value};
    EXPECT_EQ(Failure([&] { form_->ProcessPost(); }),
              "EIWException: The following exception occured\r\n  tabMain: " + failure + "\r\n");
    EXPECT_EQ(tab_->ActivePage(), 1);
    EXPECT_FALSE(tab_->Changed());
  }
  EXPECT_EQ(Failure([&] { tab_->ApplySubmittedValue("9"); }), "EListError: List index out of bounds (9)");
  EXPECT_EQ(Failure([&] { tab_->ApplySubmittedValue(""); }), "EConvertError: '' is not a valid integer value");
}

TEST_F(Controls, DefinitionsSetTheLinkTimerAndTabProperties) {
  StartSession();
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Test.qxf",
                          "object frmDef: TTestScreen\n"
                          "  object lnkLogout: TIWLink\n"
                          "    Caption = 'Logout'\n"
                          "    Alignment = taRightJustify\n"
                          "    OnClick = ButtonClick\n"
                          "  end\n"
                          "  object tmrRefresh: TIWTimer\n"
                          "    Enabled = False\n"
                          "    Interval = 60000\n"
                          "    OnTimer = ButtonClick\n"
                          "  end\n"
                          "  object tabMain: TIWTabControl\n"
                          "    ActivePage = 1\n"
                          "    ActiveTabColor = clNavy\n"
                          "    ActiveTabFont.Size = 12\n"
                          "    object pagOne: TIWTabPage\n"
                          "      Title = 'One'\n"
                          "      TabOrder = 1\n"
                          "    end\n"
                          "  end\n"
                          "end\n");
  auto* link = dynamic_cast<TIWLink*>(screen->FindComponent("lnkLogout"));
  auto* timer = dynamic_cast<TIWTimer*>(screen->FindComponent("tmrRefresh"));
  auto* tab = dynamic_cast<TIWTabControl*>(screen->FindComponent("tabMain"));
  ASSERT_TRUE(link && timer && tab);
  EXPECT_EQ(link->Caption(), "Logout");
  EXPECT_EQ(link->Alignment(), taRightJustify);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 60000);
  EXPECT_EQ(tab->ActivePage(), 1);
  EXPECT_EQ(tab->ActiveTabColor(), clNavy);
  EXPECT_EQ(tab->ActiveTabFont().Size(), 12);
  ASSERT_EQ(tab->Pages().size(), 1u);
  EXPECT_EQ(tab->Pages()[0]->Title(), "One");
  link->RunAction("");
  timer->RunAction("");
  EXPECT_EQ(screen->events, (std::vector<std::string>{"click", "click"}));
  // Creation defaults.
  Owned<TIWLink> freshLink(new TIWLink);
  EXPECT_EQ(freshLink->Width(), 65);
  EXPECT_EQ(freshLink->Height(), 17);
  EXPECT_FALSE(freshLink->DoSubmitValidation());
  EXPECT_TRUE(freshLink->RenderSize());
  EXPECT_EQ(freshLink->Font().Style(), TIWFontStyles{fsUnderline});
  Owned<TIWTimer> freshTimer(new TIWTimer);
  EXPECT_TRUE(freshTimer->Enabled());
  EXPECT_EQ(freshTimer->Interval(), 1000);
  Owned<TIWTabPage> freshPage(new TIWTabPage);
  EXPECT_EQ(freshPage->Title(), "Title");
  EXPECT_EQ(freshPage->Color(), clWhite);
  EXPECT_EQ(freshPage->BorderWidth(), 0);
  EXPECT_EQ(freshPage->Anchors(), (TAnchors{akLeft, akTop, akRight, akBottom}));
}

}  // namespace
}  // namespace qx::test
