// Post processing: the order of its effects, posted values (hidden fields, merged names, one
// control per line, gathered rejections), finding the action control in containers and frames,
// default actions and callbacks.
#include "forms/Submission.h"

#include <gtest/gtest.h>

#include "FormsFixture.h"
#include "runtime/Strings.h"

namespace qx::test {

// An edit that refuses every value with its own message.
class TRejectingEdit : public TTestEdit {
  QX_CLASS(TRejectingEdit, TTestEdit)

 public:
  void ApplySubmittedValue(const std::string& value) override {
    throw EConvertError("'" + value + "' is not valid");
  }
};

// A control that answers to a field named "SHARED", whatever its own name.
class TSharedFieldEdit : public TTestEdit {
  QX_CLASS(TSharedFieldEdit, TTestEdit)

 public:
  bool OwnsField(std::string_view name) const override { return name == "SHARED"; }
};

const TClassInfo& TRejectingEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TRejectingEdit>("TRejectingEdit").Build();
  return info;
}
const TClassInfo& TSharedFieldEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSharedFieldEdit>("TSharedFieldEdit").Build();
  return info;
}

namespace {

class Submission : public FormsFixture {
 protected:
  Submission() {
    StartSession();
    form_ = &CreateComponent<TIWAppForm>(App());
    form_->SetName("frmPost");
    form_->Show();
    edit_ = &AddControl<TTestEdit>(*form_, *form_, "edtName", 10, 10, 100, 20);
    button_ = &AddControl<TTestButton>(*form_, *form_, "btnSave", 10, 40, 75, 25);
    button_->SetOnClick([this](TObject*) { log_.push_back("click:" + edit_->Text()); });
    form_->SetOnDefaultAction([this](TObject*) { log_.push_back("default"); });
  }

  // Processes a post of `fields` ("name=value" lines) by the form.
  void Post(std::initializer_list<std::string> fields) {
    form_->PostedValues() = TStringList(fields);
    form_->ProcessPost();
  }
  std::string Failure(std::initializer_list<std::string> fields) {
    try {
      Post(fields);
    } catch (const EIWException& e) {
      return e.Message();
    }
    return "no failure";
  }

  TIWAppForm* form_ = nullptr;
  TTestEdit* edit_ = nullptr;
  TTestButton* button_ = nullptr;
  std::vector<std::string> log_;
};

TEST_F(Submission, ValuesComeFirstThenTheActionAndNoDefaultAction) {
  edit_->MarkChanged();
  Post({"EDTNAME=Ana", "IW_Action=BTNSAVE", "IW_ActionParam=", "IW_FormName=frmPost",
        "IW_FormClass=TIWAppForm"});
  EXPECT_EQ(log_, (std::vector<std::string>{"click:Ana"}));
  // Marks are cleared before the post is applied (this edit marks nothing itself).
  EXPECT_FALSE(edit_->Changed());
  // The processed list keeps the values only.
  EXPECT_EQ(form_->PostedValues().Text(), "EDTNAME=Ana\r\n");
}

TEST_F(Submission, WithoutActionAndParameterNothingIsAppliedButTheSize) {
  edit_->SetText("kept");
  Post({"EDTNAME=lost", "IW_Action=", "IW_ActionParam=", "IW_width=640", "IW_height=480"});
  EXPECT_EQ(edit_->Text(), "kept");
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(form_->Width(), 640);
  EXPECT_EQ(form_->Height(), 480);
  EXPECT_EQ(App().FormWidth(), 640);
  EXPECT_EQ(App().FormHeight(), 480);
}

TEST_F(Submission, ASizeThatIsNoNumberKeepsTheFormsOwn) {
  form_->SetBounds(0, 0, 500, 300);
  Post({"IW_Action=", "IW_ActionParam=", "IW_width=wide", "IW_height=200"});
  EXPECT_EQ(form_->Width(), 500);
  EXPECT_EQ(form_->Height(), 200);
}

TEST_F(Submission, HiddenFieldsTakeTheirValuesFirst) {
  TStringList hidden{"EDTNAME=old", "Empty=x"};
  form_->SetHiddenFields(hidden);
  Post({"EDTNAME=from the page", "Empty=", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(form_->HiddenFields().Values("EDTNAME"), "from the page");
  // An empty value is a value too.
  EXPECT_EQ(form_->HiddenFields()[1], "Empty=");
  // The line went to the hidden field, not to the control of the same name.
  EXPECT_EQ(edit_->Text(), "");
}

TEST_F(Submission, RepeatedNamesAreJoinedInPostOrder) {
  Post({"EDTNAME=a", "EDTNAME=b", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(edit_->Text(), "a,b");
  Post({"EDTNAME=", "EDTNAME=second", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(edit_->Text(), "second");
}

TEST_F(Submission, ALineGoesToOneControlThatTakesIt) {
  auto& first = AddControl<TSharedFieldEdit>(*form_, *form_, "edtFirst", 0, 0, 10, 10);
  auto& second = AddControl<TSharedFieldEdit>(*form_, *form_, "edtSecond", 0, 0, 10, 10);
  Post({"SHARED=one", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(first.Text(), "one");
  EXPECT_EQ(second.Text(), "");
  // Invisible and non-editable controls are passed over.
  first.SetVisible(false);
  Post({"SHARED=two", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(first.Text(), "one");
  EXPECT_EQ(second.Text(), "two");
  second.SetEditable(false);
  Post({"SHARED=three", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_EQ(second.Text(), "two");
}

TEST_F(Submission, FieldNamesMatchWhateverCaseTheBrowserSends) {
  Post({"edtname=lower", "IW_Action=btnsave", "IW_ActionParam="});
  EXPECT_EQ(edit_->Text(), "lower");
  EXPECT_EQ(log_.back(), "click:lower");
}

TEST_F(Submission, RejectedValuesAreReportedTogetherAndTheOthersApplied) {
  AddControl<TRejectingEdit>(*form_, *form_, "edtAge", 0, 0, 10, 10);
  auto& date = AddControl<TRejectingEdit>(*form_, *form_, "edtDate", 0, 0, 10, 10);
  date.SetFriendlyName("Date of birth");
  EXPECT_EQ(Failure({"EDTAGE=x", "EDTNAME=kept", "EDTDATE=y", "IW_Action=BTNSAVE", "IW_ActionParam="}),
            "The following exceptions occured\r\n  edtAge: 'x' is not valid\r\n"
            "  Date of birth: 'y' is not valid\r\n");
  EXPECT_EQ(edit_->Text(), "kept");
  // The action does not run after a rejection.
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(Failure({"EDTAGE=z", "IW_Action=BTNSAVE", "IW_ActionParam="}),
            "The following exception occured\r\n  edtAge: 'z' is not valid\r\n");
}

TEST_F(Submission, TheActionControlMustExistAndSubmit) {
  AddControl<TTestLabel>(*form_, *form_, "lblInfo", 0, 0, 10, 10);
  EXPECT_EQ(Failure({"IW_Action=NOSUCH", "IW_ActionParam="}), kCannotFindSubmitComponent);
  EXPECT_EQ(Failure({"IW_Action=LBLINFO", "IW_ActionParam="}),
            "Submit control (LBLINFO) does not have a handler.");
}

TEST_F(Submission, ADisabledControlRunsNothingUnlessEnterAskedForTheDefault) {
  button_->SetEnabled(false);
  Post({"EDTNAME=v", "IW_Action=BTNSAVE", "IW_ActionParam="});
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(edit_->Text(), "v");
  Post({"IW_Action=BTNSAVE", "IW_ActionParam=Default"});
  EXPECT_EQ(log_, (std::vector<std::string>{"default"}));
}

TEST_F(Submission, ThePostOfAGroupWithoutButtonRunsTheDefaultAction) {
  Post({"EDTNAME=typed", "IW_Action=", "IW_ActionParam=default"});
  EXPECT_EQ(log_, (std::vector<std::string>{"default"}));
  EXPECT_EQ(edit_->Text(), "typed");
  // Relayed by the upload helper: the real action follows in its own post.
  log_.clear();
  Post({"IW_Action=", "IW_ActionParam=default", "IW_MainPageSubmitControl=BTNSAVE"});
  EXPECT_TRUE(log_.empty());
}

TEST_F(Submission, AnAbortEndsTheActionSilently) {
  button_->SetOnClick([](TObject*) { Abort(); });
  EXPECT_NO_THROW(Post({"IW_Action=BTNSAVE", "IW_ActionParam="}));
  EXPECT_TRUE(log_.empty());
}

TEST_F(Submission, ControlsInFramesAreFoundByTheirElementNames) {
  auto& frame = CreateComponent<TTestFrame>(*form_);
  frame.SetName("fraEncabezado1");
  frame.SetParent(form_);
  auto& region = CreateComponent<TIWRegion>(frame);
  region.SetName("regEncabezado");
  region.SetParent(&frame);
  auto& logout = AddControl<TTestButton>(frame, region, "lnkLogout", 0, 0, 10, 10);
  logout.SetOnClick([this](TObject*) { log_.push_back("logout"); });
  auto& top = AddControl<TTestButton>(frame, frame, "btnHelp", 0, 0, 10, 10);
  top.SetOnClick([this](TObject*) { log_.push_back("help"); });
  auto& searchBox = AddControl<TTestEdit>(frame, region, "edtSearch", 0, 0, 10, 10);

  Post({"EDTSEARCHFRAENCABEZADO1=needle", "IW_Action=LNKLOGOUTFRAENCABEZADO1", "IW_ActionParam="});
  EXPECT_EQ(searchBox.Text(), "needle");
  // At a frame's top level a control also answers to its name followed by the frame's.
  Post({"IW_Action=BTNHELPFRAENCABEZADO1", "IW_ActionParam="});
  EXPECT_EQ(log_, (std::vector<std::string>{"logout", "help"}));
  EXPECT_EQ(FindFieldComponents(*form_, "LNKLOGOUTFRAENCABEZADO1").size(), 1u);
}

TEST_F(Submission, AComponentOfTheFieldsNameIsTheOnlyMatch) {
  auto& shared = AddControl<TSharedFieldEdit>(*form_, *form_, "Shared", 0, 0, 10, 10);
  AddControl<TSharedFieldEdit>(*form_, *form_, "edtOther", 0, 0, 10, 10);
  std::vector<IIWBaseComponent*> found = FindFieldComponents(*form_, "SHARED");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], &shared);
}

TEST_F(Submission, ACallbackRunsWithThePostedValuesAndNoAction) {
  TStringList received;
  TComponent* receivedFor = nullptr;
  App().RegisterCallBack("BTNSAVE.DoOnAsyncClick", [&](TComponent* component, const TStringList& params) {
    receivedFor = component;
    received = params;
  }, button_);
  Post({"EDTNAME=async", "IW_Action=", "IW_ActionParam=", "callback=BTNSAVE.DoOnAsyncClick", "x=3"});
  EXPECT_EQ(receivedFor, button_);
  EXPECT_EQ(received.Values("callback"), "BTNSAVE.DoOnAsyncClick");
  EXPECT_EQ(received.Values("x"), "3");
  EXPECT_EQ(edit_->Text(), "async");
  EXPECT_TRUE(log_.empty());
  // An unknown callback does nothing at all.
  EXPECT_NO_THROW(Post({"IW_Action=", "IW_ActionParam=", "callback=NOSUCH.DoOnAsyncClick"}));
}

TEST_F(Submission, AFailingPostBecomesAnAlertOnTheSamePage) {
  App().Execute(TStringList{"IW_Action=NOSUCH", "IW_ActionParam="});
  EXPECT_NE(form_->ExtraInitScript().find("window.alert(\"Cannot find submit component.\");"),
            std::string::npos);
  EXPECT_EQ(App().ActiveForm(), form_);
}

}  // namespace
}  // namespace qx::test
