// The reply to a partial-update post through real controls, the real post processing and the
// application's render: the submit frame's page that updates the changed controls in place,
// and the page that sends the main window on when the post left another form active.
#include <gtest/gtest.h>

#include <functional>

#include "controls/ControlsUnit.h"
#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWText.h"
#include "forms/FakeRequest.h"
#include "forms/FormsFixture.h"
#include "server/SystemPages.h"

namespace qx::test {
namespace {

class PartialReply : public FormsFixture {
 protected:
  PartialReply() {
    InitializeControlsUnit();
    Controller().SetOnGetSessionID([](TIWApplication&, std::string& id) { id = "p1"; });
    StartSession(brSafari);
    form_ = &CreateComponent<TIWAppForm>(App());
    form_->SetName("frmPartial");
    form_->SetUpdateMode(umPartial);
    form_->Show();
    status_ = &AddControl<TIWText>(*form_, *form_, "txtStatus", 8, 8, 200, 21);
    still_ = &AddControl<TIWLabel>(*form_, *form_, "lblStill", 8, 40, 200, 21);
    name_ = &AddControl<TIWEdit>(*form_, *form_, "edtName", 8, 72, 120, 21);
    go_ = &AddControl<TIWButton>(*form_, *form_, "btnGo", 8, 104, 75, 25);
    status_->SetRawText(true);
    status_->SetLines({"Waiting"});
    still_->SetCaption("Unchanged");
    name_->SetText("Ana");
    go_->SetOnClick([this](TObject*) { onClick(); });
    App().PreparePage();
    Render(*form_);
  }

  // The reply to a partial-update post of the page with track number `track` that names
  // `action` (the button by default) and posts the edit's unchanged text, handled as the
  // dispatcher hands it over.
  std::string PartialPost(int track, const std::string& action = "BTNGO") {
    TFakeRequest request;
    TFakeResponse response(request);
    App().AttachRequest(request, response, nullptr);
    App().SetIsPartialUpdate(true);
    App().Execute({"IW_SessionID_=p1", "IW_TrackID_=" + IntToStr(track), "IW_Action=" + action,
                   "IW_ActionParam=", "IW_FormName=frmPartial", "IW_FormClass=TIWAppForm", "EDTNAME=Ana"});
    TMemoryStream page;
    App().Render(page);
    App().DetachRequest();
    return page.TakeBytes();
  }

  TIWAppForm* form_ = nullptr;
  TIWText* status_ = nullptr;
  TIWLabel* still_ = nullptr;
  TIWEdit* name_ = nullptr;
  TIWButton* go_ = nullptr;
  std::function<void()> onClick;
};

TEST_F(PartialReply, UpdatesTheChangedControlsInPlaceAndCarriesTheNewSubmitForm) {
  // One changed control, whose raw markup would end or disturb a script element if it were
  // not escaped; an alert queued by the handler; the edit posts the value it already had, so
  // it, the other label and the button send nothing.
  onClick = [&] {
    status_->SetLines({"<b>Saved</b>", "</script><!--<script> \"a\\b\""});
    App().ShowMessage("Done");
  };
  EXPECT_EQ(PartialPost(0),
            "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=\">"
            "<script type=\"text/javascript\" src=\"/RequestQX9/js/IWPartialUpdate.js_9.0.17\"></script>"
            "<script>function updateControls() {"
            "IWUpdate(\"TXTSTATUS\",\"\\x3Cdiv STYLE=\\\"position:absolute;left:7px;top:7px;z-index:100;"
            "width:200px;height:21px;font-style:normal;font-weight:normal;font-size:13px;"
            "text-decoration: none;\\\" ID=\\\"TXTSTATUS\\\">"
            "\\x3Cb>Saved\\x3C/b>\\r\\n\\x3C/script>\\x3C!--\\x3Cscript> \\\"a\\\\b\\\"\\r\\n"
            "\\x3C/div>\");\r\n"
            "IWCLUpdate(\"TXTSTATUS\",true,7,7,200,21);\r\n"
            "}function init() { updateControls();IWTop().InitRects(300, 200);IWTop().InitIWCLObjects();"
            "IWTop().GTrackID=1;\r\nwindow.alert(\"Done\");\r\n\r\n"
            "setTimeout(\"\");\r\nIWTop().SetBusy(false);IWTop().Body_OnResize();"
            "IWTop().GSubmitting=false;IWTop().ValidClick=true;}</script></head><body onload=\"init()\">"
            "<form method=\"POST\" name=\"SubmitForm\" ACTION=\"/RequestQX9/UPDATE?p11\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"EDTNAME\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_Action\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_ActionParam\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_FormName\" VALUE=\"frmPartial\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_FormClass\" VALUE=\"TIWAppForm\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_SessionID_\" VALUE=\"p1\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_width\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_height\">\r\n"
            "  <input TYPE=\"HIDDEN\" NAME=\"IW_TrackID_\" VALUE=\"1\">\r\n"
            "</form></body></html>");

  // The next post hides the edit and moves the label: both are sent, the hidden one hidden and
  // still in the page, so that a later update can show it; the text, unchanged since this
  // post began, is not sent; the hidden edit no longer posts a value.
  onClick = [&] {
    name_->SetVisible(false);
    still_->SetLeft(100);
  };
  const std::string reply = PartialPost(1);
  const std::size_t edit = reply.find("IWUpdate(\"EDTNAME\",\"\\x3Cinput ");
  ASSERT_NE(edit, std::string::npos) << reply;
  EXPECT_NE(reply.find("visibility:hidden;", edit), std::string::npos);
  EXPECT_NE(reply.find("IWCLUpdate(\"EDTNAME\",false,7,71,120,21);\r\n}"), std::string::npos);
  EXPECT_NE(reply.find("IWUpdate(\"LBLSTILL\",\"\\x3Cspan style=\\\"position:absolute;left:99px;top:39px;"),
            std::string::npos);
  EXPECT_NE(reply.find("IWCLUpdate(\"LBLSTILL\",true,99,39,200,21);\r\nIWUpdate(\"EDTNAME\""),
            std::string::npos);
  EXPECT_EQ(reply.find("TXTSTATUS"), std::string::npos);
  EXPECT_EQ(reply.find("NAME=\"EDTNAME\""), std::string::npos);
  EXPECT_NE(reply.find("IWTop().GTrackID=2;\r\n"), std::string::npos);
  EXPECT_NE(reply.find("ACTION=\"/RequestQX9/UPDATE?p12\""), std::string::npos);
  EXPECT_NE(reply.find("NAME=\"IW_TrackID_\" VALUE=\"2\""), std::string::npos);
  // A whole page of the form shows the hidden edit hidden.
  App().SetIsPartialUpdate(false);
  EXPECT_NE(
      Render(*form_).find(".EDTNAMECSS {position:absolute;left:7px;top:71px;z-index:100;visibility:hidden;"),
      std::string::npos);

  // A post naming no control of the form changes nothing: no update, the error shown over the
  // unchanged page, which gets the new submit form.
  onClick = [] { ADD_FAILURE() << "no handler runs"; };
  const std::string refused = PartialPost(2, "BTNNONE");
  EXPECT_EQ(refused.find("IWUpdate("), std::string::npos);
  EXPECT_NE(refused.find("IWTop().GTrackID=3;\r\nwindow.alert(\"Cannot find submit component.\");"),
            std::string::npos);
  EXPECT_NE(refused.find("NAME=\"IW_TrackID_\" VALUE=\"3\""), std::string::npos);

  // A post whose handler shows another form cannot be answered in place: the main window
  // fetches that form's page with a post that names no action.
  TIWAppForm& other = CreateComponent<TIWAppForm>(App());
  other.SetName("frmOther");
  onClick = [&] { other.Show(); };
  EXPECT_EQ(PartialPost(3), std::string("<html>\r\n<head>\r\n<script>\r\n") + kTopWindowFunction +
                                " IWTop().window.location.href = \"/RequestQX9/EXEC/4/p1\";</script>\r\n"
                                "</head></html>");
  EXPECT_EQ(App().ActiveForm(), &other);
}

}  // namespace
}  // namespace qx::test
