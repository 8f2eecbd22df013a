// The reply of an asynchronous callback through real controls and the real post processing:
// the controls the callback changed come back as update elements, no others do; and the pages
// whose callbacks carry the input controls' changes.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWComboBox.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "forms/FakeRequest.h"

namespace qx::test {
namespace {

class CallbackReply : public Controls {
 protected:
  // The reply text of one callback request with `fields`.
  std::string Callback(const TStringList& fields) {
    TFakeRequest request;
    TFakeResponse response(request);
    App().AttachRequest(request, response, nullptr);
    App().ProcessCallback(fields);
    App().DetachRequest();
    return response.Content();
  }
};

TEST_F(CallbackReply, CarriesTheShowingControlsTheCallbackChangedAndNoOthers) {
  TIWAppForm& form = NewForm(brSafari);
  auto& log = AddControl<TIWLabel>(form, form, "lblLog", 0, 0, 100, 20);
  auto& hidden = AddControl<TIWLabel>(form, form, "lblHidden", 0, 30, 100, 20);
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 60, 100, 20);
  auto& button = AddControl<TIWButton>(form, form, "btnSave", 0, 90, 75, 25);
  hidden.SetVisible(false);
  edit.SetText("old");
  button.SetAsyncEvent<aeClick>([&](TObject*, const TStringList& params) {
    log.SetCaption("saved <" + params.Values("x") + ">");
    hidden.SetCaption("not shown");
  });
  form.RenderPageText();

  // The edit takes its posted value before the callback runs; the button stays as it was.
  EXPECT_EQ(Callback({"callback=BTNSAVE.DoOnAsyncClick", "x=7", "EDTNAME=new \xe9"}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><response>\r\n"
            "  <update><control id=\"LBLLOG\" type=\"IWLABEL\">\r\n"
            "  <innerhtml><![CDATA[saved &lt;7&gt;]]></innerhtml>\r\n"
            "</control><control id=\"EDTNAME\" type=\"IWEDIT\">\r\n"
            "  <readonly><![CDATA[false]]></readonly>\r\n"
            "  <text><![CDATA[new \xc3\xa9]]></text>\r\n"
            "  <bgcolor><![CDATA[]]></bgcolor>\r\n"
            "  <alignment><![CDATA[text-align:left;]]></alignment>\r\n"
            "</control></update>\r\n"
            "  <execute></execute>\r\n"
            "</response>");
  // An unknown callback changes nothing, so nothing comes back.
  EXPECT_EQ(Callback({"callback=BTNSAVE.DoOnAsyncNothing", "EDTNAME=new \xe9"}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><response>\r\n"
            "  <update></update>\r\n  <execute></execute>\r\n</response>");
  EXPECT_EQ(log.Caption(), "saved <7>");
}

TEST_F(CallbackReply, InputControlsReportTheirChangesOnlyOnPagesWithCallbacks) {
  TIWAppForm& form = NewForm(brSafari);
  AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  AddControl<TIWMemo>(form, form, "memNotes", 0, 30, 100, 40);
  AddControl<TIWCheckBox>(form, form, "chkDone", 0, 80, 100, 20);
  AddControl<TIWComboBox>(form, form, "cmbKind", 0, 110, 100, 20).Items().Add("a");
  AddControl<TIWListbox>(form, form, "lstKind", 0, 140, 100, 40).Items().Add("a");
  auto& button = AddControl<TIWButton>(form, form, "btnSave", 0, 190, 75, 25);
  const std::string tracking = "OnControlContentChange(event);";
  const std::string without = form.RenderPageText();
  EXPECT_EQ(without.find(tracking), std::string::npos);

  // A callback anywhere on the form: every input control reports its change, clicks and keys
  // included, so that the callback carries it; the button has nothing to report.
  button.SetAsyncEvent<aeClick>([](TObject*, const TStringList&) {});
  const std::string with = form.RenderPageText();
  for (const char* control : {"EDTNAME", "MEMNOTES", "CHKDONE", "CMBKIND", "LSTKIND"})
    for (const char* event : {"onchange", "onkeypress", "onclick", "onselect"})
      EXPECT_NE(with.find(std::string("function ") + control + "_" + event + "(event) {\r\n" + tracking), std::string::npos)
          << control << " " << event;
  std::size_t count = 0;
  for (std::size_t at = with.find(tracking); at != std::string::npos; at = with.find(tracking, at + 1)) ++count;
  EXPECT_EQ(count, 20u);
  EXPECT_NE(with.find("function BTNSAVE_onclick(event) {\r\nprocessAjaxEvent("), std::string::npos);
}

}  // namespace
}  // namespace qx::test
