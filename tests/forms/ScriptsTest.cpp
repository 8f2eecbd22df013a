// The page context's adding rules, script events in the page, hints and status texts, client
// object registration with alignment and anchors, border frames, and the submit scripts.
#include <gtest/gtest.h>

#include "TestControls.h"
#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/ScriptEvents.h"
#include "runtime/FormReader.h"

namespace qx::test {
namespace {

TEST(PageContext, InitPartsAddTheTextAndCRLFAndIgnoreEmptyText) {
  TIWPageContext40 page(brIE, "");
  page.AddInitA("a();");
  page.AddInitA("");
  page.AddInitA("b();");
  page.AddIWCLInit("x");
  page.AddPartialB("p");
  EXPECT_EQ(page.InitA(), "a();\r\nb();\r\n");
  EXPECT_EQ(page.IWCLInit(), "x\r\n");
  EXPECT_EQ(page.PartialB(), "p\r\n");
  EXPECT_EQ(page.InitE(), "");
}

TEST(PageContext, DeclarationsKeepReadyMadeLinesAsTheyAre) {
  TIWPageContext40 page(brIE, "");
  page.AddDeclaration("var a;");           // a CR LF is added
  page.AddDeclaration("var b;\r\n");       // ends in its first CR LF: kept as it is
  page.AddDeclaration("x\r\ny\r\n");       // its first CR LF is not at the end: CR LF added
  page.AddDeclaration("\r\n");             // two characters only: CR LF added
  EXPECT_EQ(page.Declarations(), "var a;\r\nvar b;\r\nx\r\ny\r\n\r\n\r\n\r\n");
}

TEST(PageContext, ScriptFilesAndHiddenInputsHaveNoDuplicates) {
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(page.AddScriptFile("/js/IWCommon.js"), 0);
  EXPECT_EQ(page.AddScriptFile("/js/IWCL.js"), 1);
  EXPECT_EQ(page.AddScriptFile("/js/IWCommon.js"), 0);
  EXPECT_EQ(page.ScriptFiles().size(), 2u);
  page.AddHiddenInput("EDTNAME");
  page.AddHiddenInput("EDTNAME");
  page.AddHiddenInput("CHK_CHECKBOX");
  EXPECT_EQ(page.FormHiddenInputs().size(), 2u);
  EXPECT_EQ(page.FormTag().Text(),
            "<form>\r\n  <input TYPE=\"HIDDEN\" NAME=\"EDTNAME\">\r\n  <input TYPE=\"HIDDEN\" "
            "NAME=\"CHK_CHECKBOX\">\r\n</form>");
}

TEST(PageContext, TheStyleElementStartsWithALineBreakAndCollectsRules) {
  TIWPageContext40 page(brIE, "");
  page.AddStyleRule(".ACSS {x}\r\n");
  EXPECT_EQ(page.StyleTag().Text(), "<style type=\"text/css\">\r\n.ACSS {x}\r\n</style>");
}

TEST(ScriptEvents, HookEventCompletesTheCodeAndTheFirstBecomesThePrimaryHandler) {
  TIWScriptEvents events;
  events.HookEvent("OnClick", "  doIt()  ");
  events.HookEvent("onclick", "return check();");
  events.HookEvent("OnClick", "");
  events.HookEvent("OnChange", "return x()");
  ASSERT_EQ(events.Count(), 2);
  const TIWScriptEventsItem& click = *events.Find("ONCLICK");
  EXPECT_EQ(click.EventCode().Text(), "doIt()\r\nreturn true;\r\n");
  ASSERT_EQ(click.AdditionalHandlers().size(), 1u);
  EXPECT_EQ(click.AdditionalHandlers()[0].Text(), "return check();\r\n");
  EXPECT_EQ(events.Find("OnChange")->EventCode().Text(), "return x();\r\n");
}

TEST(ScriptEvents, EachHandlerBecomesAFunctionHookedOnTheClientObject) {
  TIWScriptEvents events;
  events.HookEvent("OnClick", "return a();");
  events.HookEvent("OnClick", "return b();");
  events.HookEvent("OnLoad", "return c();");
  TIWPageContext40 ie(brIE, "");
  TIWHTMLTag tag("img", ctNever);
  events.Render("IMG1", ie, tag);
  EXPECT_EQ(ie.Declarations(),
            "function IMG1_onclick() {\r\nreturn a();\r\n}\r\n\r\n"
            "function IMG1_onclick0() {\r\nreturn b();\r\n}\r\n\r\n"
            "function IMG1_onload() {\r\nreturn c();\r\n}\r\n\r\n");
  EXPECT_EQ(ie.IWCLInit(),
            "if (IMG1IWCL) IMG1IWCL.HookEvent(\"click\",IMG1_onclick);\r\n"
            "if (IMG1IWCL) IMG1IWCL.HookEvent(\"click\",IMG1_onclick0);\r\n");
  EXPECT_EQ(tag.Text(), "<img onload=\"IMG1_onload()\">");

  TIWPageContext40 gecko(brNetscape7, "");
  events.Render("IMG1", gecko, tag);
  EXPECT_EQ(gecko.Declarations().substr(0, 32), "function IMG1_onclick(event) {\r\n");
}

class PostProcessTest : public ::testing::Test {
 protected:
  Owned<TTestScreen> form_{CreateComponent<TTestScreen>()};
  Owned<TIWLayoutMgrForm> layout_{new TIWLayoutMgrForm};

  // Renders `control` as the container walk does and returns its finished tag text.
  std::string Process(IIWHTML40Control& control, TIWPageContext40& page) {
    TIWContainerContext container(*form_, *layout_, nullptr, false);
    TIWComponent40Context context(control, page, container);
    context.SetTag(control.RenderMarkup(context));
    control.PostProcessTag(context);
    return context.Tag()->Text();
  }
};

TEST_F(PostProcessTest, ClientObjectOnTheForm) {
  TTestEdit& edit = AddControl<TTestEdit>(*form_, *form_, "edtName", 1, 2, 3, 4);
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(Process(edit, page), "<input TYPE=\"TEXT\">");
  EXPECT_EQ(page.Declarations(), "var EDTNAMEIWCL = null;\r\n");
  EXPECT_EQ(page.IWCLInit(), "EDTNAMEIWCL = NewIWCL(IWCLForm,\"EDTNAME\",false);\r\n");
}

TEST_F(PostProcessTest, AlignmentAndAnchorsOtherThanTheNaturalOnesAreRegistered) {
  TIWRegion& region = AddControl<TIWRegion>(*form_, *form_, "regMain", 0, 0, 300, 200);
  region.BorderOptions().SetNumericWidth(0);
  TTestEdit& edit = AddControl<TTestEdit>(*form_, region, "edtName", 1, 2, 3, 4);
  edit.SetAnchors({akTop, akRight});
  TIWPageContext40 page(brIE, "");
  Process(edit, page);
  EXPECT_EQ(page.IWCLInit(),
            "EDTNAMEIWCL = NewIWCL(REGMAINIWCL,\"EDTNAME\",false);\r\n"
            "if (EDTNAMEIWCL != null) {\r\n"
            "  EDTNAMEIWCL.SetAlign(alNone);\r\n EDTNAMEIWCL.SetAnchors(new CreateAnchors(false, true, true, false));\r\n"
            "}\r\n");
}

TEST_F(PostProcessTest, ARegionInAFrameUsesTheFramesPlaceAlignmentAndAnchors) {
  TTestFrame& frame = CreateComponent<TTestFrame>(*form_);
  frame.SetName("fraEncabezado1");
  frame.SetParent(form_.get());
  frame.SetAlign(alTop);
  TIWRegion& region = CreateComponent<TIWRegion>(frame);
  region.SetName("regEncabezado");
  region.SetParent(&frame);
  TIWPageContext40 page(brIE, "");
  Process(region, page);
  EXPECT_EQ(page.IWCLInit(),
            "FRAENCABEZADO1REGENCABEZADOIWCL = NewIWCL(IWCLForm,\"FRAENCABEZADO1REGENCABEZADO\",false);\r\n"
            "if (FRAENCABEZADO1REGENCABEZADOIWCL != null) {\r\n"
            "  FRAENCABEZADO1REGENCABEZADOIWCL.SetAlign(alTop);\r\n"
            " FRAENCABEZADO1REGENCABEZADOIWCL.SetAnchors(new CreateAnchors(true, false, true, false));\r\n"
            "}\r\n"
            "if (FRAENCABEZADO1REGENCABEZADOIWCL) {\r\n"
            "FRAENCABEZADO1REGENCABEZADOIWCL.BorderWidthPixels = 1;\r\n"
            "}\r\n");
  // Its controls belong to the region's client object.
  TTestLabel& label = AddControl<TTestLabel>(frame, region, "lblUsuario", 1, 1, 1, 1);
  TIWPageContext40 labelPage(brIE, "");
  Process(label, labelPage);
  EXPECT_EQ(labelPage.IWCLInit(),
            "LBLUSUARIOFRAENCABEZADO1IWCL = NewIWCL(FRAENCABEZADO1REGENCABEZADOIWCL,"
            "\"LBLUSUARIOFRAENCABEZADO1\",false);\r\n");
}

TEST_F(PostProcessTest, HintBecomesTheTitleAndStatusTextTheStatusScripts) {
  TTestButton& button = AddControl<TTestButton>(*form_, *form_, "btnOk", 0, 0, 75, 25);
  button.SetHint("It's me");
  button.SetStatusText("Press 'Ok'");
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(Process(button, page), "<input TYPE=\"button\" VALUE=\"Ok\" title=\"It&#39s me\">");
  EXPECT_NE(page.Declarations().find("function BTNOK_onmouseover() {\r\nreturn Status('Press &#39Ok&#39');\r\n}"),
            std::string::npos);
  EXPECT_NE(page.Declarations().find("function BTNOK_onmouseout() {\r\nreturn Status('');\r\n}"),
            std::string::npos);
  EXPECT_NE(page.Declarations().find("function BTNOK_onfocus() {\r\nreturn Status('Press &#39Ok&#39');\r\n}"),
            std::string::npos);
  EXPECT_NE(page.IWCLInit().find("HookEvent(\"blur\",BTNOK_onblur);"), std::string::npos);

  // With IW50Hint the hint is the status text, and only while hints show.
  button.SetIW50Hint(true);
  TIWPageContext40 hinted(brIE, "");
  Process(button, hinted);
  EXPECT_NE(hinted.Declarations().find("Status('It&#39s me')"), std::string::npos);
  button.SetShowHint(false);
  TIWPageContext40 hidden(brIE, "");
  EXPECT_EQ(Process(button, hidden), "<input TYPE=\"button\" VALUE=\"Ok\">");
  EXPECT_EQ(hidden.Declarations().find("Status("), std::string::npos);
}

TEST_F(PostProcessTest, ControlsThatReportContentChangesHookTheChangeTracking) {
  class TTrackedEdit : public TTestEdit {
   public:
    bool ReportsContentChanges() const override { return true; }
  };
  TTrackedEdit& edit = CreateComponent<TTrackedEdit>(*form_);
  edit.SetName("edtTracked");
  edit.SetParent(form_.get());
  // Only on a page that tracks changes.
  TIWPageContext40 untracked(brOpera, "");
  Process(edit, untracked);
  EXPECT_EQ(untracked.Declarations().find("OnControlContentChange"), std::string::npos);
  TIWPageContext40 page(brOpera, "");
  page.SetTracksContentChanges(true);
  Process(edit, page);
  for (const char* event : {"onchange", "onkeypress", "onclick", "onselect"})
    EXPECT_NE(page.Declarations().find(std::string("function EDTTRACKED_") + event +
                                       "(event) {\r\nOnControlContentChange(event);\r\nreturn true;\r\n}"),
              std::string::npos)
        << event;
}

TEST_F(PostProcessTest, AFramedControlIsWrappedInAnInsetBorderFrame) {
  TTestEdit& edit = AddControl<TTestEdit>(*form_, *form_, "edtName", 0, 0, 100, 20);
  edit.SetUseFrame(true);
  edit.Font().SetEnabled(false);
  TIWPageContext40 page(brNetscape7, "");
  EXPECT_EQ(Process(edit, page),
            "<div STYLE=\"border-style:inset;border-width:2;overflow:auto;padding:0;"
            "clip:rect(0px,100px,20px,0px);\">\r\n  <input TYPE=\"TEXT\">\r\n</div>");
  EXPECT_NE(page.IWCLInit().find("if (EDTNAMEIWCL) {\r\nEDTNAMEIWCL.BorderWidthPixels = 2;\r\n}\r\n"),
            std::string::npos);
  edit.Font().SetEnabled(true);
  TIWPageContext40 ie(brIE, "");
  EXPECT_NE(Process(edit, ie).find("<input TYPE=\"TEXT\" STYLE=\"font-weight:normal;"), std::string::npos);
}

TEST_F(PostProcessTest, ExtraTagParamsAreAddedToTheElement) {
  TTestEdit& edit = AddControl<TTestEdit>(*form_, *form_, "edtName", 0, 0, 10, 10);
  edit.SetExtraTagParams({"maxlength=10", "autocomplete=off", "READONLY", "TYPE=PASSWORD"});
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(Process(edit, page), "<input TYPE=\"PASSWORD\" maxlength=\"10\" autocomplete=\"off\" READONLY>");
}

TEST_F(PostProcessTest, SubmitCallScriptForms) {
  TTestButton& button = AddControl<TTestButton>(*form_, *form_, "btnOk", 0, 0, 75, 25);
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(button.SubmitCallScript(page, ""), "return SubmitClickConfirm('BTNOK','', true, '');");
  button.SetDoSubmitValidation(false);
  button.SetConfirmation("Sure?\nIt's \"final\"");
  EXPECT_EQ(button.SubmitCallScript(page, "7", {}, true),
            "SubmitClickConfirm('BTNOK','7', false, 'Sure?\\nIt\\'s \\\"final\\\"');return false;");
  EXPECT_EQ(button.SubmitCallScript(page, "", "OTHER"),
            "return SubmitClickConfirm('OTHER','', false, 'Sure?\\nIt\\'s \\\"final\\\"');");

  TIWPageContext40 uploads(brIE, "");
  uploads.SetHasUploadControls(true);
  button.SetConfirmation("");
  EXPECT_EQ(button.SubmitCallScript(uploads, "p"), "SubmitNextFile('BTNOK','p');return true;");
  button.SetDoSubmitValidation(true);
  button.SetConfirmation("Go?");
  EXPECT_EQ(button.SubmitCallScript(uploads, "p", {}, true),
            "if (window.confirm('Go?')) {if (Validate()){SubmitNextFile('BTNOK','p');return false;}"
            "else{return false;}}");
}

TEST_F(PostProcessTest, SubmitAnchor) {
  TTestButton& button = AddControl<TTestButton>(*form_, *form_, "btnOk", 0, 0, 75, 25);
  button.SetHint("Go");
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(button.SubmitAnchor(page, "<img>", "a'b", true, false)->Text(),
            "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('BTNOK','a%27b', true, '');return false;\" "
            "title=\"Go\"><img></a>");
  button.ScriptEvents().HookEvent("OnClick", "mark();");
  EXPECT_EQ(button.SubmitAnchor(page, "x", "", false, true)->Param("OnClick"),
            "mark();\r\nreturn true;\r\nreturn SubmitClickConfirm('BTNOK','', true, '');");
}

}  // namespace
}  // namespace qx::test
