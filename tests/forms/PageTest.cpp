// Full pages: a small form compared with its exact expected text, and each part of the page
// on its own: form groups, hidden inputs, tracking fields, head and body parts, init order,
// the container walk over regions and frames, render events and the resize script.
#include <gtest/gtest.h>

#include "FormsFixture.h"
#include "forms/RenderContext.h"
#include "runtime/Files.h"

namespace qx::test {
namespace {

class PageTest : public FormsFixture {
 protected:
  PageTest() {
    Controller().SetOnGetSessionID([](TIWApplication&, std::string& id) { id = "s1"; });
    StartSession();
  }
  // Renders the active form after preparing the page, as the application does.
  std::string RenderActive() {
    App().PreparePage();
    return Render(*App().ActiveForm());
  }
  static bool Has(const std::string& page, const std::string& part) {
    return page.find(part) != std::string::npos;
  }
  static std::size_t Count(const std::string& page, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = page.find(part); at != std::string::npos; at = page.find(part, at + 1)) ++n;
    return n;
  }
};

TEST_F(PageTest, ASmallFormRendersExactly) {
  TTestScreen& form = NewScreen("frmLogin");
  form.SetTitle("Login <1>");
  AddControl<TTestLabel>(form, form, "lblUser", 10, 10, 121, 21).SetCaption("User");
  AddControl<TTestEdit>(form, form, "edtUser", 120, 124, 161, 16).SetText("bob");
  AddControl<TTestButton>(form, form, "btnOk", 10, 50, 75, 25).SetOnClick([](TObject*) {});

  const std::string font = "font-weight:normal;font-style:normal;text-decoration: none;font-size:13px; ";
  const std::string expected =
      "<html><head><meta http-equiv=\"cache-control\" content=\"no-cache\">"
      "<meta http-equiv=\"pragma\" content=\"no-cache\"><title>Login &lt;1&gt;</title>"
      "<style type=\"text/css\">\r\n"
      ".LBLUSERCSS {position:absolute;left:10px;top:10px;z-index:100;" + font + "}\r\n"
      ".EDTUSERCSS {position:absolute;left:120px;top:124px;z-index:100;width:161px;height:16px;" + font + "}\r\n"
      ".BTNOKCSS {position:absolute;left:10px;top:50px;z-index:100;width:75px;height:25px;" + font + "}\r\n"
      "</style>"
      "<script type=\"text/javascript\" src=\"/RequestQX9/js/IWPreScript.js_9.0.17\"></script>"
      "<script type=\"text/javascript\">"
      "var LBLUSERIWCL = null;\r\n"
      "var EDTUSERIWCL = null;\r\n"
      "var BTNOKIWCL = null;\r\n"
      "function BTNOK_onclick() {\r\nreturn SubmitClickConfirm('BTNOK','', true, '');\r\n}\r\n\r\n"
      "function FormDefaultSubmit(){return false;}\r\n"
      "var GIsPartialUpdate=false;\r\n"
      "var GOnResizetimeout=1000;\r\n"
      "var GURLBase=\"/RequestQX9\";var GAppID=\"s1\";var GTrackID=0\r\n"
      "function IWTop(){return window;}\r\n"
      "var GActiveControl = null;\r\n"
      "var GActiveControl=null;\r\n"
      "function Validate() {\r\n"
      "  return true;\r\n}\r\n\r\n"
      "function InitIWCLObjects() {"
      "LBLUSERIWCL = NewIWCL(IWCLForm,\"LBLUSER\",false);\r\n"
      "EDTUSERIWCL = NewIWCL(IWCLForm,\"EDTUSER\",false);\r\n"
      "BTNOKIWCL = NewIWCL(IWCLForm,\"BTNOK\",false);\r\n"
      "if (BTNOKIWCL) BTNOKIWCL.HookEvent(\"click\",BTNOK_onclick);\r\n"
      "}\r\n"
      "function Initialize() {"
      "StaticInit();\r\nGActivateLock = true;\r\nInitRects(300, 200);\r\nInitIWCLObjects();\r\n"
      "Body_OnResize();\r\n"
      "if (document.body.leftMargin < 0 && document.body.topMargin < 0) {"
      "  document.body.leftMargin = 0;  document.body.topMargin = 0;}\r\n"
      "ReleaseLock();\r\n"
      "}</script>"
      "<META HTTP-EQUIV=\"MSThemeCompatible\" Content=\"yes\">"
      "<META Name=\"GENERATOR\" content=\"QX Requests web forms runtime 9.0.17\">"
      "<META HTTP-EQUIV=\"imagetoolbar\" CONTENT=\"no\">"
      "<META HTTP-EQUIV=\"Expires\" CONTENT=\"-1\">"
      "\r\n<script type=\"text/javascript\" src=\"/RequestQX9/js/IWCommon.js_9.0.17\"></script>\r\n"
      "\r\n<script type=\"text/javascript\" src=\"/RequestQX9/js/IWCL.js_9.0.17\"></script>\r\n"
      "\r\n<script type=\"text/javascript\" src=\"/RequestQX9/js/IWAjax.js_9.0.17\"></script>\r\n"
      "\r\n<script type=\"text/javascript\" src=\"/RequestQX9/js/IWExplorer.js_9.0.17\"></script>\r\n"
      "</head>"
      "<body onResize=\"return Body_OnResize();\" TOPMARGIN=\"0\" LEFTMARGIN=\"0\" OnLoad=\"Initialize()\" "
      "OnUnload=\"ReleaseIWCL()\" OnBlur=\"GSubmitting = false;SetBusy(false);\">"
      "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\"\r\n"
      "style=\"border-collapse: collapse; position:absolute; z-index:9000;\r\n"
      "left:0px; top:0px\" bordercolor=\"#111111\" width=\"100%\" id=\"locker\" \r\n"
      "height=\"100%\"><tr><td></td></tr></table>"
      "\r\n  <div ID=\"bussyCursor\" style=\"position:absolute;left:0px;top:0px;width:10000px;"
      "height:10000px;visibility:hidden;display:none;cursor:wait;z-index:10000\"></div>"
      "<span CLASS=\"LBLUSERCSS\" ID=\"LBLUSER\">User</span>"
      "<form onSubmit=\"return FormDefaultSubmit();\">"
      "<input TYPE=\"TEXT\" VALUE=\"bob\" CLASS=\"EDTUSERCSS\" ID=\"EDTUSER\" NAME=\"EDTUSER\">"
      "<input TYPE=\"button\" VALUE=\"Ok\" CLASS=\"BTNOKCSS\" ID=\"BTNOK\">"
      "</form>"
      "<form method=\"POST\" name=\"SubmitForm\" ACTION=\"/RequestQX9/EXEC\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"EDTUSER\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_Action\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_ActionParam\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_FormName\" VALUE=\"frmLogin\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_FormClass\" VALUE=\"TTestScreen\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_SessionID_\" VALUE=\"s1\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_width\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_height\">\r\n"
      "  <input TYPE=\"HIDDEN\" NAME=\"IW_TrackID_\" VALUE=\"0\">\r\n"
      "</form>"
      "\r\n</body></html>";
  EXPECT_EQ(RenderActive(), expected);
}

TEST_F(PageTest, TwoEditsALabelAndAButtonMakeTwoFormGroups) {
  TTestScreen& form = NewScreen();
  AddControl<TTestEdit>(form, form, "edtA", 0, 0, 10, 10);
  AddControl<TTestEdit>(form, form, "edtB", 0, 20, 10, 10);
  AddControl<TTestLabel>(form, form, "lblC", 0, 40, 10, 10);
  AddControl<TTestButton>(form, form, "btnD", 0, 60, 10, 10).SetOnClick([](TObject*) {});
  const std::string page = RenderActive();
  const std::size_t a = page.find("<form onSubmit=\"return FormDefaultSubmit();\"><input TYPE=\"TEXT\" CLASS=\"EDTACSS\"");
  const std::size_t b = page.find("<input TYPE=\"TEXT\" CLASS=\"EDTBCSS\" ID=\"EDTB\" NAME=\"EDTB\"></form><span");
  const std::size_t c = page.find("</form><span CLASS=\"LBLCCSS\" ID=\"LBLC\"></span><form onSubmit=");
  const std::size_t d = page.find("<input TYPE=\"button\" VALUE=\"Ok\" CLASS=\"BTNDCSS\" ID=\"BTND\"></form>");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(c, std::string::npos);
  ASSERT_NE(d, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_LT(c, d);
  EXPECT_EQ(Count(page, "<form onSubmit="), 2u);
}

TEST_F(PageTest, AButtonWithoutHandlerStandsBetweenGroups) {
  TTestScreen& form = NewScreen();
  AddControl<TTestEdit>(form, form, "edtA", 0, 0, 10, 10);
  AddControl<TTestButton>(form, form, "btnIdle", 0, 20, 10, 10);
  AddControl<TTestEdit>(form, form, "edtB", 0, 40, 10, 10);
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "NAME=\"EDTA\"></form><input TYPE=\"button\" VALUE=\"Ok\" CLASS=\"BTNIDLECSS\" "
                        "ID=\"BTNIDLE\"><form onSubmit=\"return FormDefaultSubmit();\"><input TYPE=\"TEXT\" "
                        "CLASS=\"EDTBCSS\""));
}

TEST_F(PageTest, AnInvisibleControlProducesNothingAtAll) {
  TTestScreen& form = NewScreen();
  TTestEdit& hidden = AddControl<TTestEdit>(form, form, "edtSecret", 0, 0, 10, 10);
  hidden.SetVisible(false);
  const std::string page = RenderActive();
  EXPECT_FALSE(Has(page, "EDTSECRET"));
}

TEST_F(PageTest, ControlsAreWalkedInTabOrder) {
  TTestScreen& form = NewScreen();
  AddControl<TTestEdit>(form, form, "edtLast", 0, 0, 10, 10).SetTabOrder(2);
  AddControl<TTestEdit>(form, form, "edtFirst", 0, 0, 10, 10).SetTabOrder(0);
  AddControl<TTestEdit>(form, form, "edtMiddle", 0, 0, 10, 10).SetTabOrder(1);
  const std::string page = RenderActive();
  EXPECT_LT(page.find("ID=\"EDTFIRST\""), page.find("ID=\"EDTMIDDLE\""));
  EXPECT_LT(page.find("ID=\"EDTMIDDLE\""), page.find("ID=\"EDTLAST\""));
}

TEST_F(PageTest, HiddenFieldsAreEncodedAndTrackingFieldsFollowTheTrackingMethod) {
  TTestScreen& form = NewScreen();
  form.SetHiddenFields({"Note=a b<c>", "Empty="});
  std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"Note\" ID=\"HIDDEN_Note\" SIZE=\"-1\" "
                        "VALUE=\"a&#32;b&#60;c&#62;\">"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"Empty\" ID=\"HIDDEN_Empty\" SIZE=\"-1\">"));
  EXPECT_TRUE(Has(page, "NAME=\"IW_SessionID_\""));
  EXPECT_TRUE(Has(page, "NAME=\"IW_TrackID_\""));

  Controller().SetSessionTrackingMethod(tmCookie);
  page = RenderActive();
  EXPECT_FALSE(Has(page, "IW_SessionID_"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"IW_TrackID_\" VALUE=\"0\">"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"IW_width\">"));

  Controller().SetSessionTrackingMethod(tmURL);
  page = RenderActive();
  EXPECT_FALSE(Has(page, "IW_TrackID_"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"IW_height\">"));
  EXPECT_TRUE(Has(page, "ACTION=\"/RequestQX9/EXEC/0/s1\""));
  EXPECT_FALSE(Has(page, "Expires"));
}

TEST_F(PageTest, WithoutTitleNoTitleElementAndWithDebugHTMLTheSeparatorIsCRLF) {
  NewScreen();
  std::string page = RenderActive();
  EXPECT_FALSE(Has(page, "<title>"));
  EXPECT_EQ(page.rfind("<html><head><meta http-equiv=\"cache-control\"", 0), 0u);
  EXPECT_TRUE(Has(page, "9.0.17\"></script>\r\n</head><body"));

  Controller().SetDebugHTML(true);
  page = RenderActive();
  EXPECT_EQ(page.rfind("<html><head>\r\n<meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n"
                       "<meta http-equiv=\"pragma\" content=\"no-cache\">\r\n<style",
                       0),
            0u);
  EXPECT_TRUE(Has(page, "var GURLBase=\"/RequestQX9\";\r\nvar GAppID=\"s1\";\r\nvar GTrackID=0\r\n"));
  EXPECT_TRUE(Has(page, "function InitIWCLObjects() {\r\n"));
  EXPECT_TRUE(Has(page, "\r\n</head>\r\n<body"));
  EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
}

TEST_F(PageTest, QueuedAlertsRunWhileThePageIsStillLockedAndFocusAfterTheLockIsReleased) {
  TTestScreen& form = NewScreen();
  TTestEdit& edit = AddControl<TTestEdit>(form, form, "edtUser", 0, 0, 10, 10);
  form.SetActiveControl(&edit);
  App().ShowMessage("First");
  App().ShowMessage("Second \"one\"");
  std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "  document.body.topMargin = 0;}\r\n"
                        "window.alert(\"First\");\r\nwindow.alert(\"Second \\\"one\\\"\");\r\n\r\n"
                        "ReleaseLock();\r\n"
                        "GActiveControl=\"EDTUSER\";\r\n"
                        "if (GActiveControl) { var xElem; xElem = FindFocus(GActiveControl); "
                        "if (xElem != null) { xElem.focus();}}\r\n}"));
  EXPECT_FALSE(Has(page, "var GActiveControl=null;"));
  // The queue is spent by the page.
  page = RenderActive();
  EXPECT_FALSE(Has(page, "window.alert"));
}

TEST_F(PageTest, LockingOptions) {
  TTestScreen& form = NewScreen();
  form.SetLockUntilLoaded(false);
  form.SetLockOnSubmit(false);
  form.SetXPTheme(false);
  const std::string page = RenderActive();
  EXPECT_FALSE(Has(page, "ReleaseLock();"));
  EXPECT_FALSE(Has(page, "id=\"locker\""));
  EXPECT_TRUE(Has(page, "GActivateLock = false;"));
  EXPECT_TRUE(Has(page, "<META HTTP-EQUIV=\"MSThemeCompatible\" Content=\"no\">"));
}

TEST_F(PageTest, DefaultActionResizeHandlerAndHistory) {
  TTestScreen& form = NewScreen();
  form.SetOnDefaultAction([](TObject*) {});
  form.SetOnResize([](TObject*) {});
  Controller().SetHistoryEnabled(false);
  Controller().SetServerResizeTimeout(250);
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page,
                  "function FormDefaultSubmit(){    var i;   for (i = 0; i < event.srcElement.all.length; i++) {"
                  "     if (event.srcElement.all[i].type == \"submit\") {"
                  "       SubmitClickConfirm(event.srcElement.all[i].name, \"default\", true, \"\");"
                  "       return false;     }   }    SubmitClickConfirm(\"\", \"default\", true, \"\");"
                  "    return false;}\r\n"));
  EXPECT_TRUE(Has(page, "var GOnResizetimeout=250;\r\n"));
  EXPECT_TRUE(Has(page, "var GResizeURL=\"/RequestQX9/RESIZE/0/s1?quillon\";\r\nhistory.go(1);\r\n"));
  EXPECT_TRUE(Has(page, "<iframe ID=\"onresize\" style=\"position:absolute;left:-1000px;top:-1000px\" "
                        "src=\"javascript:false;\"></iframe>"));
  Controller().SetSessionTrackingMethod(tmCookie);
  EXPECT_TRUE(Has(RenderActive(), "var GResizeURL=\"/RequestQX9/RESIZE?IW_TrackID_=0\";"));
}

TEST_F(PageTest, BodyAttributesInOrder) {
  TTestScreen& form = NewScreen();
  form.SetLeftToRight(false);
  form.SetBGColor(clWhite);
  form.Background().SetFilename("C:\\zazAZ\\files\\J0143750.GIF");
  form.Background().SetFixed(true);
  form.SetTextColor(clBlack);
  form.SetLinkColor(clBlue);
  form.SetVLinkColor(clPurple);
  EXPECT_TRUE(Has(RenderActive(),
                  "<body onResize=\"return Body_OnResize();\" DIR=\"RTL\" BGCOLOR=\"#FFFFFF\" "
                  "BACKGROUND=\"/RequestQX9/Files/J0143750.GIF\" BGPROPERTIES=\"fixed\" Text=\"#000000\" "
                  "Link=\"#0000FF\" VLink=\"#800080\" TOPMARGIN=\"0\""));
  // A file that lies in the files folder keeps its path below it.
  form.Background().SetFilename(Controller().FilesDir() + "img/back.gif");
  EXPECT_TRUE(Has(RenderActive(), "BACKGROUND=\"/RequestQX9/Files/img/back.gif\""));
  form.Background().SetURL("http://x/y.gif");
  EXPECT_TRUE(Has(RenderActive(), "BACKGROUND=\"http://x/y.gif\""));
}

TEST_F(PageTest, HeadPartsFromTheControllerAndTheForm) {
  TTestScreen& form = NewScreen();
  Controller().SetCharSet("windows-1252");
  Controller().SetPageTransitions(true);
  Controller().SetEnableImageToolbar(true);
  Controller().HTMLHeaders().Add("<meta name=\"a\" content=\"b\">");
  Controller().NoJavaScriptSupport().SetURL("/files/nojs.htm");
  form.StyleSheet().SetURL("/files/normal.css");
  form.SetExtraHeader({"<link rel=\"icon\" href=\"x\">"});
  form.SetJavaScript({"var a = 1;", "var b = 2;"});
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=windows-1252\">"
                        "<meta http-equiv=\"cache-control\""));
  EXPECT_TRUE(Has(page, "</style><meta http-equiv=\"Page-Enter\" content=\"blendTrans(Duration=0.25)\"><script"));
  EXPECT_TRUE(Has(page, "}</script><link rel=\"icon\" href=\"x\">\r\n<META HTTP-EQUIV=\"MSThemeCompatible\""));
  EXPECT_TRUE(Has(page, "9.0.17\"><meta name=\"a\" content=\"b\">\r\n<NOSCRIPT><META HTTP-EQUIV=\"Refresh\" "
                        "CONTENT=\"0;URL=/files/nojs.htm\"></NOSCRIPT><META HTTP-EQUIV=\"Expires\""));
  EXPECT_FALSE(Has(page, "imagetoolbar"));
  EXPECT_TRUE(Has(page, "CONTENT=\"-1\"><div id=\"submitform_stylesheet\"><link rel=\"stylesheet\" "
                        "type=\"text/css\" href=\"/files/normal.css\"></div>\r\n<script"));
  EXPECT_TRUE(Has(page, "var GActiveControl=null;\r\nvar a = 1;\r\nvar b = 2;\r\n\r\nfunction Validate()"));
}

TEST_F(PageTest, TheFormTakesTheControllersStyleSheetWhenItHasNone) {
  Controller().StyleSheet().SetFileName("normal.css");
  TTestScreen& form = NewScreen();
  EXPECT_EQ(form.StyleSheet().Filename(), "normal.css");
  EXPECT_TRUE(Has(RenderActive(), "href=\"/RequestQX9/Files/normal.css\""));
}

TEST_F(PageTest, TheStyleSheetCannotChangeDuringAPartialUpdate) {
  TTestScreen& form = NewScreen();
  App().SetIsPartialUpdate(true);
  try {
    form.StyleSheet().SetURL("/x.css");
    FAIL() << "the change must be refused";
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "That change is not supported during partial update.");
  }
  EXPECT_EQ(form.StyleSheet().URL(), "");
}

TEST_F(PageTest, TheBrowsersOwnScript) {
  NewScreen();
  StartSession(brNetscape7);
  NewScreen();
  EXPECT_TRUE(Has(RenderActive(), "/js/IWGecko.js_9.0.17"));
  StartSession(brOpera);
  NewScreen();
  std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "/js/IWOpera.js_9.0.17"));
  EXPECT_FALSE(Has(page, "IWExplorer"));
  Controller().SetUseInternalFiles(false);
  Controller().SetInternalFilesURL("/static");
  page = RenderActive();
  EXPECT_TRUE(Has(page, "<script type=\"text/javascript\" src=\"/static/js/IWPreScript.js\"></script>"));
  EXPECT_TRUE(Has(page, "src=\"/static/js/IWCommon.js\"></script>"));
}

TEST_F(PageTest, ValidationsMakeValidate) {
  class TRequiredEdit : public TTestEdit {
   public:
    std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override {
      context.PageContext().AddValidation(ElementName() + "IWCL != null && " + ElementName() +
                                              "IWCL.value.length==0",
                                          "User is a required field.");
      return TTestEdit::RenderMarkup(context);
    }
  };
  TTestScreen& form = NewScreen();
  TRequiredEdit& edit = CreateComponent<TRequiredEdit>(form);
  edit.SetName("edtUser");
  edit.SetParent(&form);
  EXPECT_TRUE(Has(RenderActive(),
                  "function Validate() {\r\n"
                  "  if(EDTUSERIWCL != null && EDTUSERIWCL.value.length==0) {\r\n"
                  "    ReleaseLock();\r\n"
                  "    window.alert(\"User is a required field.\");\r\n"
                  "    return false;\r\n"
                  "  }\r\n"
                  "  return true;\r\n}\r\n\r\n"
                  "function InitIWCLObjects()"));
}

TEST_F(PageTest, ACssClassReplacesTheGeneratedRule) {
  TTestScreen& form = NewScreen();
  TTestEdit& edit = AddControl<TTestEdit>(form, form, "edtUser", 5, 5, 10, 10);
  edit.SetCss("field");
  edit.SetRenderSize(false);
  std::string page = RenderActive();
  EXPECT_FALSE(Has(page, ".EDTUSERCSS"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"TEXT\" CLASS=\"field\" ID=\"EDTUSER\" NAME=\"EDTUSER\">"));
  // With its size rendered the style text goes inline, in front of the tag's own style.
  edit.SetRenderSize(true);
  edit.SetOnHTMLTag([](TObject*, TIWMarkupLanguageTag& tag) { tag.AddStringParam("data-x", "1"); });
  page = RenderActive();
  EXPECT_TRUE(Has(page, "CLASS=\"field\" STYLE=\"position:absolute;left:5px;"));
  EXPECT_TRUE(Has(page, "NAME=\"EDTUSER\" data-x=\"1\">"));
}

TEST_F(PageTest, RegionsHoldTheirControlsAndFramesContributeTheirComponents) {
  TTestScreen& form = NewScreen();
  TTestFrame& frame = CreateComponent<TTestFrame>(form);
  frame.SetName("fraHead");
  frame.SetParent(&form);
  frame.SetBounds(0, 0, 300, 40);
  TIWRegion& head = CreateComponent<TIWRegion>(frame);
  head.SetName("regHead");
  head.SetParent(&frame);
  head.SetBounds(0, 0, 300, 40);
  AddControl<TTestLabel>(frame, head, "lblUser", 8, 8, 100, 16).SetCaption("Welcome");
  CreateComponent<TTestTimer>(frame).SetName("tmrHome");
  TIWRegion& body = AddControl<TIWRegion>(form, form, "regBody", 0, 50, 300, 100);
  AddControl<TTestEdit>(form, body, "edtA", 10, 10, 50, 20);
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "<div STYLE=\"border-style:solid;border-width:1;overflow-x:auto;overflow-y:auto;"
                        "padding:0;clip:rect(0px,300px,40px,0px);\" CLASS=\"FRAHEADREGHEADCSS\" "
                        "ID=\"FRAHEADREGHEAD\"><span CLASS=\"LBLUSERFRAHEADCSS\" ID=\"LBLUSERFRAHEAD\">"
                        "Welcome</span></div>"));
  EXPECT_TRUE(Has(page, "ID=\"REGBODY\"><form onSubmit=\"return FormDefaultSubmit();\"><input TYPE=\"TEXT\" "
                        "CLASS=\"EDTACSS\" ID=\"EDTA\" NAME=\"EDTA\"></form></div>"));
  EXPECT_TRUE(Has(page, ".LBLUSERFRAHEADCSS {position:absolute;left:7px;top:7px;"));
  EXPECT_TRUE(Has(page, "IWTop().FRAHEADTMRHOME_ID=null;\r\n"));
  EXPECT_TRUE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"EDTA\">"));

  // A frame with an "IWFrameRegion" contributes that region only.
  TIWRegion& frameRegion = CreateComponent<TIWRegion>(frame);
  frameRegion.SetName("IWFrameRegion");
  frameRegion.SetParent(&frame);
  const std::string second = RenderActive();
  EXPECT_TRUE(Has(second, "ID=\"FRAHEADIWFRAMEREGION\""));
  EXPECT_FALSE(Has(second, "ID=\"FRAHEADREGHEAD\""));
  EXPECT_FALSE(Has(second, "TMRHOME"));

  // Element names are worked out for each page: after renaming the frame between pages, and
  // the frame's region in a render event.
  frame.SetName("fraTop");
  form.SetOnRender([&](TObject*) { frameRegion.SetName("regTop"); });
  const std::string third = RenderActive();
  EXPECT_TRUE(Has(third, "ID=\"FRATOPREGTOP\""));
  EXPECT_TRUE(Has(third, "ID=\"LBLUSERFRATOP\""));
  EXPECT_TRUE(Has(third, "IWTop().FRATOPTMRHOME_ID=null;\r\n"));
  EXPECT_FALSE(Has(third, "FRAHEAD"));
}

TEST_F(PageTest, RenderEventsRunFormFirstThenContainersInPreOrderAndAfterRenderLast) {
  TTestScreen& form = NewScreen();
  std::vector<std::string> order;
  form.SetOnRender([&](TObject*) { order.push_back("form"); });
  form.SetOnAfterRender([&](TObject*) { order.push_back("after"); });
  TIWRegion& outer = AddControl<TIWRegion>(form, form, "regOuter", 0, 0, 100, 100);
  outer.SetOnRender([&](TObject*) { order.push_back("outer"); });
  AddControl<TIWRegion>(form, outer, "regInner", 0, 0, 10, 10).SetOnRender([&](TObject*) {
    order.push_back("inner");
  });
  TTestFrame& frame = CreateComponent<TTestFrame>(form);
  frame.SetName("fra1");
  frame.SetParent(&form);
  TIWRegion& inFrame = CreateComponent<TIWRegion>(frame);
  inFrame.SetName("regFrame");
  inFrame.SetParent(&frame);
  inFrame.SetOnRender([&](TObject*) { order.push_back("frame"); });
  AddControl<TIWRegion>(form, form, "regLast", 0, 0, 10, 10).SetOnRender([&](TObject*) {
    order.push_back("last");
  });
  RenderActive();
  EXPECT_EQ(order, (std::vector<std::string>{"form", "outer", "inner", "frame", "last", "after"}));
}

TEST_F(PageTest, AFailureWhileRenderingReachesTheCallerAndWritesNothing) {
  TTestScreen& form = NewScreen();
  form.SetOnRender([](TObject*) { throw EIWException("render failed"); });
  App().PreparePage();
  TMemoryStream out;
  EXPECT_THROW(form.RenderPage(out), EIWException);
  EXPECT_EQ(out.Size(), 0);
}

TEST_F(PageTest, TheBrowserSizeReLaysOutTheFormsControls) {
  TTestScreen& form = NewScreen();
  TTestEdit& right = AddControl<TTestEdit>(form, form, "edtRight", 200, 10, 80, 20);
  right.SetAnchors({akTop, akRight});
  TTestEdit& wide = AddControl<TTestEdit>(form, form, "edtWide", 10, 40, 280, 20);
  wide.SetAnchors({akLeft, akTop, akRight});
  TIWRegion& top = AddControl<TIWRegion>(form, form, "regTop", 0, 0, 300, 5);
  top.SetAlign(alTop);
  App().Resize(800, 600);
  EXPECT_EQ(form.Bounds(), (TBounds{0, 0, 800, 600}));
  EXPECT_EQ(right.Left(), 700);
  EXPECT_EQ(wide.Width(), 780);
  EXPECT_EQ(top.Width(), 800);
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page, "InitRects(800, 600);"));
  EXPECT_TRUE(Has(page, ".EDTRIGHTCSS {position:absolute;left:700px;top:10px;"));
  // A form shown later fills the known window size at once.
  TTestScreen& next = NewScreen("frmNext");
  EXPECT_EQ(next.Bounds(), (TBounds{0, 0, 800, 600}));
}

TEST_F(PageTest, TheServerResizeScriptNamesTheControlsThatMoved) {
  TTestScreen& form = NewScreen();
  TTestEdit& right = AddControl<TTestEdit>(form, form, "edtRight", 200, 10, 80, 20);
  right.SetAnchors({akTop, akRight});
  AddControl<TTestEdit>(form, form, "edtStill", 10, 10, 80, 20);
  TIWRegion& region = AddControl<TIWRegion>(form, form, "regAll", 0, 50, 300, 100);
  region.SetAnchors({akLeft, akTop, akRight});
  TTestEdit& inside = AddControl<TTestEdit>(form, region, "edtIn", 100, 10, 50, 20);
  inside.SetAnchors({akTop, akRight});
  int resized = 0;
  form.SetOnResize([&](TObject*) { ++resized; });
  App().Resize(400, 200);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(App().ActiveFormResizeScript(),
            "var lRect = new parent.Rect(300, 10, 80, 20);IWTop().EDTRIGHTIWCL.SetRect(lRect);"
            "IWTop().EDTRIGHTIWCL.Rect = IWTop().CopyRect(lRect);"
            "var lRect = new parent.Rect(0, 50, 400, 100);IWTop().REGALLIWCL.SetRect(lRect);"
            "IWTop().REGALLIWCL.Rect = IWTop().CopyRect(lRect);"
            "var lRect = new parent.Rect(199, 9, 50, 20);IWTop().EDTINIWCL.SetRect(lRect);"
            "IWTop().EDTINIWCL.Rect = IWTop().CopyRect(lRect);");
}

// A file-upload control: it posts a file from a frame of its own.
class TTestUpload : public TTestEdit, public IIWUploadControl {
 public:
  std::string UploadFrame() const override { return ElementName() + "_FRAME"; }
  IIWUploadControl* AsUploadControl() noexcept override { return this; }
  bool IsFileField() const override { return true; }
};

TEST_F(PageTest, UploadControlsGetSubmitNextFileAndNoHiddenInput) {
  TTestScreen& form = NewScreen();
  for (const char* name : {"uplB", "uplA"}) {
    TTestUpload& upload = CreateComponent<TTestUpload>(form);
    upload.SetName(name);
    upload.SetParent(&form);
  }
  TTestButton& button = AddControl<TTestButton>(form, form, "btnSend", 0, 0, 1, 1);
  button.SetOnClick([](TObject*) {});
  const std::string page = RenderActive();
  EXPECT_TRUE(Has(page,
                  "var file=0;\r\nfunction SubmitNextFile(AName,AParam){\r\n"
                  "if (file==0){\r\nUPLA_FRAME.document.forms[0].IW_MainPageSubmitControl.value=AName;\r\n"
                  "UPLA_FRAME.document.forms[0].IW_MainPageSubmitControlParam.value=AParam;\r\n"
                  "UPLA_FRAME.document.forms[0].IW_TrackID_.value=(file+GTrackID);\r\n"
                  "UPLA_FRAME.document.forms[0].submit();\r\n} else if (file==1){\r\n"
                  "UPLB_FRAME.document.forms[0].IW_MainPageSubmitControl.value=AName;\r\n"));
  EXPECT_TRUE(Has(page, "} else { SubmitClickConfirm(AName,AParam,false,\"\");}\r\nfile++;return false;\r\n}\r\n"));
  EXPECT_FALSE(Has(page, "<input TYPE=\"HIDDEN\" NAME=\"UPLA\">"));
  EXPECT_TRUE(Has(page, "function BTNSEND_onclick() {\r\n"
                        "if (Validate()){SubmitNextFile('BTNSEND','');return true;}else{return false;};\r\n}"));
}

}  // namespace
}  // namespace qx::test

namespace qx::test {
namespace {

TEST(PartialUpdatePage, RunsThePartialScriptsInTheMainPage) {
  TIWPageContext40 page(brIE, "");
  EXPECT_EQ(TIWLayoutMgrForm::PartialUpdatePage(page, 300, 200, "", "/RequestQX9", false),
            "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=\">"
            "<script type=\"text/javascript\" src=\"/RequestQX9/js/IWPartialUpdate.js_9.0.17\"></script>"
            "<script>function updateControls() {}function init() { updateControls();"
            "setTimeout(\"\");\r\nIWTop().SetBusy(false);IWTop().GSubmitting=false;IWTop().ValidClick=true;}"
            "</script></head><body onload=\"init()\"><form></form></body></html>");
  page.AddPartialScript("IWUpdate(\"A\",\"x\");");
  page.AddPartialA("a();");
  page.AddPartialB("b(\"1\");");
  page.AddPartialC("c();");
  page.AddPartialD("d();");
  EXPECT_EQ(TIWLayoutMgrForm::PartialUpdatePage(page, 640, 480, "utf-8", "", false),
            "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=utf-8\">"
            "<script type=\"text/javascript\" src=\"/js/IWPartialUpdate.js_9.0.17\"></script>"
            "<script>function updateControls() {IWUpdate(\"A\",\"x\");}function init() { updateControls();"
            "IWTop().InitRects(640, 480);IWTop().InitIWCLObjects();a();\r\nd();\r\n"
            "setTimeout(\"c();\\nb(\\\"1\\\");\\n\");\r\nIWTop().SetBusy(false);IWTop().Body_OnResize();"
            "IWTop().GSubmitting=false;IWTop().ValidClick=true;}"
            "</script></head><body onload=\"init()\"><form></form></body></html>");
}

class PartialPageTest : public FormsFixture {};

TEST_F(PartialPageTest, APartialUpdateFormPostsThroughTheHiddenFormIntoTheSubmitFrame) {
  Controller().SetOnGetSessionID([](TIWApplication&, std::string& id) { id = "p1"; });
  StartSession();
  TTestScreen& form = NewScreen();
  form.SetUpdateMode(umPartial);
  AddControl<TTestEdit>(form, form, "edtA", 0, 0, 10, 10);
  App().PreparePage();
  const std::string page = Render(form);
  EXPECT_NE(page.find("var GIsPartialUpdate=true;"), std::string::npos);
  EXPECT_EQ(page.find("name=\"SubmitForm\""), std::string::npos);
  EXPECT_NE(page.find("<form method=\"POST\" name=\"HiddenSubmitForm\" ACTION=\"/RequestQX9/UPDATE?p10\" "
                      "style=\"position:absolute;left:-100000px;top:-100000px;visibility:hidden;display:none;\">"
                      "\r\n  <input TYPE=\"HIDDEN\" NAME=\"IW_SessionID_\" VALUE=\"p1\">"
                      "\r\n  <input TYPE=\"HIDDEN\" NAME=\"IW_TrackID_\" VALUE=\"0\">\r\n</form>"
                      "<iframe ID=\"SubmitFrame\" style=\"position:absolute;left:-1000px;top:-1000px\" "
                      "src=\"/RequestQX9/Cache/user/p1/HTM"),
            std::string::npos);
  // The frame's page is a file of the session holding the submit form.
  const std::size_t src = page.find("/Cache/user/p1/") + 15;
  const std::string file = page.substr(src, page.find('"', src) - src);
  const auto reply = ReadFileBytes(App().UserCacheDir() + file);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->rfind("<html><head><META HTTP-EQUIV=\"Content-Type\"", 0), 0u);
  EXPECT_NE(reply->find("<form method=\"POST\" name=\"SubmitForm\" ACTION=\"/RequestQX9/UPDATE?p10\">\r\n"
                        "  <input TYPE=\"HIDDEN\" NAME=\"EDTA\">"),
            std::string::npos);
}

}  // namespace
}  // namespace qx::test
