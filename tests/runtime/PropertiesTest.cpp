// Published-property tables: kinds, inheritance, redeclaration, typed access through the
// table, component references, handler tables, the class registry, enumerations and colours.
#include <gtest/gtest.h>

#include <vector>

#include "TestComponents.h"

using namespace qx;
using namespace qx::test;

namespace {

// Declares Caption again with its own accessors, and adds a property of its own.
class TShoutingLabel : public TTestLabel {
  QX_CLASS(TShoutingLabel, TTestLabel)

 public:
  void SetLoudCaption(std::string_view caption) { SetCaption(AnsiUpperCase(caption)); }
  int Volume() const { return volume_; }
  void SetVolume(int volume) { volume_ = volume; }

 private:
  int volume_ = 0;
};

const TClassInfo& TShoutingLabel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TShoutingLabel>("TShoutingLabel")
          .Property("Caption", &TTestLabel::Caption, &TShoutingLabel::SetLoudCaption)
          .Property("Volume", &TShoutingLabel::Volume, &TShoutingLabel::SetVolume)
          .Build();
  return info;
}

// Another class under a name that is already registered.
class TImpostor : public TComponent {
  QX_CLASS(TImpostor, TComponent)
};

const TClassInfo& TImpostor::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImpostor>("TTestLabel").Creatable().Build();
  return info;
}

const TPropInfo& Prop(const TObject& o, std::string_view name) {
  const TPropInfo* p = o.ClassInfo().FindProperty(name);
  if (!p) throw std::runtime_error("no property " + std::string(name));
  return *p;
}

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestComponents(); }
};

}  // namespace

TEST_F(PropertiesTest, KindsFollowTheAccessorTypes) {
  Owned<TTestLabel> label(new TTestLabel);
  const TClassInfo& cls = label->ClassInfo();
  EXPECT_EQ(cls.Name(), "TTestLabel");
  EXPECT_EQ(label->ClassName(), "TTestLabel");
  auto kind = [&](std::string_view n) { return Prop(*label, n).kind; };
  EXPECT_EQ(kind("Left"), TPropKind::Integer);
  EXPECT_EQ(kind("Visible"), TPropKind::Boolean);
  EXPECT_EQ(kind("Align"), TPropKind::Enum);
  EXPECT_EQ(kind("Anchors"), TPropKind::Set);
  EXPECT_EQ(kind("Caption"), TPropKind::String);
  EXPECT_EQ(kind("Font"), TPropKind::Object);
  EXPECT_EQ(kind("Color"), TPropKind::Color);
  EXPECT_EQ(kind("Lines"), TPropKind::Strings);
  EXPECT_EQ(kind("Ratio"), TPropKind::Float);
  EXPECT_EQ(kind("Picture"), TPropKind::Binary);
  EXPECT_EQ(kind("FocusControl"), TPropKind::Component);
  EXPECT_EQ(Prop(TTestButton(), "OnClick").kind, TPropKind::Event);
  Owned<TTestGrid> grid(new TTestGrid);
  EXPECT_EQ(Prop(*grid, "Columns").kind, TPropKind::Collection);
  EXPECT_EQ(Prop(*label, "Align").enumInfo->Name(), "TAlign");
  EXPECT_EQ(Prop(*label, "Anchors").enumInfo->Name(), "TAnchorKind");
  EXPECT_EQ(Prop(*label, "Small").minValue, -32768);
  EXPECT_EQ(Prop(*label, "Small").maxValue, 32767);
}

TEST_F(PropertiesTest, TablesAreInheritedAndFoundWithoutRegardToCase) {
  Owned<TTestLabel> label(new TTestLabel);
  const TClassInfo& cls = label->ClassInfo();
  EXPECT_TRUE(cls.InheritsFrom(TControl::StaticClassInfo()));
  EXPECT_TRUE(cls.InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_FALSE(cls.InheritsFrom(TWinControl::StaticClassInfo()));
  EXPECT_EQ(cls.FindProperty("caption"), cls.FindProperty("CAPTION"));
  EXPECT_NE(cls.FindProperty("tag"), nullptr);  // from TComponent
  EXPECT_EQ(cls.FindProperty("Captoin"), nullptr);
  // The ancestors' properties come first, in declaration order.
  const auto& all = cls.Properties();
  ASSERT_GE(all.size(), 10u);
  EXPECT_EQ(all[0]->name, "Tag");
  EXPECT_EQ(all[1]->name, "Left");
  EXPECT_EQ(TComponent::StaticClassInfo().FindProperty("Caption"), nullptr);
}

// A class without class information of its own: it reports its ancestor's.
class TQuietLabel : public TTestLabel {};

// Whether `object` is a T, asking ClassCast, which must answer as dynamic_cast does.
template <class T>
bool IsA(TComponent* object) {
  const TComponent* constant = object;
  EXPECT_EQ(ClassCast<T>(object), dynamic_cast<T*>(object))
      << object->ClassName() << " as " << T::StaticClassInfo().Name();
  EXPECT_EQ(ClassCast<T>(constant), dynamic_cast<const T*>(constant));
  return ClassCast<T>(object) != nullptr;
}

// How many of the classes T… `object` is one of.
template <class... T>
int ClassCastsOf(TComponent* object) {
  return (IsA<T>(object) + ...);
}

TEST_F(PropertiesTest, ClassCastAnswersAsDynamicCast) {
  Owned<TComponent> objects[] = {
      Owned<TComponent>(new TTestLabel), Owned<TComponent>(new TShoutingLabel),
      Owned<TComponent>(new TQuietLabel), Owned<TComponent>(new TTestButton),
      Owned<TComponent>(new TTestRegion), Owned<TComponent>(new TTestTimer),
      Owned<TComponent>(new TTestScreen), Owned<TComponent>(new TTestFrame)};
  std::vector<int> counts;
  for (const auto& object : objects)
    counts.push_back(ClassCastsOf<TObject, TPersistent, TComponent, TControl, TWinControl,
                                  TScrollingWinControl, TFrame, TTestControl, TTestLabel,
                                  TShoutingLabel, TTestButton, TTestForm, TTestScreen>(object.get()));
  EXPECT_EQ(counts, (std::vector<int>{6, 7, 6, 6, 6, 3, 8, 7}));
  EXPECT_EQ(ClassCast<TControl>(static_cast<TComponent*>(nullptr)), nullptr);
}

TEST_F(PropertiesTest, RedeclaredPropertyReplacesTheInheritedOneInPlace) {
  Owned<TShoutingLabel> label(new TShoutingLabel);
  const TClassInfo& cls = label->ClassInfo();
  EXPECT_EQ(cls.Properties().size(), TTestLabel::StaticClassInfo().Properties().size() + 1);
  Prop(*label, "Caption").setString(*label, "hola");
  EXPECT_EQ(label->Caption(), "HOLA");
  // The parent's table is untouched.
  Owned<TTestLabel> plain(new TTestLabel);
  Prop(*plain, "Caption").setString(*plain, "hola");
  EXPECT_EQ(plain->Caption(), "hola");
}

TEST_F(PropertiesTest, TypedAccessThroughTheTable) {
  Owned<TTestLabel> label(new TTestLabel);
  TTestLabel& l = *label;
  Prop(l, "Left").setOrdinal(l, 120);
  EXPECT_EQ(l.Left(), 120);
  EXPECT_EQ(Prop(l, "Width").getOrdinal(l), 121);
  Prop(l, "Align").setOrdinal(l, alRight);
  EXPECT_EQ(l.Align(), alRight);
  EXPECT_EQ(Prop(l, "Anchors").getOrdinal(l), static_cast<std::int64_t>(TAnchors{akLeft, akTop}.Bits()));
  Prop(l, "Anchors").setOrdinal(l, static_cast<std::int64_t>(TAnchors{akRight}.Bits()));
  EXPECT_EQ(l.Anchors(), TAnchors{akRight});
  Prop(l, "Visible").setOrdinal(l, 0);
  EXPECT_FALSE(l.Visible());
  Prop(l, "Color").setOrdinal(l, ColorValue(clBtnFace));
  EXPECT_EQ(l.Color(), clBtnFace);
  Prop(l, "Ratio").setFloat(l, 0.25);
  EXPECT_DOUBLE_EQ(Prop(l, "Ratio").getFloat(l), 0.25);
  Prop(l, "Lines").setStrings(l, TStringList{"a", "b"});
  EXPECT_EQ(l.Lines().Count(), 2);
  EXPECT_EQ(Prop(l, "Lines").getStrings(l)[1], "b");
  Prop(l, "Picture").setString(l, std::string("\xFF\xD8\x00", 3));
  EXPECT_EQ(l.Picture().size(), 3u);

  // Nested objects are reached through their owner, then set through their own table.
  TPersistent* font = Prop(l, "Font").getObject(l);
  ASSERT_EQ(font, &l.Font());
  Prop(*font, "Size").setOrdinal(*font, 14);
  Prop(*font, "Style").setOrdinal(*font, static_cast<std::int64_t>(TTestFontStyles{fsBold, fsItalic}.Bits()));
  EXPECT_EQ(l.Font().Size(), 14);
  EXPECT_TRUE(l.Font().Style().Contains(fsItalic));
  EXPECT_FALSE(l.Font().Style().Contains(fsUnderline));
}

TEST_F(PropertiesTest, ComponentPropertiesAcceptOnlyTheirClass) {
  Owned<TTestForm> form(new TTestForm);
  TTestLabel& label = form->InsertComponent(Owned<TTestLabel>(new TTestLabel));
  label.SetName("lblName");
  TTestTimer& timer = form->InsertComponent(Owned<TTestTimer>(new TTestTimer));
  timer.SetName("tmrClock");
  const TPropInfo& p = Prop(*form, "ActiveControl");
  EXPECT_EQ(p.componentClass, &TControl::StaticClassInfo());
  p.setComponent(*form, &label);
  EXPECT_EQ(form->ActiveControl(), &label);
  EXPECT_EQ(p.getComponent(*form), &label);
  try {
    p.setComponent(*form, &timer);
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Component 'tmrClock' is a TTestTimer, not a TControl.");
  }
  EXPECT_EQ(form->ActiveControl(), &label);
  p.setComponent(*form, nullptr);
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(PropertiesTest, HandlersBindOnlyToEventsOfTheSameSignature) {
  const TClassInfo& formClass = TTestForm::StaticClassInfo();
  const THandlerInfo* click = formClass.FindHandler("buttonclick");
  const THandlerInfo* validate = formClass.FindHandler("ButtonValidate");
  ASSERT_TRUE(click && validate);
  EXPECT_EQ(formClass.FindHandler("ButtonClik"), nullptr);
  // Handlers are inherited by derived form classes.
  EXPECT_EQ(TTestScreen::StaticClassInfo().FindHandler("ButtonClick"), click);

  TTestButton button;
  const TPropInfo& onClick = Prop(button, "OnClick");
  const TPropInfo& onValidate = Prop(button, "OnValidate");
  EXPECT_EQ(click->type, onClick.eventType);
  EXPECT_NE(click->type, onValidate.eventType);
  EXPECT_EQ(validate->type, onValidate.eventType);
  EXPECT_EQ(Prop(*Owned<TTestTimer>(new TTestTimer), "OnTimer").eventType, onClick.eventType);

  Owned<TTestForm> form(new TTestForm);
  button.SetName("btnOk");
  onClick.setEvent(button, click->bind(*form));
  onValidate.setEvent(button, validate->bind(*form));
  EXPECT_TRUE(onClick.isAssigned(button));
  button.Click();
  form->rejectValidation = true;
  EXPECT_FALSE(button.Validate());  // the result comes back through the reference
  EXPECT_EQ(form->events, (std::vector<std::string>{"ButtonClick:btnOk", "ButtonValidate:btnOk"}));
  onClick.setEvent(button, std::any());
  EXPECT_FALSE(onClick.isAssigned(button));
}

TEST_F(PropertiesTest, ClassRegistry) {
  EXPECT_EQ(FindClass("ttestlabel"), &TTestLabel::StaticClassInfo());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  RegisterClass(TTestLabel::StaticClassInfo());  // again: no effect
  try {
    RegisterClass(TImpostor::StaticClassInfo());
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "Class TTestLabel is already registered.");
  }
  EXPECT_EQ(FindClass("TTestLabel"), &TTestLabel::StaticClassInfo());
  Owned<TComponent> made = TTestLabel::StaticClassInfo().NewInstance();
  EXPECT_EQ(made->ClassName(), "TTestLabel");
  try {
    TControl::StaticClassInfo().NewInstance();
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "Class TControl cannot be created by name.");
  }
}

TEST_F(PropertiesTest, EnumerationNamesAndSets) {
  const TEnumInfo& align = EnumInfoOf(alNone);
  EXPECT_EQ(align.NameOf(alClient), "alClient");
  EXPECT_EQ(align.ValueOf("ALBOTTOM"), alBottom);
  EXPECT_FALSE(align.ValueOf("alMiddle"));
  EXPECT_EQ(align.NameOf(17), "");

  TAnchors a{akLeft, akTop};
  EXPECT_TRUE(a.Contains(akTop));
  EXPECT_FALSE(a.Contains(akRight));
  a.Include(akRight).Exclude(akLeft);
  EXPECT_EQ(a, (TAnchors{akTop, akRight}));
  EXPECT_EQ(a + TAnchors{akBottom}, (TAnchors{akTop, akRight, akBottom}));
  EXPECT_EQ((a * TAnchors{akRight, akBottom}), (TAnchors{akRight}));
  EXPECT_EQ(a - TAnchors{akTop}, (TAnchors{akRight}));
  EXPECT_TRUE(TAnchors().Empty());
}

TEST_F(PropertiesTest, ColoursByIdentifierAndSystemTable) {
  EXPECT_EQ(IdentToColor("clRed"), RGBColor(255, 0, 0));
  EXPECT_EQ(ColorValue(clRed), 0x0000FF);  // $00BBGGRR
  EXPECT_EQ(IdentToColor("CLWEBALICEBLUE"), WebColor(0xF0F8FF));
  EXPECT_EQ(ColorValue(clWebLightBlue), 0xE6D8AD);
  EXPECT_EQ(IdentToColor("clBtnFace"), clBtnFace);
  EXPECT_EQ(static_cast<std::uint32_t>(ColorValue(clBtnFace)), 0xFF00000Fu);
  EXPECT_FALSE(IdentToColor("clRedd"));
  EXPECT_EQ(ColorToIdent(clNone), "clNone");
  EXPECT_EQ(ColorToIdent(WebColor(0xFF0000)), "clRed");  // standard names come first
  EXPECT_EQ(ColorToIdent(clWebMidnightBlue), "clWebMidnightBlue");
  EXPECT_EQ(ColorToIdent(RGBColor(1, 2, 3)), "");

  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(TColor{-1}));
  EXPECT_FALSE(IsSystemColor(clNone));
  TColor face = ColorToRGB(clBtnFace);
  EXPECT_FALSE(IsSystemColor(face));
  EXPECT_EQ(GetRValue(face), 0xD4u);
  EXPECT_EQ(GetGValue(face), 0xD0u);
  EXPECT_EQ(GetBValue(face), 0xC8u);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clWebSteelBlue), clWebSteelBlue);
  EXPECT_EQ(ColorToRGB(TColor{-1}), TColor{-1});
  EXPECT_EQ(ColorToRGB(clNone), clNone);
}
