// The label, edit and button: their markup in a rendered page, the scripts they attach, the
// values they take, the actions they run, and their published properties in a definition.
#include <gtest/gtest.h>

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "ControlsFixture.h"

namespace qx::test {
namespace {

// ---- label ----------------------------------------------------------------------------------

TEST_F(Controls, ALabelEscapesItsCaptionWithLineBreaks) {
  TIWAppForm& form = NewForm();
  auto& label = AddControl<TIWLabel>(form, form, "lblInfo", 10, 20, 100, 20);
  label.SetCaption("a<b\nc & \"d\"");
  const std::string page = Render(form);
  EXPECT_NE(page.find("<span style=\"text-align:left;\" CLASS=\"LBLINFOCSS\" ID=\"LBLINFO\">"
                      "a&lt;b<br>c & &quot;d&quot;</span>"),
            std::string::npos) << page;
  // An auto-sized label writes no size, and it posts nothing.
  EXPECT_NE(page.find(".LBLINFOCSS {position:absolute;left:10px;top:20px;z-index:100;font-"),
            std::string::npos);
  EXPECT_EQ(page.find(".LBLINFOCSS {position:absolute;left:10px;top:20px;z-index:100;width"),
            std::string::npos);
  EXPECT_EQ(SubmitForm(page).find("LBLINFO"), std::string::npos);
}

TEST_F(Controls, ALabelsStyleFollowsItsAlignmentColourAndClass) {
  TIWAppForm& form = NewForm();
  auto& label = AddControl<TIWLabel>(form, form, "lblInfo", 0, 0, 100, 20);
  label.SetCaption("x y");
  label.SetAlignment(taCenter);
  label.SetBGColor(clRed);
  label.SetNoWrap(true);
  label.SetConvertSpaces(true);
  std::string page = Render(form);
  EXPECT_NE(page.find("<span style=\"text-align:center;background-color:#FF0000;\""), std::string::npos);
  EXPECT_NE(page.find("><NOBR>x&nbsp;y</NOBR></span>"), std::string::npos);
  label.SetCss("info");
  page = Render(form);
  EXPECT_NE(page.find("<span style=\"background-color:#FF0000;\" CLASS=\"info\""), std::string::npos);
}

TEST_F(Controls, ALabelForAControlIsALabelElement) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  auto& label = AddControl<TIWLabel>(form, form, "lblName", 0, 0, 100, 20);
  label.SetForControl(&edit);
  label.SetCaption("Name");
  EXPECT_NE(Render(form).find("<label for=\"EDTNAME\" style="), std::string::npos);
  // The link goes when the control goes.
  edit.Free();
  EXPECT_EQ(label.ForControl(), nullptr);
}

// ---- edit -----------------------------------------------------------------------------------

TEST_F(Controls, AnEditIsAnInputThatPostsItsText) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 120, 124, 161, 16);
  edit.SetText("O'Neil \"Jr\"");
  edit.SetMaxLength(30);
  edit.SetRenderSize(true);
  const std::string page = Render(form);
  EXPECT_EQ(Element(page, "<input TYPE=\"TEXT\""),
            "<input TYPE=\"TEXT\" NAME=\"EDTNAME\" MAXLENGTH=\"30\" VALUE=\"O&#39;Neil &quot;Jr&quot;\" "
            "CLASS=\"EDTNAMECSS\" ID=\"EDTNAME\">");
  EXPECT_NE(page.find(".EDTNAMECSS {position:absolute;left:120px;top:124px;z-index:100;width:161px;"
                      "height:16px;font-weight:normal;"),
            std::string::npos);
  EXPECT_NE(page.find("text-align:left;}"), std::string::npos);
  EXPECT_NE(SubmitForm(page).find("<input TYPE=\"HIDDEN\" NAME=\"EDTNAME\">"), std::string::npos);
}

TEST_F(Controls, APasswordEditShowsItsTextAsValue) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtPassword", 0, 0, 100, 20);
  edit.SetPasswordPrompt(true);
  edit.SetText("secret");
  edit.SetReadOnly(true);
  edit.SetEnabled(false);
  EXPECT_EQ(Element(Render(form), "<input TYPE=\"PASSWORD\""),
            "<input TYPE=\"PASSWORD\" NAME=\"EDTPASSWORD\" DISABLED=\"true\" VALUE=\"secret\" READONLY "
            "CLASS=\"EDTPASSWORDCSS\" ID=\"EDTPASSWORD\">");
}

TEST_F(Controls, ANonEditableEditIsALabelAndPostsNothing) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtRecord", 0, 0, 100, 20);
  edit.SetText("12 <b>");
  edit.SetAlignment(taRightJustify);
  edit.SetEditable(false);
  std::string page = Render(form);
  EXPECT_NE(page.find("<span style=\"text-align:right;\" CLASS=\"EDTRECORDCSS\" ID=\"EDTRECORD\">"
                      "12 &lt;b&gt;</span>"),
            std::string::npos) << page;
  EXPECT_EQ(SubmitForm(page).find("EDTRECORD"), std::string::npos);
  edit.SetPasswordPrompt(true);
  EXPECT_NE(Render(form).find("ID=\"EDTRECORD\">******</span>"), std::string::npos);
  // Shown as a disabled input instead when asked.
  edit.SetNonEditableAsLabel(false);
  page = Render(form);
  EXPECT_NE(page.find("NAME=\"EDTRECORD\" DISABLED=\"true\" READONLY=\"true\" VALUE=\"12 &lt;b&gt;\""),
            std::string::npos);
}

TEST_F(Controls, EnterInAnEditPostsItWhenItHasOnSubmit) {
  TIWAppForm& form = NewForm(brIE);
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  EXPECT_EQ(Render(form).find("CheckReturnKey"), std::string::npos);
  edit.SetOnSubmit([](TObject*) {});
  EXPECT_NE(Render(form).find("function EDTNAME_onkeypress() {\r\nvar res = CheckReturnKey(event.keyCode, "
                              "'EDTNAME', true)\r\nreturn res;\r\n}"),
            std::string::npos);

  TIWAppForm& other = NewForm(brSafari);
  auto& second = AddControl<TIWEdit>(other, other, "edtName", 0, 0, 100, 20);
  second.SetOnSubmit([](TObject*) {});
  second.SetDoSubmitValidation(false);
  EXPECT_NE(Render(other).find("var res = CheckReturnKey(event.which, 'EDTNAME', false)"),
            std::string::npos);
}

TEST_F(Controls, ARequiredEditIsCheckedBeforeThePost) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  edit.SetRequired(true);
  edit.SetFriendlyName("Your name");
  edit.SetFocusColor(clYellow);
  const std::string page = Render(form);
  EXPECT_NE(page.find("  if(EDTNAMEIWCL != null && EDTNAMEIWCL.value.length==0) {\r\n    ReleaseLock();\r\n"
                      "    window.alert(\"Your name is a required field.\");"),
            std::string::npos);
  EXPECT_NE(page.find("this.style.backgroundColor='#FFFF00'; return true;"), std::string::npos);
  EXPECT_NE(page.find("this.style.backgroundColor=''; return true;"), std::string::npos);
}

TEST_F(Controls, AnEditTakesANewTextAndMarksItselfChanged) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  edit.SetText("same");
  edit.SetChanged(false);
  edit.ApplySubmittedValue("same");
  EXPECT_FALSE(edit.Changed());
  edit.ApplySubmittedValue("new");
  EXPECT_TRUE(edit.Changed());
  EXPECT_EQ(edit.Text(), "new");
}

TEST_F(Controls, AnEditsActionIsOnSubmitElseTheFormsDefault) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  std::vector<std::string> log;
  EXPECT_FALSE(edit.CanSubmit());
  form.SetOnDefaultAction([&](TObject*) { log.push_back("default"); });
  EXPECT_TRUE(edit.CanSubmit());
  edit.RunAction("p1");
  edit.SetOnSubmit([&](TObject* sender) { log.push_back(sender == &edit ? "submit" : "?"); });
  edit.RunAction("p2");
  EXPECT_EQ(log, (std::vector<std::string>{"default", "submit"}));
  EXPECT_EQ(edit.ActionParam(), "p2");
}

// ---- button ---------------------------------------------------------------------------------

TEST_F(Controls, AButtonWithOnClickPostsThePage) {
  TIWAppForm& form = NewForm(brSafari);
  auto& button = AddControl<TIWButton>(form, form, "btnSave", 0, 0, 75, 25);
  button.SetCaption("Save\nnow");
  std::string page = Render(form);
  EXPECT_NE(page.find("<input VALUE=\"Save<br>now\" NAME=\"BTNSAVE\" TYPE=\"button\" CLASS=\"BTNSAVECSS\" "
                      "ID=\"BTNSAVE\">"),
            std::string::npos);
  EXPECT_EQ(page.find("BTNSAVE_onclick"), std::string::npos);
  int clicks = 0;
  button.SetOnClick([&](TObject*) { ++clicks; });
  button.SetConfirmation("Sure? It's final");
  page = Render(form);
  EXPECT_NE(page.find("function BTNSAVE_onclick(event) {\r\nreturn SubmitClickConfirm('BTNSAVE','', true, "
                      "'Sure? It\\'s final');\r\n}"),
            std::string::npos) << page;
  button.RunAction("");
  EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, ASubmitButtonPostsEvenWithoutOnClick) {
  TIWAppForm& form = NewForm();
  auto& button = AddControl<TIWButton>(form, form, "btnGo", 0, 0, 75, 25);
  button.SetButtonType(btSubmit);
  EXPECT_TRUE(button.CanSubmit());
  const std::string page = Render(form);
  EXPECT_NE(page.find("TYPE=\"submit\""), std::string::npos);
  EXPECT_NE(page.find("SubmitClickConfirm('BTNGO','', true, '')"), std::string::npos);
}

TEST_F(Controls, AHotKeyMakesAButtonElementWithTheKeyUnderlined) {
  TIWAppForm& form = NewForm();
  auto& button = AddControl<TIWButton>(form, form, "btnSave", 0, 0, 75, 25);
  button.SetCaption("<Save>");
  button.SetHotKey("s");
  button.SetEnabled(false);
  button.SetColor(clRed);
  const std::string page = Render(form);
  const std::string element = Element(page, "<button ACCESSKEY");
  EXPECT_EQ(element.rfind("<button ACCESSKEY=\"s\" NAME=\"BTNSAVE\" TYPE=\"button\" STYLE=\"background-color: "
                          "#FF0000;font-weight:normal;",
                          0),
            0u) << element;
  EXPECT_NE(element.find(" DISABLED "), std::string::npos);
  EXPECT_NE(page.find(">&lt;<u>S</u>ave&gt;</button>"), std::string::npos);
}

// ---- sizes and submit scripts ------------------------------------------------------------------

TEST_F(Controls, EditsAndButtonsKeepTheirDesignedSize) {
  TIWAppForm& form = NewForm();
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 120, 204, 266, 21);
  AddControl<TIWButton>(form, form, "btnOk", 301, 11, 75, 25);
  AddControl<TIWLabel>(form, form, "lblName", 0, 0, 100, 20);
  edit.SetEditable(false);
  const std::string page = Render(form);
  EXPECT_NE(page.find(".EDTNAMECSS {position:absolute;left:120px;top:204px;z-index:100;width:266px;height:21px;"),
            std::string::npos) << page;
  EXPECT_NE(page.find(".BTNOKCSS {position:absolute;left:301px;top:11px;z-index:100;width:75px;height:25px;"),
            std::string::npos);
  // A label sizes itself to its caption.
  EXPECT_NE(page.find(".LBLNAMECSS {position:absolute;left:0px;top:0px;z-index:100;font-"), std::string::npos);
}

TEST_F(Controls, AConfirmationOrValidationChangeMarksTheControl) {
  TIWAppForm& form = NewForm();
  auto& button = AddControl<TIWButton>(form, form, "btnOk", 0, 0, 75, 25);
  button.SetChanged(false);
  button.SetConfirmation("Sure?");
  EXPECT_TRUE(button.Changed());
  button.SetChanged(false);
  button.SetDoSubmitValidation(false);
  EXPECT_TRUE(button.Changed());
  button.SetChanged(false);
  button.SetDoSubmitValidation(false);
  EXPECT_FALSE(button.Changed());
}

// ---- asynchronous events --------------------------------------------------------------------

TEST_F(Controls, AnAsyncEventIsACallbackOfTheSessionHookedOnItsScriptEvent) {
  TIWAppForm& form = NewForm(brSafari);
  auto& button = AddControl<TIWButton>(form, form, "btnSave", 0, 0, 75, 25);
  auto& edit = AddControl<TIWEdit>(form, form, "edtName", 0, 0, 100, 20);
  std::vector<std::string> calls;
  button.SetAsyncEvent<aeClick>([&](TObject* sender, const TStringList& params) {
    calls.push_back((sender == &button ? "button x=" : "? x=") + params.Values("x"));
  });
  edit.SetAsyncEvent<aeExit>([&](TObject*, const TStringList&) { calls.push_back("exit"); });
  edit.SetAsyncEvent<aeDoubleClick>([&](TObject*, const TStringList&) { calls.push_back("double"); });
  const std::string page = Render(form);
  EXPECT_NE(page.find("function BTNSAVE_onclick(event) {\r\nprocessAjaxEvent(event, BTNSAVEIWCL,"
                      "\"BTNSAVE.DoOnAsyncClick\",false, null, true);\r\nreturn true;\r\n}"),
            std::string::npos) << page;
  EXPECT_NE(page.find("EDTNAMEIWCL.HookEvent(\"blur\",EDTNAME_onblur);"), std::string::npos);
  // A double click is the browser's "dblclick" event.
  EXPECT_NE(page.find("EDTNAMEIWCL.HookEvent(\"dblclick\",EDTNAME_ondblclick);"), std::string::npos);
  EXPECT_EQ(App().Callbacks().Count(), 3);
  // Rendering again renews the registrations instead of adding more.
  Render(form);
  EXPECT_EQ(App().Callbacks().Count(), 3);

  const int track = App().TrackID();
  App().ProcessCallback(TStringList{"callback=BTNSAVE.DoOnAsyncClick", "x=12", "EDTNAME=typed"});
  EXPECT_EQ(calls, (std::vector<std::string>{"button x=12"}));
  EXPECT_EQ(edit.Text(), "typed");
  EXPECT_EQ(App().TrackID(), track);
  // A freed control's callback does nothing.
  button.Free();
  EXPECT_NO_THROW(App().RunCallBack("BTNSAVE.DoOnAsyncClick", TStringList{}));
  EXPECT_EQ(calls.size(), 1u);
  const TPropInfo* property = TIWEdit::StaticClassInfo().FindProperty("OnAsyncKeyPress");
  ASSERT_NE(property, nullptr);
  EXPECT_EQ(property->kind, TPropKind::Event);
}

// ---- definitions ----------------------------------------------------------------------------

TEST_F(Controls, DefinitionsSetThePublishedProperties) {
  StartSession();
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Test.qxf",
                          "object frmDef: TTestScreen\n"
                          "  object lblName: TIWLabel\n"
                          "    Caption = 'Acci'#243'n'\n"
                          "    Alignment = taCenter\n"
                          "    ForControl = edtName\n"
                          "    NoWrap = True\n"
                          "  end\n"
                          "  object edtName: TIWEdit\n"
                          "    Text = 'x'\n"
                          "    PasswordPrompt = True\n"
                          "    MaxLength = 8\n"
                          "    Required = True\n"
                          "    BGColor = clYellow\n"
                          "  end\n"
                          "  object btnGo: TIWButton\n"
                          "    Caption = 'Go'\n"
                          "    ButtonType = btSubmit\n"
                          "    HotKey = 'G'\n"
                          "    OnClick = ButtonClick\n"
                          "  end\n"
                          "end\n");
  auto* label = dynamic_cast<TIWLabel*>(screen->FindComponent("lblName"));
  auto* edit = dynamic_cast<TIWEdit*>(screen->FindComponent("edtName"));
  auto* button = dynamic_cast<TIWButton*>(screen->FindComponent("btnGo"));
  ASSERT_TRUE(label && edit && button);
  EXPECT_EQ(label->Caption(), "Acci\xF3n");
  EXPECT_EQ(label->Alignment(), taCenter);
  EXPECT_EQ(label->ForControl(), edit);
  EXPECT_TRUE(label->NoWrap());
  EXPECT_EQ(edit->Text(), "x");
  EXPECT_TRUE(edit->PasswordPrompt());
  EXPECT_EQ(edit->MaxLength(), 8);
  EXPECT_TRUE(edit->Required());
  EXPECT_EQ(edit->BGColor(), clYellow);
  EXPECT_EQ(button->ButtonType(), btSubmit);
  EXPECT_EQ(button->HotKey(), "G");
  button->RunAction("");
  EXPECT_EQ(screen->events, (std::vector<std::string>{"click"}));
  // Creation defaults.
  Owned<TIWButton> fresh(new TIWButton);
  EXPECT_EQ(fresh->Width(), 75);
  EXPECT_EQ(fresh->Height(), 25);
  EXPECT_EQ(fresh->Color(), clBtnFace);
  EXPECT_EQ(fresh->ButtonType(), btButton);
  Owned<TIWEdit> freshEdit(new TIWEdit);
  EXPECT_EQ(freshEdit->Width(), 121);
  EXPECT_EQ(freshEdit->Height(), 21);
}

}  // namespace
}  // namespace qx::test
