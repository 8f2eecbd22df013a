// The combo box and the list box: their options in a rendered page, the values they take
// through the post and the failures that change nothing, their actions, the item list with its
// selection rules, OnChange inside callbacks, and the published properties of every control of
// this family and of the text controls in one definition.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/IWCheckBox.h"
#include "controls/IWComboBox.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWRectangle.h"
#include "controls/IWText.h"

namespace qx::test {
namespace {

constexpr char kMacIE[] = "Mozilla/4.0 (compatible; MSIE 5.23; Mac_PowerPC)";

TEST_F(Controls, AComboBoxOffersNoSelectionUntilAnItemIsChosen) {
  TIWAppForm& form = NewForm();
  auto& combo = AddControl<TIWComboBox>(form, form, "cbUserName", 120, 146, 266, 21);
  combo.Items().Add("Ana");
  combo.Items().Add("B<o>b");
  combo.SetNoSelectionText("-- User name --");
  combo.SetStatusText("Select user");
  combo.SetRequired(true);
  std::string page = Render(form);
  EXPECT_EQ(Between(page, "<select", "</select>"),
            "<select NAME=\"CBUSERNAME\" SIZE=\"1\" WIDTH=\"266\" CLASS=\"CBUSERNAMECSS\" ID=\"CBUSERNAME\">\r\n"
            "  <option VALUE=\"-1\" SELECTED>-- User name --</option>\r\n"
            "  <option VALUE=\"0\">Ana</option>\r\n  <option VALUE=\"1\">B&lt;o&gt;b</option>\r\n</select>")
      << page;
  EXPECT_NE(page.find("function CBUSERNAME_onmouseover() {\r\nreturn Status('Select user');\r\n}"),
            std::string::npos);
  EXPECT_NE(page.find("  if(CBUSERNAMEIWCL != null && CBUSERNAMEIWCL.value==\"-1\") {\r\n    ReleaseLock();\r\n"
                      "    window.alert(\"A value must be selected for cbUserName.\");"),
            std::string::npos);
  EXPECT_NE(SubmitForm(page).find("<input TYPE=\"HIDDEN\" NAME=\"CBUSERNAME\">"), std::string::npos);

  // Once an item is chosen the no-selection option goes, unless a selection is not required.
  Post(form, {"CBUSERNAME=1", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Text(), "B<o>b");
  EXPECT_NE(Render(form).find("ID=\"CBUSERNAME\">\r\n  <option VALUE=\"0\">Ana</option>\r\n"
                              "  <option SELECTED VALUE=\"1\">B&lt;o&gt;b</option>\r\n</select>"),
            std::string::npos);
  combo.SetRequireSelection(false);
  EXPECT_NE(Render(form).find("ID=\"CBUSERNAME\">\r\n  <option VALUE=\"-1\">-- User name --</option>\r\n"),
            std::string::npos);
  // An index beyond the items is ignored; a value that is no number selects nothing.
  Post(form, {"CBUSERNAME=7", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), 1);
  Post(form, {"CBUSERNAME=Ana", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");

  // Not editable: a label with the chosen item, posting nothing; or a disabled list.
  combo.SetItemIndex(1);
  combo.SetBGColor(clYellow);
  combo.SetEditable(false);
  page = Render(form);
  EXPECT_NE(page.find("<span style=\"text-align:left;background-color:#FFFF00;\" CLASS=\"CBUSERNAMECSS\" "
                      "ID=\"CBUSERNAME\">B&lt;o&gt;b</span>"),
            std::string::npos) << page;
  EXPECT_EQ(SubmitForm(page).find("CBUSERNAME"), std::string::npos);
  EXPECT_EQ(page.find("A value must be selected"), std::string::npos);
  combo.SetNonEditableAsLabel(false);
  combo.SetEnabled(false);
  EXPECT_NE(Render(form).find("<select NAME=\"CBUSERNAME\" SIZE=\"1\" DISABLED DISABLED=\"true\" READONLY=\"true\" "
                              "WIDTH=\"266\" CLASS="),
            std::string::npos);
  // Without items the element is empty.
  combo.Clear();
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_NE(Render(form).find("ID=\"CBUSERNAME\"></select>"), std::string::npos);
}

TEST_F(Controls, AComboBoxPostsOnChange) {
  TIWAppForm& form = NewForm();
  auto& combo = AddControl<TIWComboBox>(form, form, "cbDays", 0, 0, 100, 21);
  combo.SetItems(TStringList{"7", "30"});
  combo.SetFocusColor(clYellow);
  int changes = 0;
  combo.SetOnChange([&](TObject*) { ++changes; });
  std::string page = Render(form);
  EXPECT_NE(page.find("function CBDAYS_onchange() {\r\nreturn SubmitClickConfirm('CBDAYS','', true, '');\r\n}"),
            std::string::npos) << page;
  EXPECT_NE(page.find("function CBDAYS_onfocus() {\r\nthis.style.backgroundColor='#FFFF00';\r\nreturn true;\r\n}"),
            std::string::npos);
  EXPECT_NE(page.find("function CBDAYS_onblur() {\r\nthis.style.backgroundColor='';\r\nreturn true;\r\n}"),
            std::string::npos);
  Post(form, {"CBDAYS=1", "IW_Action=CBDAYS", "IW_ActionParam="});
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);

  // Internet Explorer on a Macintosh gets the post inline.
  TIWAppForm& mac = NewForm(brIE, kMacIE);
  auto& other = AddControl<TIWComboBox>(mac, mac, "cbDays", 0, 0, 100, 21);
  other.SetOnChange([](TObject*) {});
  page = Render(mac);
  EXPECT_NE(page.find("<select NAME=\"CBDAYS\" SIZE=\"1\" WIDTH=\"100\" OnChange=\"return SubmitClickConfirm("
                      "'CBDAYS','', true, '');\""),
            std::string::npos) << page;
  EXPECT_EQ(page.find("CBDAYS_onchange"), std::string::npos);
}

TEST_F(Controls, ItemsWithValuesShowTheirNameAndPostTheirValue) {
  TIWAppForm& form = NewForm();
  auto& combo = AddControl<TIWComboBox>(form, form, "cbx", 0, 0, 100, 21);
  auto& list = AddControl<TIWListbox>(form, form, "lbx", 0, 30, 100, 122);
  for (TIWCustomListCombo* control : {static_cast<TIWCustomListCombo*>(&combo), static_cast<TIWCustomListCombo*>(&list)}) {
    control->SetItems(TStringList{"a=1", "b=2", "c=", "d\"=\"x"});
    control->SetItemsHaveValues(true);
  }
  const std::string page = Render(form);
  EXPECT_EQ(Between(page, "<select NAME=\"LBX\"", "</select>"),
            "<select NAME=\"LBX\" SIZE=\"7\" WIDTH=\"100\" CLASS=\"LBXCSS\" ID=\"LBX\">\r\n"
            "  <option VALUE=\"-1\" SELECTED>-- No Selection --</option>\r\n"
            "  <option VALUE=\"1\">a</option>\r\n  <option VALUE=\"2\">b</option>\r\n"
            "  <option VALUE=\"\">c</option>\r\n  <option VALUE=\"&quot;x\">d&quot;</option>\r\n</select>")
      << page;
  Post(form, {"CBX=2", "LBX=2", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Text(), "2");
  // A value naming no item clears the combo box and leaves the list box as it was.
  Post(form, {"CBX=3", "LBX=3", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(list.ItemIndex(), 1);
  Post(form, {"CBX=\"x", "LBX=-1", "IW_ActionParam=p"});
  EXPECT_EQ(combo.ItemIndex(), 3);
  EXPECT_EQ(list.ItemIndex(), -1);
  // Shown as a label, the list box shows the value and the combo box the name.
  list.SetItemIndex(0);
  combo.SetItemIndex(0);
  list.SetEditable(false);
  combo.SetEditable(false);
  const std::string labels = Render(form);
  EXPECT_NE(labels.find("ID=\"LBX\">1</span>"), std::string::npos) << labels;
  EXPECT_NE(labels.find("ID=\"CBX\">a</span>"), std::string::npos);
}

TEST_F(Controls, AListBoxSizesItselfInRowsAndSelectsOneOrSeveralItems) {
  TIWAppForm& form = NewForm(brSafari);
  auto& list = AddControl<TIWListbox>(form, form, "edtEmail", 433, 28, 327, 174);
  EXPECT_NE(Render(form).find("<select NAME=\"EDTEMAIL\" SIZE=\"10\" WIDTH=\"327\" CLASS=\"EDTEMAILCSS\" "
                              "ID=\"EDTEMAIL\"></select>"),
            std::string::npos);
  list.SetItems(TStringList{"a@x.es", "b@x.es", "c@x.es", "d@x.es"});
  list.SetItemIndex(2);
  std::vector<std::string> log;
  list.SetOnChange([&](TObject*) { log.push_back("change"); });
  list.SetOnClick([&](TObject*) { log.push_back("click"); });
  list.SetOnDblClick([&](TObject*) { log.push_back("dblclick"); });
  std::string page = Render(form);
  EXPECT_NE(page.find("ID=\"EDTEMAIL\">\r\n  <option VALUE=\"0\">a@x.es</option>\r\n  <option VALUE=\"1\">b@x.es"
                      "</option>\r\n  <option SELECTED VALUE=\"2\">c@x.es</option>\r\n"),
            std::string::npos) << page;
  for (const char* script : {"function EDTEMAIL_onchange(event) {\r\nreturn SubmitClickConfirm('EDTEMAIL','', true, '');",
                             "function EDTEMAIL_onclick(event) {\r\nreturn SubmitClickConfirm('EDTEMAIL','', true, '');",
                             "function EDTEMAIL_ondblclick(event) {\r\nreturn SubmitClickConfirm('EDTEMAIL','DblClick', "
                             "true, '');"})
    EXPECT_NE(page.find(script), std::string::npos) << script;

  // OnChange runs first, then the double click or the click.
  Post(form, {"EDTEMAIL=1", "IW_Action=EDTEMAIL", "IW_ActionParam=DblClick"});
  Post(form, {"EDTEMAIL=0", "IW_Action=EDTEMAIL", "IW_ActionParam="});
  EXPECT_EQ(log, (std::vector<std::string>{"change", "dblclick", "change", "click"}));
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(list.ActionParam(), "");

  // Several items: the first value, then every selected value with a comma after it.
  list.SetMultiSelect(true);
  EXPECT_FALSE(list.RequireSelection());
  Post(form, {"EDTEMAIL=1,1,3,9,", "IW_ActionParam=p"});
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Selection(), (std::set<int>{1, 3}));
  page = Render(form);
  EXPECT_NE(page.find("<select NAME=\"EDTEMAIL\" SIZE=\"10\" MULTIPLE WIDTH=\"327\" CLASS"), std::string::npos);
  EXPECT_NE(page.find("ID=\"EDTEMAIL\">\r\n  <option VALUE=\"0\">a@x.es</option>\r\n  <option SELECTED VALUE=\"1\">"
                      "b@x.es</option>\r\n  <option VALUE=\"2\">c@x.es</option>\r\n  <option SELECTED VALUE=\"3\">"),
            std::string::npos);
  EXPECT_NE(UpdateOf(list).find("<select_type><![CDATA[select-multiple]]></select_type>\r\n  <items>\r\n"
                                "  <item selected=\"false\">\r\n  <value><![CDATA[0]]></value>\r\n"
                                "  <text><![CDATA[a@x.es]]></text>\r\n</item>\r\n  <item selected=\"true\">"),
            std::string::npos)
      << UpdateOf(list);

  // A bad remaining value fails the post and changes nothing, not even for the values before it.
  EXPECT_EQ(PostFailure(form, {"EDTEMAIL=0,0,x,", "IW_ActionParam=p"}),
            "EIWException: The following exception occured\r\n  edtEmail: 'x' is not a valid integer value\r\n");
  EXPECT_EQ(PostFailure(form, {"EDTEMAIL=2,0,2,-3,", "IW_ActionParam=p"}),
            "EIWException: The following exception occured\r\n  edtEmail: List index out of bounds (-3)\r\n");
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Selection(), (std::set<int>{1, 3}));
  EXPECT_FALSE(list.Changed());
  // Nothing selected.
  Post(form, {"EDTEMAIL=-1", "IW_ActionParam=p"});
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_TRUE(list.Selection().empty());
}

TEST_F(Controls, TheSelectionMovesWithItsItems) {
  Owned<TIWListbox> list(new TIWListbox);
  list->SetItems(TStringList{"a", "b", "c", "d"});
  list->SetMultiSelect(true);
  list->SetItemIndex(1);
  list->SetItemIndex(3);
  EXPECT_EQ(list->Selection(), (std::set<int>{1, 3}));
  list->Items().Insert(0, "z");  // z a b c d
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_EQ(list->Selection(), (std::set<int>{2, 4}));
  list->Items().Delete(2);  // z a c d
  EXPECT_EQ(list->Selection(), (std::set<int>{3}));
  list->Items().Exchange(0, 3);  // d a c z
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(list->Selection(), (std::set<int>{0}));
  EXPECT_TRUE(list->Selected(0));
  EXPECT_EQ(list->Items().IndexOf("C"), 2);
  // Deleting the selected item selects nothing.
  list->Items().Delete(0);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_TRUE(list->Selection().empty());

  // Bad indexes fail and change nothing.
  const TStringList before = list->Items().Lines();
  for (auto bad : std::vector<std::function<void()>>{[&] { list->Items().Delete(3); },
                                                     [&] { list->Items().Insert(4, "x"); },
                                                     [&] { list->Items().Exchange(-1, 0); },
                                                     [&] { (void)list->Items()[3]; }}) {
    EXPECT_THROW(bad(), EListError);
  }
  EXPECT_EQ(list->Items().Lines(), before);
  try {
    list->Items().Delete(7);
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (7)");
  }

  // ItemIndex ignores values beyond the items; a negative one means none.
  list->SetMultiSelect(false);
  list->SetItemIndex(1);
  list->SetItemIndex(3);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetItemIndex(-5);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_FALSE(list->Selected(-1));
  // A shorter list clears the selection, a list as long keeps it.
  list->SetItemIndex(2);
  list->SetItems(TStringList{"p", "q", "r"});
  EXPECT_EQ(list->ItemIndex(), 2);
  list->SetItems(TStringList{"p"});
  EXPECT_EQ(list->ItemIndex(), -1);
  // RequireSelection and MultiSelect exclude each other.
  list->SetMultiSelect(true);
  list->SetRequireSelection(true);
  EXPECT_FALSE(list->MultiSelect());

  // A sorted list keeps its order and its selection.
  list->SetItems(TStringList{"b", "A", "c"});
  list->SetItemIndex(0);
  list->SetSorted(true);
  EXPECT_EQ(list->Items().Lines(), (TStringList{"A", "b", "c"}));
  EXPECT_EQ(list->Text(), "b");
  EXPECT_EQ(list->Items().Add("B"), 2);
  EXPECT_EQ(list->Items().Add("0"), 0);
  EXPECT_EQ(list->Text(), "b");
  EXPECT_THROW(list->Items().Insert(0, "x"), EListError);
  list->Clear();
  EXPECT_EQ(list->Items().Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(Controls, ACallbackThatChangesTheSelectionFiresOnChange) {
  TIWAppForm& form = NewForm();
  auto& combo = AddControl<TIWComboBox>(form, form, "cbx", 0, 0, 100, 21);
  combo.SetItems(TStringList{"a", "b"});
  std::vector<std::string> log;
  combo.SetOnChange([&](TObject*) { log.push_back("change:" + IntToStr(combo.ItemIndex())); });
  combo.SetAsyncEvent<aeChange>([&](TObject*, const TStringList&) { log.push_back("async"); });
  EXPECT_NE(Render(form).find("processAjaxEvent(event, CBXIWCL,\"CBX.DoOnAsyncChange\",false, null, true);"),
            std::string::npos);
  combo.SetItemIndex(0);
  EXPECT_TRUE(log.empty());
  App().ProcessCallback(TStringList{"callback=CBX.DoOnAsyncChange", "CBX=1"});
  EXPECT_EQ(log, (std::vector<std::string>{"change:1", "async"}));
}

TEST_F(Controls, DefinitionsSetThePublishedPropertiesOfTheOtherControls) {
  StartSession();
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Test.qxf",
                          "object frmDef: TTestScreen\n"
                          "  object txtInfo: TIWText\n"
                          "    Lines = ( 'one' 'two' )\n"
                          "    WantReturns = False\n"
                          "    RawText = True\n"
                          "  end\n"
                          "  object rctTop: TIWRectangle\n"
                          "    Text = 'QX'\n"
                          "    Alignment = taCenter\n"
                          "    VAlign = vaTop\n"
                          "    Color = clWebMidnightBlue\n"
                          "    BorderOptions.Width = 2\n"
                          "    BorderOptions.Color = clWhite\n"
                          "  end\n"
                          "  object mmComments: TIWMemo\n"
                          "    Lines = ( 'x' )\n"
                          "    HorizScrollBar = True\n"
                          "    Required = True\n"
                          "  end\n"
                          "  object cbUrgent: TIWCheckBox\n"
                          "    Caption = 'Urgent'\n"
                          "    Checked = True\n"
                          "    Style = stCool\n"
                          "    OnClick = ButtonClick\n"
                          "  end\n"
                          "  object cbUser: TIWComboBox\n"
                          "    Items = ( 'a=1' 'b=2' )\n"
                          "    ItemsHaveValues = True\n"
                          "    ItemIndex = 1\n"
                          "    NoSelectionText = '-- User --'\n"
                          "    Style = stEnhanced\n"
                          "    ButtonColor = clRed\n"
                          "  end\n"
                          "  object lbMail: TIWListbox\n"
                          "    Items = ( 'y' 'x' )\n"
                          "    Sorted = True\n"
                          "    MultiSelect = True\n"
                          "    OnDblClick = ButtonClick\n"
                          "  end\n"
                          "end\n");
  auto* text = dynamic_cast<TIWText*>(screen->FindComponent("txtInfo"));
  auto* rect = dynamic_cast<TIWRectangle*>(screen->FindComponent("rctTop"));
  auto* memo = dynamic_cast<TIWMemo*>(screen->FindComponent("mmComments"));
  auto* box = dynamic_cast<TIWCheckBox*>(screen->FindComponent("cbUrgent"));
  auto* combo = dynamic_cast<TIWComboBox*>(screen->FindComponent("cbUser"));
  auto* list = dynamic_cast<TIWListbox*>(screen->FindComponent("lbMail"));
  ASSERT_TRUE(text && rect && memo && box && combo && list);
  EXPECT_EQ(text->Lines(), (TStringList{"one", "two"}));
  EXPECT_FALSE(text->WantReturns());
  EXPECT_TRUE(text->RawText());
  EXPECT_EQ(rect->Text(), "QX");
  EXPECT_EQ(rect->Alignment(), taCenter);
  EXPECT_EQ(rect->VAlign(), vaTop);
  EXPECT_EQ(rect->Color(), clWebMidnightBlue);
  EXPECT_EQ(rect->BorderOptions().Width(), 2);
  EXPECT_EQ(rect->BorderOptions().Color(), clWhite);
  EXPECT_EQ(memo->Lines(), (TStringList{"x"}));
  EXPECT_TRUE(memo->HorizScrollBar());
  EXPECT_TRUE(memo->Required());
  EXPECT_EQ(box->Caption(), "Urgent");
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(box->Style(), TIWCheckBoxStyle::stCool);
  box->RunAction("");
  EXPECT_EQ(combo->Text(), "2");
  EXPECT_EQ(combo->NoSelectionText(), "-- User --");
  EXPECT_EQ(combo->Style(), TIWComboBoxStyle::stEnhanced);
  EXPECT_EQ(combo->ButtonColor(), clRed);
  EXPECT_EQ(list->Items().Lines(), (TStringList{"x", "y"}));
  EXPECT_TRUE(list->MultiSelect());
  list->RunAction("DblClick");
  EXPECT_EQ(screen->events, (std::vector<std::string>{"click", "click"}));

  // Creation defaults.
  Owned<TIWText> freshText(new TIWText);
  Owned<TIWRectangle> freshRect(new TIWRectangle);
  Owned<TIWMemo> freshMemo(new TIWMemo);
  Owned<TIWCheckBox> freshBox(new TIWCheckBox);
  Owned<TIWComboBox> freshCombo(new TIWComboBox);
  Owned<TIWListbox> freshList(new TIWListbox);
  const std::vector<std::pair<TControl*, std::pair<int, int>>> sizes = {
      {freshText.get(), {121, 121}}, {freshRect.get(), {200, 100}}, {freshMemo.get(), {121, 121}},
      {freshBox.get(), {121, 21}},   {freshCombo.get(), {121, 21}}, {freshList.get(), {121, 121}}};
  for (const auto& [control, size] : sizes)
    EXPECT_EQ(std::make_pair(control->Width(), control->Height()), size) << control->ClassName();
  EXPECT_TRUE(freshText->WantReturns());
  EXPECT_EQ(freshRect->VAlign(), vaMiddle);
  EXPECT_TRUE(freshMemo->VertScrollBar());
  EXPECT_EQ(freshBox->Style(), TIWCheckBoxStyle::stNormal);
  EXPECT_EQ(freshCombo->ItemIndex(), -1);
  EXPECT_EQ(freshCombo->NoSelectionText(), "-- No Selection --");
  EXPECT_TRUE(freshCombo->RequireSelection());
  EXPECT_TRUE(freshCombo->UseSize());
  EXPECT_EQ(freshCombo->ButtonColor(), clBtnFace);
  EXPECT_FALSE(freshList->MultiSelect());
}

}  // namespace
}  // namespace qx::test
