// The render benchmark's form, built in code: a request page of inputs, a summary page of
// texts and links and a pictures page on a tab control, with buttons, labels, a rectangle and
// a timer beside it; its chart picture and the values a browser posts from it.
#include "BenchForm.h"

#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWComboBox.h"
#include "controls/IWEdit.h"
#include "controls/IWImageFile.h"
#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWRectangle.h"
#include "controls/IWTabControl.h"
#include "controls/IWText.h"
#include "controls/IWTimer.h"
#include "forms/Application.h"
#include "forms/TestControls.h"
#include "runtime/GifCodec.h"
#include "runtime/JpegCodec.h"
#include "runtime/Strings.h"
#include "runtime/TestPictures.h"

namespace qx::bench {

namespace {

using test::AddControl;

// `count` lines "<prefix> <n>".
TStringList Numbered(std::string_view prefix, int count) {
  TStringList lines;
  for (int i = 1; i <= count; ++i) lines.Add(std::string(prefix) + " " + IntToStr(i));
  return lines;
}

// The inputs of a request: labelled edits, the notes, boxes and lists.
void AddRequestPage(TIWAppForm& form, TIWTabPage& page) {
  const char* fields[] = {"Name", "Email", "Phone", "Room", "Floor", "Password", "Echo"};
  int top = 8;
  for (const char* field : fields) {
    TIWLabel& label = AddControl<TIWLabel>(form, page, std::string("lbl") + field + "Caption", 8, top, 80, 21);
    label.SetCaption(std::string(field) + ":");
    TIWEdit& edit = AddControl<TIWEdit>(form, page, std::string("edt") + field, 96, top, 200, 21);
    edit.SetText(std::string("Value of ") + field);
    top += 28;
  }
  static_cast<TIWEdit&>(*form.FindComponent("edtEmail")).SetRequired(true);
  static_cast<TIWEdit&>(*form.FindComponent("edtPhone")).SetMaxLength(20);
  static_cast<TIWEdit&>(*form.FindComponent("edtPassword")).SetPasswordPrompt(true);

  TIWMemo& notes = AddControl<TIWMemo>(form, page, "memNotes", 8, top, 288, 160);
  notes.SetLines(Numbered("The boiler room's door does not close, report line", 100));
  notes.SetRequired(true);

  const char* boxes[] = {"Urgent", "Notify", "Repeat", "Outside"};
  for (int i = 0; i < 4; ++i) {
    TIWCheckBox& box = AddControl<TIWCheckBox>(form, page, std::string("chk") + boxes[i], 320, 8 + 28 * i, 200, 21);
    box.SetCaption(std::string(boxes[i]) + " request");
    box.SetChecked(i % 2 == 0);
    if (i >= 2) box.SetStyle(TIWCheckBoxStyle::stCool);
  }

  TIWComboBox& status = AddControl<TIWComboBox>(form, page, "cmbStatus", 320, 130, 200, 21);
  status.SetItems(Numbered("Status", 50));
  status.SetItemIndex(3);
  TIWComboBox& area = AddControl<TIWComboBox>(form, page, "cmbArea", 320, 160, 200, 21);
  area.SetItems(Numbered("Area", 50));
  area.SetStyle(TIWComboBoxStyle::stEnhanced);

  TIWListbox& users = AddControl<TIWListbox>(form, page, "lstUsers", 320, 200, 150, 160);
  users.SetItems(Numbered("User", 50));
  users.SetItemIndex(10);
  TIWListbox& copies = AddControl<TIWListbox>(form, page, "lstCopies", 480, 200, 150, 160);
  copies.SetItems(Numbered("Copy to", 50));
  copies.SetMultiSelect(true);
}

// What the request looks like: a text, rectangles, key and value labels, links.
void AddSummaryPage(TIWAppForm& form, TIWTabPage& page) {
  TIWText& help = AddControl<TIWText>(form, page, "txtHelp", 8, 8, 400, 120);
  help.SetLines(Numbered("A line of the help <text> & its \"quotes\"", 10));
  TIWRectangle& state = AddControl<TIWRectangle>(form, page, "rctState", 420, 8, 200, 40);
  state.SetText("Waiting");
  state.SetColor(clYellow);
  TIWRectangle& priority = AddControl<TIWRectangle>(form, page, "rctPriority", 420, 60, 200, 40);
  priority.SetText("High");
  priority.SetColor(clRed);
  for (int i = 1; i <= 4; ++i) {
    const std::string n = IntToStr(i);
    AddControl<TIWLabel>(form, page, "lblKey" + n, 8, 130 + 24 * i, 100, 21).SetCaption("Key " + n);
    AddControl<TIWLabel>(form, page, "lblValue" + n, 120, 130 + 24 * i, 300, 21).SetCaption("The value of key " + n);
  }
  TIWLink& history = AddControl<TIWLink>(form, page, "lnkHistory", 8, 280, 120, 17);
  history.SetCaption("History");
  history.SetOnClick([](TObject*) {});
  TIWLink& print = AddControl<TIWLink>(form, page, "lnkPrint", 140, 280, 120, 17);
  print.SetCaption("Print");
  print.SetOnClick([](TObject*) {});
  print.SetConfirmation("Print the request?");
  AddControl<TIWLink>(form, page, "lnkHelp", 280, 280, 120, 17).SetCaption("Help");
}

void AddPicturesPage(TIWAppForm& form, TIWTabPage& page) {
  AddControl<TIWImageFile>(form, page, "imgLogo", 8, 8, 89, 112).ImageFile().SetFilename("Logo.jpg");
  AddControl<TIWImageFile>(form, page, "imgPhoto", 100, 8, 89, 112).ImageFile().SetFilename("FilesNC\\Photo.jpg");
  AddControl<TIWImageFile>(form, page, "imgMark", 200, 8, 89, 112).ImageFile().SetURL("/files/Mark.gif");
  TIWImageButton& refresh = AddControl<TIWImageButton>(form, page, "ibtRefresh", 8, 130, 32, 32);
  refresh.ImageFile().SetFilename("Refresh.gif");
  refresh.HotImageFile().SetFilename("RefreshHot.gif");
  refresh.SetOnClick([](TObject*) {});
  TIWImageButton& printer = AddControl<TIWImageButton>(form, page, "ibtPrinter", 48, 130, 32, 32);
  printer.ImageFile().SetFilename("Printer.gif");
  printer.SetOnClick([](TObject*) {});
}

}  // namespace

TIWTabPage& BuildBenchForm(TIWAppForm& form) {
  form.SetBounds(0, 0, kFormWidth, kFormHeight);
  form.SetTitle("Request of the render benchmark");

  TIWTabControl& tabs = AddControl<TIWTabControl>(form, form, "tabRequest", 8, 48, 660, 600);
  const char* titles[] = {"Request", "Summary", "Pictures"};
  TIWTabPage* pages[3];
  for (int i = 0; i < 3; ++i) {
    pages[i] = &AddControl<TIWTabPage>(form, tabs, std::string("pag") + titles[i], 0, 28, 660, 572);
    pages[i]->SetTitle(titles[i]);
    pages[i]->SetTabOrder(i);
  }
  AddRequestPage(form, *pages[0]);
  AddSummaryPage(form, *pages[1]);
  AddPicturesPage(form, *pages[2]);

  // Beside the tab control: the header, the buttons, the echo and the refresh timer.
  TIWRectangle& header = AddControl<TIWRectangle>(form, form, "rctHeader", 0, 0, kFormWidth, 40);
  header.SetText("Maintenance requests");
  header.SetColor(clNavy);
  AddControl<TIWLabel>(form, form, "lblUser", 700, 48, 280, 21).SetCaption("Signed in as a benchmark user");
  AddControl<TIWLabel>(form, form, "lblTime", 700, 72, 280, 21).SetCaption("12:00");
  TIWLabel& echo = AddControl<TIWLabel>(form, form, "lblEcho", 700, 96, 280, 21);
  TIWEdit& edit = static_cast<TIWEdit&>(*form.FindComponent("edtEcho"));
  TIWButton& save = AddControl<TIWButton>(form, form, "btnSave", 700, 130, 100, 25);
  save.SetCaption("Save");
  save.SetOnClick([&echo, &edit](TObject*) { echo.SetCaption(edit.Text()); });
  TIWButton& cancel = AddControl<TIWButton>(form, form, "btnCancel", 810, 130, 100, 25);
  cancel.SetCaption("Cancel");
  cancel.SetOnClick([](TObject*) {});
  TIWButton& remind = AddControl<TIWButton>(form, form, "btnRemind", 700, 160, 100, 25);
  remind.SetCaption("Remind");
  remind.SetConfirmation("Are you sure you want to send a reminder for the request 12?");
  remind.SetOnClick([](TObject*) {});
  AddControl<TIWButton>(form, form, "btnHelp", 810, 160, 100, 25).SetCaption("Help");
  TIWTimer& timer = CreateComponent<TIWTimer>(form);
  timer.SetName("tmrRefresh");
  timer.SetInterval(60000);
  return *pages[2];
}

TIWImage& AddChart(TIWAppForm& form, TIWTabPage& page, std::string_view picture, TIWImageOutput output) {
  TIWImage& chart = AddControl<TIWImage>(form, page, "imgChart", 8, 180, 320, 240);
  chart.Picture().SetData(picture);
  chart.SetOutputType(output);
  return chart;
}

std::string ChartPicture(TGraphicFormat format) {
  const TRGBImage image = test::GradientImage(320, 240);
  return format == gfGIF ? EncodeGIF(ReduceToPalette(image, std::nullopt)) : EncodeJPEG(image, TJPEGOptions());
}

TStringList SaveFields(TIWAppForm& form, const TIWApplication& application, std::string_view echo) {
  TStringList fields;
  ForEachComponent(form, [&](IIWBaseComponent& component) {
    if (!component.TakesInput()) return;
    std::string value;
    if (auto* edit = dynamic_cast<TIWEdit*>(&component)) {
      value = edit->Name() == "edtEcho" ? std::string(echo) : edit->Text();
    } else if (auto* memo = dynamic_cast<TIWMemo*>(&component)) {
      value = memo->Text();
    } else if (auto* box = dynamic_cast<TIWCheckBox*>(&component)) {
      value = box->Checked() ? "On" : "Off";
    } else if (dynamic_cast<TIWComboBox*>(&component)) {
      value = "7";
    } else if (auto* list = dynamic_cast<TIWListbox*>(&component)) {
      value = list->MultiSelect() ? "1,3,5,7" : "12";
    } else if (dynamic_cast<TIWTabControl*>(&component)) {
      value = "0";
    }
    TStringList names;
    component.RegisterFields(names);
    for (const std::string& name : names) fields.Add(name + "=" + value);
  });
  for (const std::string& line :
       {std::string("IW_Action=BTNSAVE"), std::string("IW_ActionParam="), "IW_FormName=" + form.Name(),
        "IW_FormClass=" + std::string(form.ClassName()), "IW_SessionID_=" + application.AppID(),
        "IW_TrackID_=" + IntToStr(application.TrackID()), "IW_width=" + IntToStr(kFormWidth),
        "IW_height=" + IntToStr(kFormHeight)})
    fields.Add(line);
  return fields;
}

std::string MissingControls(TIWAppForm& form, const std::string& page) {
  std::string missing;
  ForEachComponent(form, [&](IIWBaseComponent& component) {
    auto* control = dynamic_cast<IIWBaseControl*>(&component);
    if (!control || !control->AsControl().Visible()) return;
    const std::string name = component.ElementName();
    if (page.find("ID=\"" + name + "\"") == std::string::npos &&
        page.find("id=\"" + name + "\"") == std::string::npos)
      missing += name + " ";
  });
  return missing;
}

}  // namespace qx::bench
