// The form-definition reader: every kind of value, handler binding, references, frames and
// their overrides, the order of Loaded/Created, and each failure with its resource and line.
#include <gtest/gtest.h>

#include <mutex>

#include "TestComponents.h"
#include "runtime/FormReader.h"
#include "runtime/Resources.h"
#include "support/OneModuleRegistry.h"

using namespace qx;
using namespace qx::test;

namespace {

// A screen whose definition fails only when the last reference is resolved, after every
// component, the frame included, has been made.
class TBadScreen : public TTestForm {
  QX_CLASS(TBadScreen, TTestForm)
};

const TClassInfo& TBadScreen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBadScreen>("TBadScreen").Definition("BadScreen.qxf").Build();
  return info;
}

// A class whose definition resource was never embedded.
class TOrphanScreen : public TTestForm {
  QX_CLASS(TOrphanScreen, TTestForm)
};

const TClassInfo& TOrphanScreen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TOrphanScreen>("TOrphanScreen").Definition("Orphan.qxf").Build();
  return info;
}

constexpr char kBadScreen[] = R"(object frmBad: TBadScreen
  ActiveControl = btnNowhere
  object fraHeader1: TTestFrame
    Align = alTop
  end
end
)";

constexpr unsigned char kIcon[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};

class TListOwner : public TComponent {
 public:
  std::vector<std::string> log;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    log.push_back((op == opInsert ? "insert:" : "remove:") + c->ClassName());
  }
};

class FormReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestComponents();
    static std::once_flag once;
    std::call_once(once, [] {
      static const ResourceEntry entries[] = {
          {"BadScreen.qxf", {reinterpret_cast<const unsigned char*>(kBadScreen), sizeof kBadScreen - 1}},
          {"TestIcon.jpg", {kIcon, sizeof kIcon}},
      };
      RegisterResourceBundle(entries);
    });
  }

  TTestForm& Read(std::string_view text) {
    form_.reset(new TTestForm);
    ReadComponentDefinition(*form_, "Test.qxf", text);
    return *form_;
  }
  template <class T>
  T& Get(std::string_view name) {
    TComponent* c = form_->FindComponent(name);
    if (!c) throw std::runtime_error("no component " + std::string(name));
    return dynamic_cast<T&>(*c);
  }

  // Reads a definition that must fail at `line` with `detail`.
  void ExpectFailure(std::string_view text, int line, std::string_view detail) {
    SCOPED_TRACE(text);
    Owned<TTestForm> form(new TTestForm);
    try {
      ReadComponentDefinition(*form, "Bad.qxf", text);
      ADD_FAILURE() << "read without error";
    } catch (const EFormReadError& e) {
      EXPECT_EQ(e.ResourceName(), "Bad.qxf");
      EXPECT_EQ(e.Line(), line);
      EXPECT_EQ(e.Detail(), detail);
      EXPECT_EQ(e.Message(), "Bad.qxf(" + std::to_string(line) + "): " + std::string(detail));
      EXPECT_STREQ(e.ClassName(), "EFormReadError");
    }
  }

  Owned<TTestForm> form_;
};

constexpr char kValues[] = R"(// Every kind of value.
object frmValues: TTestForm
  Width = 640
  Height = 480
  Title = 'Acci'#243'n: it''s ' +
    'caf'#$E9' and ñandú €'
  ActiveControl = btnGo
  OnCreate = FormCreate
  object lblAll: TTestLabel
    Left = -5
    Top = $10
    Caption = 'Line one'#13#10'Line two'
    Color = clWebAliceBlue
    Font.Size = 9
    Font.Color = $000000FF
    Font.Style = [fsBold, fsUnderline]
    Font.FontName = 'Arial'
    Lines = (
      'first'
      'se' + 'cond'
      '')
    Ratio = 1.5
    Big = 9000000000
    Small = -32768
    Picture = {FFD8 FF
               e0}
    FocusControl = btnGo
    Anchors = []
    Visible = True
    Tag = 7
  end
  object btnGo: TTestButton
    OnClick = ButtonClick
    OnValidate = ButtonValidate
  end
  object grdList: TTestGrid
    Columns = <
      item
        Title = 'Request'
        Width = 60
        Font.Style = [fsBold]
      end
      item
        Title = 'Description'
        Control = btnGo
        OnClick = ColumnClick
      end>
  end
  object tmrClock: TTestTimer
    Interval = 60000
    Enabled = False
    OnTimer = TimerFire
  end
  object lblIcon: TTestLabel
    Picture = resource 'testicon.JPG'
    Color = $FF00000F
    Ratio = 2
    FocusControl = nil
  end
end
)";

}  // namespace

TEST_F(FormReaderTest, EveryKindOfValueReachesItsProperty) {
  TTestForm& form = Read(kValues);
  EXPECT_EQ(form.Name(), "frmValues");
  EXPECT_EQ(form.Width(), 640);
  EXPECT_EQ(form.Title(), "Acci\xF3n: it's caf\xE9 and \xF1" "and\xFA \x80");

  auto& label = Get<TTestLabel>("lblAll");
  EXPECT_EQ(label.Left(), -5);
  EXPECT_EQ(label.Top(), 16);
  EXPECT_EQ(label.Caption(), "Line one\r\nLine two");
  EXPECT_EQ(label.Color(), clWebAliceBlue);
  EXPECT_EQ(label.Font().Size(), 9);
  EXPECT_EQ(label.Font().Color(), clRed);
  EXPECT_EQ(label.Font().Style(), (TTestFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(label.Font().FontName(), "Arial");
  EXPECT_EQ(label.Lines().Lines(), (std::vector<std::string>{"first", "second", ""}));
  EXPECT_DOUBLE_EQ(label.Ratio(), 1.5);
  EXPECT_EQ(label.Big(), 9000000000LL);
  EXPECT_EQ(label.Small(), -32768);
  EXPECT_EQ(label.Picture(), std::string("\xFF\xD8\xFF\xE0", 4));
  EXPECT_EQ(label.FocusControl(), &Get<TTestButton>("btnGo"));  // a reference forward
  EXPECT_TRUE(label.Anchors().Empty());
  EXPECT_EQ(label.Tag(), 7);
  EXPECT_EQ(label.Parent(), &form);

  auto& grid = Get<TTestGrid>("grdList");
  ASSERT_EQ(grid.Columns().Count(), 2);
  EXPECT_EQ(grid.Columns()[0].Title(), "Request");
  EXPECT_EQ(grid.Columns()[0].Width(), 60);
  EXPECT_TRUE(grid.Columns()[0].Font().Style().Contains(fsBold));
  EXPECT_EQ(grid.Columns()[1].Control(), &Get<TTestButton>("btnGo"));
  EXPECT_EQ(grid.Columns()[1].Index(), 1);

  auto& timer = Get<TTestTimer>("tmrClock");
  EXPECT_EQ(timer.Interval(), 60000);
  EXPECT_FALSE(timer.Enabled());

  auto& icon = Get<TTestLabel>("lblIcon");
  EXPECT_EQ(icon.Picture(), std::string(reinterpret_cast<const char*>(kIcon), sizeof kIcon));
  EXPECT_EQ(icon.Color(), clBtnFace);
  EXPECT_DOUBLE_EQ(icon.Ratio(), 2.0);
  EXPECT_EQ(icon.FocusControl(), nullptr);
}

TEST_F(FormReaderTest, EventsCallTheFormsHandlersWithTheSender) {
  TTestForm& form = Read(kValues);
  EXPECT_EQ(form.events, (std::vector<std::string>{"FormCreate:btnGo"}));
  form.events.clear();

  auto& button = Get<TTestButton>("btnGo");
  button.Click();
  form.rejectValidation = true;
  EXPECT_FALSE(button.Validate());
  auto& column = Get<TTestGrid>("grdList").Columns()[1];
  column.OnClick()(&column, "15");
  Get<TTestTimer>("tmrClock").OnTimer()(nullptr);
  EXPECT_EQ(form.events, (std::vector<std::string>{"ButtonClick:btnGo", "ButtonValidate:btnGo",
                                                   "ColumnClick:Description:15", "TimerFire"}));
  EXPECT_FALSE(Get<TTestGrid>("grdList").Columns()[0].OnClick());
}

TEST_F(FormReaderTest, LoadedRunsParentsFirstAndCreatedRunsTheRootLast) {
  LifecycleLog().clear();
  Read(R"(object frm: TTestForm
  OnCreate = FormCreate
  object reg: TTestRegion
    object lbl: TTestLabel
    end
  end
  object btn: TTestButton
  end
end
)");
  EXPECT_EQ(LifecycleLog(), (std::vector<std::string>{"Loaded:frm", "Loaded:reg", "Loaded:lbl",
                                                      "Loaded:btn", "Created:btn", "Created:lbl",
                                                      "Created:frm"}));
  EXPECT_EQ(form_->events, (std::vector<std::string>{"FormCreate:"}));
  EXPECT_FALSE(form_->Loading());
  EXPECT_FALSE(Get<TTestLabel>("lbl").Loading());
  EXPECT_EQ(Get<TTestLabel>("lbl").Parent(), &Get<TTestRegion>("reg"));
  EXPECT_EQ(Get<TTestLabel>("lbl").Owner(), form_.get());
  // A created component cannot read a definition again.
  EXPECT_THROW(ReadComponentDefinition(*form_, "Again.qxf", "object frm: TTestForm end"),
               EComponentError);
}

TEST_F(FormReaderTest, ScreensReadTheirDefinitionAndTheFramesTheyHold) {
  Owned<TListOwner> app(new TListOwner);
  auto& screen = CreateComponent<TTestScreen>(*app);
  EXPECT_EQ(screen.Name(), "frmScreen");
  EXPECT_EQ(screen.Title(), "Pantalla de prueba \xF1");
  EXPECT_EQ(screen.events, (std::vector<std::string>{"FormCreate:btnOk"}));
  EXPECT_EQ(app->log, (std::vector<std::string>{"insert:TTestScreen"}));

  auto* frame = dynamic_cast<TTestFrame*>(screen.FindComponent("fraHeader1"));
  ASSERT_NE(frame, nullptr);
  // The frame owns the components of its own definition; the screen does not.
  EXPECT_EQ(screen.FindComponent("lblUser"), nullptr);
  auto* user = dynamic_cast<TTestLabel*>(frame->FindComponent("lblUser"));
  auto* logout = dynamic_cast<TTestButton*>(frame->FindComponent("btnLogout"));
  auto* clock = dynamic_cast<TTestTimer*>(frame->FindComponent("tmrClock"));
  ASSERT_TRUE(user && logout && clock);
  EXPECT_EQ(user->Caption(), "Welcome");
  EXPECT_EQ(user->Width(), 500);  // the screen's override
  EXPECT_EQ(user->Parent(), frame->FindComponent("regHeader"));
  EXPECT_EQ(clock->Interval(), 60000);
  // The screen rebinds the frame's button to its own handler.
  logout->Click();
  EXPECT_TRUE(frame->events.empty());
  EXPECT_EQ(screen.events.back(), "ButtonClick:btnLogout");

  // A frame made on its own binds to its own handler.
  auto& loose = CreateComponent<TTestFrame>(*app);
  EXPECT_EQ(loose.Name(), "fraHeader");
  static_cast<TTestButton*>(loose.FindComponent("btnLogout"))->Click();
  EXPECT_EQ(loose.events, (std::vector<std::string>{"LogoutClick"}));

  // A second screen of the same class takes a unique name.
  auto& second = CreateComponent<TTestScreen>(*app);
  EXPECT_EQ(second.Name(), "frmScreen_1");
  EXPECT_EQ(app->ComponentCount(), 3);
}

TEST_F(FormReaderTest, ReferencesReachIntoFramesAndTheSessionsModules) {
  test::OneModuleRegistry registry;
  Owned<TTestForm> data(new TTestForm);
  data->SetName("usData");
  data->InsertComponent(Owned<TTestLabel>(new TTestLabel)).SetName("lblShared");
  registry.module = data.get();
  SetModuleRegistry(&registry);

  Read(R"(object frm: TTestForm
  ActiveControl = fraTop.btnLogout
  object fraTop: TTestFrame
  end
  object lblA: TTestLabel
    FocusControl = USDATA.lblShared
  end
end
)");
  EXPECT_EQ(form_->ActiveControl(), Get<TTestFrame>("fraTop").FindComponent("btnLogout"));
  EXPECT_EQ(Get<TTestLabel>("lblA").FocusControl(), data->FindComponent("lblShared"));
  ExpectFailure("object frm: TTestForm\n  ActiveControl = usData.lblNope\nend\n", 2,
                "unknown component 'usData.lblNope'");
  SetModuleRegistry(nullptr);
  ExpectFailure("object frm: TTestForm\n  ActiveControl = usData.lblShared\nend\n", 2,
                "unknown component 'usData.lblShared'");
}

TEST_F(FormReaderTest, AFailedCreationLeavesTheOwnerAsItWas) {
  Owned<TListOwner> app(new TListOwner);
  try {
    CreateComponent<TBadScreen>(*app);
    FAIL() << "created";
  } catch (const EFormReadError& e) {
    EXPECT_STREQ(e.what(), "BadScreen.qxf(2): unknown component 'btnNowhere'");
  }
  EXPECT_EQ(app->ComponentCount(), 0);
  EXPECT_EQ(app->log, (std::vector<std::string>{"insert:TBadScreen", "remove:TBadScreen"}));

  try {
    CreateComponent<TOrphanScreen>(*app);
    FAIL() << "created";
  } catch (const EFormReadError& e) {
    EXPECT_STREQ(e.what(), "Orphan.qxf: the form definition resource is missing");
    EXPECT_EQ(e.Line(), 0);
  }
  EXPECT_EQ(app->ComponentCount(), 0);
}

TEST_F(FormReaderTest, UnknownNamesFailWithTheirLine) {
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabl\n  end\nend\n", 2,
                "unknown class 'TTestLabl'");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Left = 1\n    Captoin = 'x'\n  end\nend\n",
                4, "unknown property 'Captoin' of TTestLabel");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Font.Sise = 9\n  end\nend\n", 3,
                "unknown property 'Sise' of TTestFont");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Align = alMiddle\n  end\nend\n", 3,
                "unknown value 'alMiddle' of TAlign");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Anchors = [akLeft, akMiddle]\n  end\nend\n",
                3, "unknown value 'akMiddle' of TAnchorKind");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Color = clRedd\n  end\nend\n", 3,
                "unknown colour 'clRedd'");
  ExpectFailure("object frm: TTestForm\n  object btn: TTestButton\n    OnClick = btnOkClik\n  end\nend\n", 3,
                "unknown handler 'btnOkClik' of TTestForm");
  ExpectFailure("object frm: TTestForm\n  object btn: TTestButton\n    OnClick = ButtonValidate\n  end\nend\n",
                3, "handler 'ButtonValidate' does not fit the event 'OnClick' of TTestButton");
  ExpectFailure("object frm: TTestForm\n  Width = 10\n  ActiveControl = btnMissing\nend\n", 3,
                "unknown component 'btnMissing'");
  ExpectFailure("object frm: TTestForm\n  ActiveControl = tmr\n  object tmr: TTestTimer\n  end\nend\n", 2,
                "Component 'tmr' is a TTestTimer, not a TControl.");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Picture = resource 'Nope.jpg'\n  end\nend\n",
                3, "unknown resource 'Nope.jpg'");
  ExpectFailure("object frm: TTestForm\n  inherited lblNope: TTestLabel\n  end\nend\n", 2,
                "unknown component 'lblNope' in frm");
}

TEST_F(FormReaderTest, ValuesOfTheWrongKindFailWithTheirLine) {
  auto label = [](std::string_view line) {
    return "object frm: TTestForm\n  object lbl: TTestLabel\n    " + std::string(line) + "\n  end\nend\n";
  };
  ExpectFailure(label("Width = '12'"), 3, "property 'Width' of TTestLabel expects an integer");
  ExpectFailure(label("Visible = Yes"), 3, "property 'Visible' of TTestLabel expects True or False");
  ExpectFailure(label("Align = 2"), 3, "property 'Align' of TTestLabel expects a value of TAlign");
  ExpectFailure(label("Anchors = akLeft"), 3,
                "property 'Anchors' of TTestLabel expects a set of TAnchorKind values in brackets");
  ExpectFailure(label("Color = 'red'"), 3, "property 'Color' of TTestLabel expects a colour identifier or number");
  ExpectFailure(label("Picture = 'x'"), 3,
                "property 'Picture' of TTestLabel expects binary data: {hex digits} or resource 'name'");
  ExpectFailure(label("Font = 9"), 3,
                "property 'Font' of TTestLabel is an object: set its own properties, as in Font.Name = value");
  ExpectFailure(label("Caption.Size = 1"), 3, "property 'Caption' of TTestLabel has no properties of its own");
  ExpectFailure(label("Small = 40000"), 3, "value 40000 is out of range for property 'Small' of TTestLabel");
  ExpectFailure(label("Color = $1FFFFFFFF"), 3, "value 8589934591 is out of range for property 'Color' of TTestLabel");
  ExpectFailure("object frm: TTestForm\n  object btn: TTestButton\n    OnClick = frm.ButtonClick\n  end\nend\n",
                3, "property 'OnClick' of TTestButton expects a handler name");
}

TEST_F(FormReaderTest, StructuralMistakesFailWithTheirLine) {
  ExpectFailure("object frm: TTestLabel\nend\n", 1, "the definition is for TTestLabel, not TTestForm");
  ExpectFailure("inherited frm: TTestForm\nend\n", 1, "the definition must start with 'object'");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n  end\n  object LBL: TTestLabel\n  end\nend\n", 4,
                "A component named LBL already exists.");
  ExpectFailure("object frm: TTestForm\n  object lblA: TTestLabel\n    object lblB: TTestLabel\n    end\n  end\nend\n",
                3, "TTestLabel 'lblA' cannot hold the control 'lblB'.");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n  end\n  inherited lbl: TTestButton\n  end\nend\n",
                4, "component 'lbl' is a TTestLabel, not a TTestButton");
  ExpectFailure("object frm: TTestForm\n  object grd: TTestGrid\n    Columns = <item end>\n  end\n"
                "  inherited grd: TTestGrid\n    Columns = <item end>\n  end\nend\n",
                6, "collection 'Columns' of TTestGrid is given twice");
  ExpectFailure("object frm: TTestForm\n  Width = 1\n  Width = 2\nend\n", 3, "property 'Width' is set twice");
}

TEST_F(FormReaderTest, SyntaxErrorsFailWithTheirLine) {
  ExpectFailure("object frm: TTestForm\n  Caption 'x'\nend\n", 2, "expected '=' but found a string");
  ExpectFailure("object frm: TTestForm\n  Title = 'open\nend\n", 2, "unterminated string");
  ExpectFailure("object frm: TTestForm\n  Width = 1\n", 3, "missing 'end' of object frm");
  ExpectFailure("object frm: TTestForm\nend\nend\n", 3, "unexpected 'end' after the end of the root object");
  ExpectFailure("object frm: TTestForm\n  Title = #300\nend\n", 2, "character code #300 is above 255");
  ExpectFailure("object frm: TTestForm\n  Title = #\nend\n", 2, "'#' must be followed by a character code");
  ExpectFailure("object frm: TTestForm\n  Title = '\xE4\xB8\xAD'\nend\n", 2,
                "text is not UTF-8 that Windows-1252 can hold; write such characters as #nnn");
  ExpectFailure("object frm: TTestForm\n  Title = '\xE9t\xE9'\nend\n", 2,
                "text is not UTF-8 that Windows-1252 can hold; write such characters as #nnn");
  ExpectFailure("object frm: TTestForm\n  Width = 1;\nend\n", 2, "unexpected character ';'");
  ExpectFailure("object frm: TTestForm\n  Width = 99999999999999999999\nend\n", 2,
                "number 99999999999999999999 is out of range");
  ExpectFailure("object frm: TTestForm\n  Width =\nend\n", 3, "expected a value but found 'end'");
  ExpectFailure("object 1abc: TTestForm\nend\n", 1, "expected a component name but found '1'");
  ExpectFailure("object frm TTestForm\nend\n", 1, "expected ':' but found 'TTestForm'");
  ExpectFailure("object frm: TTestForm\n  Anchors = [akLeft akTop]\nend\n", 2, "expected ']' but found 'akTop'");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Picture = {FG}\n  end\nend\n", 3,
                "binary data holds 'G', which is not a hexadecimal digit");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Picture = {ABC}\n  end\nend\n", 3,
                "binary data has an odd number of hexadecimal digits");
  ExpectFailure("object frm: TTestForm\n  object lbl: TTestLabel\n    Lines = ('a' 3)\n  end\nend\n", 3,
                "expected a string or ')' but found '3'");
  ExpectFailure("object frm: TTestForm\n  Title = 'a' +\nend\n", 3, "expected a string after '+' but found 'end'");
}

TEST_F(FormReaderTest, ByteOrderMarkAndCommentsAreIgnored) {
  Read("\xEF\xBB\xBF// a screen\nobject frm: TTestForm // the root\n  Title = 'a // b' // note\nend\n");
  EXPECT_EQ(form_->Title(), "a // b");
}
