// The common control contract: element names in frames and regions, the name rule, the
// rendered position and size per browser, style text, regions and their border widths.
#include <gtest/gtest.h>

#include "TestControls.h"
#include "forms/Font.h"
#include "forms/RenderContext.h"
#include "runtime/FormReader.h"

namespace qx::test {
namespace {

constexpr char kDefaultFontIE[] =
    "font-weight:normal;font-style:normal;text-decoration: none;font-size:13px; ";

class ControlTest : public ::testing::Test {
 protected:
  Owned<TTestScreen> form_{CreateComponent<TTestScreen>()};
  TTestScreen& Form() { return *form_; }
  // A region of the form with a numeric border of `border` pixels.
  TIWRegion& Region(int border, std::string_view name = "IWRegion1") {
    TIWRegion& region = AddControl<TIWRegion>(Form(), Form(), name, 10, 10, 476, 316);
    region.BorderOptions().SetNumericWidth(border);
    return region;
  }
};

TEST_F(ControlTest, TheWorkedExampleOnTheFormAndInABorderedRegion) {
  TTestEdit& onForm = AddControl<TTestEdit>(Form(), Form(), "edtOne", 120, 124, 161, 16);
  EXPECT_EQ(StyleOf(onForm, brIE),
            std::string("position:absolute;left:120px;top:124px;z-index:100;width:161px;height:16px;") +
                kDefaultFontIE);

  TIWRegion& region = Region(2);
  TTestEdit& inRegion = AddControl<TTestEdit>(Form(), region, "edtTwo", 120, 124, 161, 16);
  EXPECT_EQ(StyleOf(inRegion, brIE).rfind("position:absolute;left:118px;top:122px;z-index:100;", 0), 0u);
  EXPECT_EQ(inRegion.RenderedLeft(brOpera), 116);
  EXPECT_EQ(inRegion.RenderedTop(brOpera), 120);
  EXPECT_EQ(inRegion.RenderedLeft(brSafari), 115);
  EXPECT_EQ(inRegion.RenderedTop(brSafari), 119);
  EXPECT_EQ(inRegion.RenderedLeft(brNetscape7), 118);
}

TEST_F(ControlTest, ZIndexZeroIsOneHundredMinusOneHundredWritesNoneARegionDefaultsToEleven) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 0, 0, 10, 10);
  edit.SetZIndex(kNoZIndex);
  EXPECT_EQ(StyleOf(edit, brIE).find("z-index"), std::string::npos);
  edit.SetZIndex(5);
  EXPECT_NE(StyleOf(edit, brIE).find("z-index:105;"), std::string::npos);
  TIWRegion& region = Region(1);
  EXPECT_EQ(region.ZIndex(), 1000);
  EXPECT_NE(StyleOf(region, brIE).find("z-index:1100;"), std::string::npos);
}

TEST_F(ControlTest, CssWithoutRenderSizeGivesNoStyleTextAndTheCssAsClass) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 5, 5, 10, 10);
  edit.SetCss("myEdit");
  edit.SetRenderSize(false);
  EXPECT_EQ(StyleOf(edit, brIE), "");
  EXPECT_EQ(edit.CssClassName(), "myEdit");
  edit.SetRenderSize(true);
  EXPECT_NE(StyleOf(edit, brIE), "");
  edit.SetCss("");
  EXPECT_EQ(edit.CssClassName(), "EDTONECSS");
}

TEST_F(ControlTest, SizeIsWrittenWhenAskedForOrWhenTheControlDoesNotSizeItself) {
  TTestLabel& label = AddControl<TTestLabel>(Form(), Form(), "lblOne", 1, 2, 30, 40);
  EXPECT_EQ(StyleOf(label, brIE).find("width:"), std::string::npos);
  label.SetAutoSize(false);
  EXPECT_NE(StyleOf(label, brIE).find("width:30px;height:40px;"), std::string::npos);
  label.StyleRenderOptions().SetRenderSize(false);
  EXPECT_EQ(StyleOf(label, brIE).find("width:"), std::string::npos);
  label.StyleRenderOptions().SetRenderFont(false);
  label.StyleRenderOptions().SetRenderZIndex(false);
  EXPECT_EQ(StyleOf(label, brIE), "position:absolute;left:1px;top:2px;");
}

TEST_F(ControlTest, CursorsAreWrittenWithASpaceBeforeTheColon) {
  TTestLabel& label = AddControl<TTestLabel>(Form(), Form(), "lblOne", 0, 0, 1, 1);
  label.Font().SetEnabled(false);
  label.SetCursor(crPointer);
  EXPECT_EQ(StyleOf(label, brIE), "position:absolute;left:0px;top:0px;z-index:100;cursor :pointer;");
  label.SetCursor(crHelp);
  EXPECT_NE(StyleOf(label, brIE).find("cursor :help;"), std::string::npos);
  label.SetCursor(crNEResize);
  EXPECT_NE(StyleOf(label, brIE).find("cursor :ne-resize;"), std::string::npos);
}

TEST_F(ControlTest, AControlWithoutParentHasNoPositionPart) {
  Owned<TTestLabel> label(new TTestLabel);
  label->Font().SetEnabled(false);
  EXPECT_EQ(StyleOf(*label, brIE), "z-index:100;");
  EXPECT_EQ(label->RenderedLeft(brSafari), 0);
}

TEST_F(ControlTest, RightAndBottomAlignedControlsIgnoreTheBrowserCorrection) {
  TIWRegion& region = Region(3);
  TTestEdit& edit = AddControl<TTestEdit>(Form(), region, "edtOne", 0, 0, 50, 20);
  edit.SetAlign(alRight);
  const int left = edit.Left();
  EXPECT_EQ(edit.RenderedLeft(brSafari), left - 3);
  EXPECT_EQ(edit.RenderedLeft(brIE), left - 3);
  EXPECT_EQ(edit.RenderedTop(brSafari), edit.Top() - 1 - 2 * 3);
}

TEST_F(ControlTest, AControlIsKeptClearOfItsRegionsBorder) {
  TIWRegion& region = Region(4);
  TTestEdit& edit = AddControl<TTestEdit>(Form(), region, "edtOne", 1, 2, 50, 20);
  EXPECT_EQ(edit.RenderedLeft(brIE), 0);  // at the border: 4 - 4
  EXPECT_EQ(edit.RenderedTop(brIE), 0);
}

TEST_F(ControlTest, TheContainersScrollPositionIsAddedUnlessAlignedToTheNearSide) {
  TIWRegion& region = Region(0);
  TTestEdit& edit = AddControl<TTestEdit>(Form(), region, "edtOne", 10, 20, 50, 20);
  region.HorzScrollBar().SetPosition(7);
  region.VertScrollBar().SetPosition(9);
  EXPECT_EQ(edit.RenderedLeft(brIE), 17);
  EXPECT_EQ(edit.RenderedTop(brIE), 29);
  edit.SetAlign(alTop);
  EXPECT_EQ(edit.RenderedTop(brIE), edit.Top());
  EXPECT_EQ(edit.RenderedLeft(brIE), edit.Left() + 7);
}

TEST_F(ControlTest, GeckoRendersFramedControlsAndRegionsSmaller) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 0, 0, 161, 16);
  edit.SetUseFrame(true);
  EXPECT_EQ(edit.RenderedWidth(brNetscape7), 157);
  EXPECT_EQ(edit.RenderedHeight(brNetscape6), 12);
  EXPECT_EQ(edit.RenderedWidth(brIE), 161);
  TIWRegion& region = Region(1);
  region.BorderOptions().SetBorderWidth(cbwMedium);
  EXPECT_EQ(region.RenderedWidth(brNetscape7), 470);
  EXPECT_EQ(region.RenderedHeight(brNetscape7), 310);
  EXPECT_EQ(region.RenderedWidth(brSafari), 476);
}

TEST_F(ControlTest, BorderWidthInPixels) {
  TIWContainerBorderOptions options;
  EXPECT_EQ(options.PixelWidth(), 1);  // cbsSolid, cbwNumeric, 1
  options.SetBorderWidth(cbwThin);
  EXPECT_EQ(options.PixelWidth(), 1);
  options.SetBorderWidth(cbwMedium);
  EXPECT_EQ(options.PixelWidth(), 3);
  options.SetBorderWidth(cbwThick);
  EXPECT_EQ(options.PixelWidth(), 5);
  options.SetStyle(cbsHidden);
  EXPECT_EQ(options.PixelWidth(), 0);
  options.SetStyle(cbsNone);
  EXPECT_EQ(options.PixelWidth(), 0);
  options.SetStyle(cbsDouble);
  options.SetBorderWidth(static_cast<TIWContainerBorderWidth>(7));
  try {
    options.PixelWidth();
    FAIL() << "an unknown border width must fail";
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Unkown border width.");
  }
}

TEST_F(ControlTest, ARegionsDivCarriesBorderOverflowBackgroundPaddingAndClip) {
  TIWRegion& region = Region(2);
  region.BorderOptions().SetColor(clWhite);
  region.SetColor(clWebAliceBlue);
  TIWPageContext40 page(brIE, "");
  Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
  TIWContainerContext container(Form(), *layout, nullptr, false);
  TIWComponent40Context context(region, page, container);
  EXPECT_EQ(region.RenderMarkup(context)->Text(),
            "<div STYLE=\"border-color:#FFFFFF;border-style:solid;border-width:2;overflow-x:auto;"
            "overflow-y:auto;background-color:#F0F8FF;padding:0;clip:rect(0px,476px,316px,0px);\"></div>");

  TIWPageContext40 gecko(brNetscape7, "");
  TIWComponent40Context geckoContext(region, gecko, container);
  region.HorzScrollBar().SetVisible(false);
  region.VertScrollBar().SetVisible(false);
  EXPECT_EQ(region.RenderMarkup(geckoContext)->Param("STYLE"),
            "border-color:#FFFFFF;border-style:solid;border-width:2;overflow:hidden;"
            "background-color:#F0F8FF;padding:0;clip:rect(0px,476px,316px,0px);");
  TIWPageContext40 safari(brSafari, "");
  TIWComponent40Context safariContext(region, safari, container);
  EXPECT_NE(region.RenderMarkup(safariContext)->Param("STYLE").find("clip:rect(0px,480px,320px,0px);"),
            std::string::npos);
}

TEST_F(ControlTest, ARegionWithoutBorderClipsAtItsOwnSizeAndKeywordWidthsHaveNoUnit) {
  TIWRegion& region = Region(2);
  region.BorderOptions().SetStyle(cbsNone);
  region.SetClipRegion(true);
  TIWPageContext40 page(brNetscape7, "");
  Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
  TIWContainerContext container(Form(), *layout, nullptr, false);
  TIWComponent40Context context(region, page, container);
  EXPECT_EQ(region.RenderMarkup(context)->Param("STYLE"),
            "border-style:none;border-width:2;overflow:auto;padding:0;clip:rect(0px,476px,316px,0px);");
  region.BorderOptions().SetBorderWidth(cbwThick);
  region.SetClipRegion(false);
  EXPECT_EQ(region.RenderMarkup(context)->Param("STYLE"), "border-style:none;border-width:thick;padding:0;");
}

TEST_F(ControlTest, ABorderChangeReLaysOutTheRegionsAlignedControls) {
  TIWRegion& region = Region(1);
  TTestEdit& edit = AddControl<TTestEdit>(Form(), region, "edtOne", 0, 0, 50, 20);
  edit.SetAlign(alClient);
  EXPECT_EQ(edit.Bounds(), (TBounds{1, 1, 474, 314}));
  region.BorderOptions().SetNumericWidth(5);
  EXPECT_EQ(edit.Bounds(), (TBounds{5, 5, 466, 306}));
}

TEST_F(ControlTest, AnAlignedSplitterRegionHasAGripAndPostsItsRectangle) {
  TIWRegion& region = Region(1, "regSide");
  region.SetSplitter(true);
  EXPECT_FALSE(region.TakesInput());  // not aligned: no grip
  region.SetAlign(alLeft);
  ASSERT_TRUE(region.TakesInput());
  TIWPageContext40 page(brIE, "");
  Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
  TIWContainerContext container(Form(), *layout, nullptr, false);
  TIWComponent40Context context(region, page, container);
  const std::string markup = region.RenderMarkup(context)->Text();
  EXPECT_NE(markup.find("<div ID=\"REGSIDE_grip\" STYLE=\"position:absolute;top:0px;right:0px;height:100%;"
                        "width:4px;cursor:e-resize;"),
            std::string::npos);
  EXPECT_NE(markup.find("<input TYPE=\"HIDDEN\" ID=\"REGSIDE_data\" NAME=\"REGSIDE_data\" VALUE=\"0,0,476,200\">"),
            std::string::npos);
  EXPECT_EQ(page.ScriptFiles(), (std::vector<std::string>{"/js/IWSplitter.js"}));
  TStringList fields;
  region.RegisterFields(fields);
  EXPECT_EQ(fields.Lines(), (std::vector<std::string>{"REGSIDE_data"}));
  EXPECT_TRUE(region.OwnsField("REGSIDE_data"));
  EXPECT_TRUE(region.OwnsField("REGSIDE_DATA"));  // as the post processing asks
  EXPECT_FALSE(region.OwnsField("REGSIDE"));

  region.ApplySubmittedValue("0,0,150,200");
  EXPECT_EQ(region.Width(), 150);
  for (const char* bad : {"0,0,x,200", "0,0,150", "0,0,150,200,9", "", "0,0,-5,200"}) {
    try {
      region.ApplySubmittedValue(bad);
      FAIL() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Invalid splitter position '") + bad + "'.");
    }
    EXPECT_EQ(region.Width(), 150) << bad;
  }
}

TEST_F(ControlTest, ElementNamesInFramesAndRegions) {
  TTestFrame& frame = CreateComponent<TTestFrame>(Form());
  frame.SetName("fraEncabezado1");
  frame.SetParent(&Form());
  TIWRegion& region = CreateComponent<TIWRegion>(frame);
  region.SetName("regEncabezado");
  region.SetParent(&frame);
  TTestLabel& label = AddControl<TTestLabel>(frame, region, "lblUsuario", 265, 3, 245, 16);
  TTestTimer& timer = CreateComponent<TTestTimer>(frame);
  timer.SetName("tmrHome");
  EXPECT_EQ(region.ElementName(), "FRAENCABEZADO1REGENCABEZADO");
  EXPECT_EQ(label.ElementName(), "LBLUSUARIOFRAENCABEZADO1");
  EXPECT_EQ(timer.ElementName(), "FRAENCABEZADO1TMRHOME");
  // A region inside that region hands the frame's suffix on.
  TIWRegion& inner = AddControl<TIWRegion>(frame, region, "regInner", 0, 0, 10, 10);
  EXPECT_EQ(AddControl<TTestEdit>(frame, inner, "edtX", 0, 0, 1, 1).ElementName(), "EDTXFRAENCABEZADO1");

  TIWRegion& plain = Region(1, "IWRegion2");
  EXPECT_EQ(plain.ElementName(), "IWREGION2");
  EXPECT_EQ(AddControl<TTestEdit>(Form(), plain, "edtPassword", 0, 0, 1, 1).ElementName(), "EDTPASSWORD");
}

TEST_F(ControlTest, AControlsRegionInAFrameIsPlacedAtTheFrame) {
  TTestFrame& frame = CreateComponent<TTestFrame>(Form());
  frame.SetName("fra1");
  frame.SetParent(&Form());
  frame.SetBounds(0, 30, 616, 40);
  TIWRegion& region = CreateComponent<TIWRegion>(frame);
  region.SetName("regTop");
  region.SetParent(&frame);
  region.SetBounds(4, 4, 600, 30);
  EXPECT_EQ(region.RenderedLeft(brSafari), 0);
  EXPECT_EQ(region.RenderedTop(brSafari), 30);
}

TEST_F(ControlTest, NamesWithAnUnderscoreAreRefused) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 0, 0, 1, 1);
  try {
    edit.SetName("edt_One");
    FAIL() << "the name must be refused";
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "\"edt_One\" is not a valid component name.");
  }
  EXPECT_EQ(edit.Name(), "edtOne");
  EXPECT_THROW(CreateComponent<TTestTimer>(Form()).SetName("tmr_1"), EComponentError);
  EXPECT_THROW(Region(1).SetName("reg_1"), EComponentError);
  // Forms may carry the suffix the definition reader makes names unique with.
  Form().SetName("frmTest_1");
  EXPECT_EQ(Form().Name(), "frmTest_1");
}

TEST_F(ControlTest, FriendlyNameFollowsTheNameUntilItDiffers) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 0, 0, 1, 1);
  EXPECT_EQ(edit.FriendlyName(), "edtOne");
  edit.SetName("edtTwo");
  EXPECT_EQ(edit.FriendlyName(), "edtTwo");
  edit.SetFriendlyName("Password");
  edit.SetName("edtThree");
  EXPECT_EQ(edit.FriendlyName(), "Password");
}

TEST_F(ControlTest, SettersSetTheChangedMark) {
  TTestEdit& edit = AddControl<TTestEdit>(Form(), Form(), "edtOne", 0, 0, 10, 10);
  auto marks = [&](auto change) {
    edit.SetChanged(false);
    change();
    return edit.Changed();
  };
  EXPECT_TRUE(marks([&] { edit.SetHint("h"); }));
  EXPECT_TRUE(marks([&] { edit.SetVisible(false); }));
  EXPECT_TRUE(marks([&] { edit.SetEnabled(false); }));
  EXPECT_TRUE(marks([&] { edit.SetLeft(3); }));
  EXPECT_TRUE(marks([&] { edit.Font().SetSize(20); }));
  EXPECT_TRUE(marks([&] { edit.SetColor(clRed); }));
  EXPECT_FALSE(marks([&] { edit.SetColor(clRed); }));
}

TEST_F(ControlTest, DefinitionsSetTheCommonPropertiesByName) {
  RegisterTestControls();
  RegisterClasses<TIWRegion>();
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Test.qxf", R"(
object frmTest: TTestScreen
  object IWRegion1: TIWRegion
    Width = 200
    Height = 100
    Color = clWebAliceBlue
    BorderOptions.Color = clWhite
    BorderOptions.NumericWidth = 2
    BorderOptions.Style = cbsDouble
    ClipRegion = False
    object edtName: TTestEdit
      Left = 20
      Top = 30
      ZIndex = 3
      Hint = 'Your name'
      Font.Size = 9
      Font.Style = [fsBold]
      Cursor = crText
      StyleRenderOptions.RenderFont = False
      ExtraTagParams = ( 'maxlength=10' )
      Anchors = [akLeft, akTop, akRight]
      ScriptEvents = <
        item
          EventName = 'OnKeyUp'
          EventCode = ( 'x = 1;' )
        end>
    end
  end
end)");
  auto& region = static_cast<TIWRegion&>(*screen->FindComponent("IWRegion1"));
  auto& edit = static_cast<TTestEdit&>(*screen->FindComponent("edtName"));
  EXPECT_EQ(region.BorderOptions().PixelWidth(), 2);
  EXPECT_EQ(region.BorderOptions().Style(), cbsDouble);
  EXPECT_FALSE(region.ClipRegion());
  EXPECT_EQ(edit.Parent(), &region);
  EXPECT_EQ(edit.ZIndex(), 3);
  EXPECT_EQ(edit.Font().Size(), 9);
  EXPECT_TRUE(edit.Font().Style().Contains(fsBold));
  EXPECT_EQ(edit.Cursor(), crText);
  EXPECT_FALSE(edit.StyleRenderOptions().RenderFont());
  EXPECT_EQ(edit.ExtraTagParams().Values("maxlength"), "10");
  ASSERT_EQ(edit.ScriptEvents().Count(), 1);
  EXPECT_EQ(edit.ScriptEvents()[0].EventCode().Text(), "x = 1;\r\n");
}

}  // namespace
}  // namespace qx::test
