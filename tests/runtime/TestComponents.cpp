// Property tables, handler tables and embedded definitions of the test component classes.
#include "TestComponents.h"

#include <mutex>

#include "runtime/Resources.h"

namespace qx::test {

std::vector<std::string>& LifecycleLog() {
  static std::vector<std::string> log;
  return log;
}

const TEnumInfo& EnumInfoOf(TTestFontStyle) {
  static const TEnumInfo info("TTestFontStyle", {QX_ENUM(fsBold), QX_ENUM(fsItalic),
                                                 QX_ENUM(fsUnderline), QX_ENUM(fsStrikeOut)});
  return info;
}

const TClassInfo& TTestFont::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestFont>("TTestFont")
                                     .Property("Size", &TTestFont::Size, &TTestFont::SetSize)
                                     .Property("Color", &TTestFont::Color, &TTestFont::SetColor)
                                     .Property("Style", &TTestFont::Style, &TTestFont::SetStyle)
                                     .Property("FontName", &TTestFont::FontName, &TTestFont::SetFontName)
                                     .Build();
  return info;
}

const TClassInfo& TTestControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestControl>("TTestControl").Build();
  return info;
}

void TTestControl::Loaded() {
  TControl::Loaded();
  LifecycleLog().push_back("Loaded:" + Name());
}

void TTestControl::Created() { LifecycleLog().push_back("Created:" + Name()); }

TTestLabel::TTestLabel() { SetBounds(0, 0, 121, 21); }

const TClassInfo& TTestLabel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestLabel>("TTestLabel")
          .Creatable()
          .Property("Caption", &TTestLabel::Caption, &TTestLabel::SetCaption)
          .Property("Font", &TTestLabel::Font)
          .Property("Color", &TTestLabel::Color, &TTestLabel::SetColor)
          .Property("Lines", &TTestLabel::Lines, &TTestLabel::SetLines)
          .Property("Ratio", &TTestLabel::Ratio, &TTestLabel::SetRatio)
          .Property("Big", &TTestLabel::Big, &TTestLabel::SetBig)
          .Property("Small", &TTestLabel::Small, &TTestLabel::SetSmall)
          .Binary("Picture", &TTestLabel::Picture, &TTestLabel::SetPicture)
          .Property("FocusControl", &TTestLabel::FocusControl, &TTestLabel::SetFocusControl)
          .Build();
  return info;
}

void TTestLabel::Notification(TComponent* component, TOperation operation) {
  TTestControl::Notification(component, operation);
  if (operation == opRemove) ++removedNotifications_;
}

TTestButton::TTestButton() { SetBounds(0, 0, 75, 25); }

const TClassInfo& TTestButton::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestButton>("TTestButton")
          .Creatable()
          .Property("OnClick", &TTestButton::OnClick, &TTestButton::SetOnClick)
          .Property("OnValidate", &TTestButton::OnValidate, &TTestButton::SetOnValidate)
          .Build();
  return info;
}

const TClassInfo& TTestBorderOptions::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestBorderOptions>("TTestBorderOptions")
          .Property("Width", &TTestBorderOptions::Width, &TTestBorderOptions::SetWidth)
          .Property("Color", &TTestBorderOptions::Color, &TTestBorderOptions::SetColor)
          .Build();
  return info;
}

const TClassInfo& TTestRegion::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestRegion>("TTestRegion")
                                     .Creatable()
                                     .Property("BorderOptions", &TTestRegion::BorderOptions)
                                     .Build();
  return info;
}

void TTestRegion::Loaded() {
  TScrollingWinControl::Loaded();
  LifecycleLog().push_back("Loaded:" + Name());
}

const TClassInfo& TTestTimer::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestTimer>("TTestTimer")
          .Creatable()
          .Property("Interval", &TTestTimer::Interval, &TTestTimer::SetInterval)
          .Property("Enabled", &TTestTimer::Enabled, &TTestTimer::SetEnabled)
          .Property("OnTimer", &TTestTimer::OnTimer, &TTestTimer::SetOnTimer)
          .Build();
  return info;
}

const TClassInfo& TTestColumn::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestColumn>("TTestColumn")
          .Property("Title", &TTestColumn::Title, &TTestColumn::SetTitle)
          .Property("Width", &TTestColumn::Width, &TTestColumn::SetWidth)
          .Property("Font", &TTestColumn::Font)
          .Property("Control", &TTestColumn::Control, &TTestColumn::SetControl)
          .Property("OnClick", &TTestColumn::OnClick, &TTestColumn::SetOnClick)
          .Build();
  return info;
}

const TClassInfo& TTestGrid::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestGrid>("TTestGrid")
                                     .Creatable()
                                     .Property("Columns", &TTestGrid::Columns)
                                     .Build();
  return info;
}

const TClassInfo& TTestForm::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestForm>("TTestForm")
          .Creatable()
          .Property("ActiveControl", &TTestForm::ActiveControl, &TTestForm::SetActiveControl)
          .Property("OnCreate", &TTestForm::OnCreate, &TTestForm::SetOnCreate)
          .Property("Title", &TTestForm::Title, &TTestForm::SetTitle)
          .Handler("FormCreate", &TTestForm::FormCreate)
          .Handler("ButtonClick", &TTestForm::ButtonClick)
          .Handler("ButtonValidate", &TTestForm::ButtonValidate)
          .Handler("ColumnClick", &TTestForm::ColumnClick)
          .Handler("TimerFire", &TTestForm::TimerFire)
          .Build();
  return info;
}

void TTestForm::FormCreate(TObject*) {
  events.push_back("FormCreate:" + (ActiveControl() ? ActiveControl()->Name() : std::string()));
}

void TTestForm::ButtonClick(TObject* sender) {
  events.push_back("ButtonClick:" + static_cast<TComponent*>(sender)->Name());
}

void TTestForm::ButtonValidate(TObject* sender, bool& accept) {
  events.push_back("ButtonValidate:" + static_cast<TComponent*>(sender)->Name());
  accept = !rejectValidation;
}

void TTestForm::ColumnClick(TObject* sender, const std::string& value) {
  events.push_back("ColumnClick:" + static_cast<TTestColumn*>(sender)->Title() + ":" + value);
}

void TTestForm::TimerFire(TObject*) { events.push_back("TimerFire"); }

void TTestForm::Loaded() {
  TScrollingWinControl::Loaded();
  LifecycleLog().push_back("Loaded:" + Name());
}

void TTestForm::Created() {
  LifecycleLog().push_back("Created:" + Name());
  if (OnCreate()) OnCreate()(this);
}

void TTestForm::BeforeDestruction() {
  // Everything it owns is still there, already marked as being freed.
  bool marked = ComponentCount() > 0 && Components(0)->Destroying();
  LifecycleLog().push_back("Destroy:" + Name() + (marked ? " with owned" : ""));
}

const TClassInfo& TTestScreen::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTestScreen>("TTestScreen").Creatable().Definition("TestScreen.qxf").Build();
  return info;
}

const TClassInfo& TTestFrame::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestFrame>("TTestFrame")
                                     .Creatable()
                                     .Definition("TestFrame.qxf")
                                     .Handler("LogoutClick", &TTestFrame::LogoutClick)
                                     .Build();
  return info;
}

void TTestFrame::LogoutClick(TObject*) { events.push_back("LogoutClick"); }

void TTestFrame::Loaded() {
  TFrame::Loaded();
  LifecycleLog().push_back("Loaded:" + Name());
}

namespace {

constexpr char kFrameDefinition[] = R"(// The header frame of the tests.
object fraHeader: TTestFrame
  Width = 600
  Height = 40
  object regHeader: TTestRegion
    Align = alTop
    Width = 600
    Height = 40
    object lblUser: TTestLabel
      Left = 200
      Top = 4
      Width = 300
      Height = 16
      Anchors = [akLeft, akTop, akRight]
      Caption = 'Welcome'
    end
    object btnLogout: TTestButton
      Left = 520
      Top = 4
      Width = 70
      Height = 17
      Anchors = [akTop, akRight]
      OnClick = LogoutClick
    end
  end
  object tmrClock: TTestTimer
    Interval = 60000
    Enabled = False
  end
end
)";

constexpr char kScreenDefinition[] = R"(object frmScreen: TTestScreen
  Width = 800
  Height = 600
  Title = 'Pantalla de prueba ñ'
  OnCreate = FormCreate
  ActiveControl = btnOk
  object fraHeader1: TTestFrame
    Align = alTop
    Width = 800
    inherited regHeader: TTestRegion
      Width = 800
      inherited lblUser: TTestLabel
        Width = 500
      end
      inherited btnLogout: TTestButton
        Left = 720
        OnClick = ButtonClick
      end
    end
  end
  object regBody: TTestRegion
    Align = alClient
    BorderOptions.Width = 2
    object btnOk: TTestButton
      Left = 700
      Top = 500
      Anchors = [akRight, akBottom]
      OnClick = ButtonClick
    end
  end
end
)";

const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

}  // namespace

void RegisterTestComponents() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterClasses<TTestLabel, TTestButton, TTestRegion, TTestTimer, TTestGrid, TTestForm,
                    TTestScreen, TTestFrame>();
    static const ResourceEntry entries[] = {
        {"TestFrame.qxf", {Bytes(kFrameDefinition), sizeof kFrameDefinition - 1}},
        {"TestScreen.qxf", {Bytes(kScreenDefinition), sizeof kScreenDefinition - 1}},
    };
    RegisterResourceBundle(entries);
  });
}

}  // namespace qx::test
