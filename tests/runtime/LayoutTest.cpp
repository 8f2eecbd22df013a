// Re-layout of containers: each Align value, anchors against the design size, borders,
// nesting, invisible controls, load-time alignment and changes made by code.
#include <gtest/gtest.h>

#include "TestComponents.h"
#include "runtime/FormReader.h"

using namespace qx;
using namespace qx::test;

namespace {

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestComponents(); }

  TTestForm& Read(std::string_view text) {
    form_.reset(new TTestForm);
    ReadComponentDefinition(*form_, "Layout.qxf", text);
    return *form_;
  }
  template <class T = TControl>
  T& Get(std::string_view name) {
    TComponent* c = form_->FindComponent(name);
    if (!c) throw std::runtime_error("no component " + std::string(name));
    return dynamic_cast<T&>(*c);
  }
  TBounds B(std::string_view name) { return Get(name).Bounds(); }

  Owned<TTestForm> form_;
};

constexpr char kDocked[] = R"(object frm: TTestForm
  Width = 800
  Height = 600
  object regBody: TTestRegion
    Align = alClient
  end
  object regTop: TTestRegion
    Align = alTop
    Height = 40
  end
  object regBottom: TTestRegion
    Align = alBottom
    Height = 48
  end
  object regLeft: TTestRegion
    Align = alLeft
    Width = 100
  end
  object regRight: TTestRegion
    Align = alRight
    Width = 50
  end
end
)";

}  // namespace

TEST_F(LayoutTest, EachAlignValueTakesItsEdgeAndClientFillsTheRest) {
  Read(kDocked);
  // Aligned at load, although the definition gives them no place.
  EXPECT_EQ(B("regTop"), (TBounds{0, 0, 800, 40}));
  EXPECT_EQ(B("regBottom"), (TBounds{0, 552, 800, 48}));
  EXPECT_EQ(B("regLeft"), (TBounds{0, 40, 100, 512}));
  EXPECT_EQ(B("regRight"), (TBounds{750, 40, 50, 512}));
  EXPECT_EQ(B("regBody"), (TBounds{100, 40, 650, 512}));

  form_->SetBounds(0, 0, 1024, 700);
  EXPECT_EQ(B("regTop"), (TBounds{0, 0, 1024, 40}));
  EXPECT_EQ(B("regBottom"), (TBounds{0, 652, 1024, 48}));
  EXPECT_EQ(B("regLeft"), (TBounds{0, 40, 100, 612}));
  EXPECT_EQ(B("regRight"), (TBounds{974, 40, 50, 612}));
  EXPECT_EQ(B("regBody"), (TBounds{100, 40, 874, 612}));
}

TEST_F(LayoutTest, ControlsOfOneAlignValueStackByPosition) {
  Read(R"(object frm: TTestForm
  Width = 400
  Height = 300
  object second: TTestRegion
    Align = alTop
    Top = 50
    Height = 20
  end
  object first: TTestRegion
    Align = alTop
    Top = 10
    Height = 30
  end
  object lower: TTestRegion
    Align = alBottom
    Top = 280
    Height = 10
  end
  object upper: TTestRegion
    Align = alBottom
    Top = 200
    Height = 25
  end
  object righter: TTestRegion
    Align = alRight
    Left = 390
    Width = 5
  end
  object lefter: TTestRegion
    Align = alRight
    Left = 300
    Width = 7
  end
end
)");
  EXPECT_EQ(B("first"), (TBounds{0, 0, 400, 30}));
  EXPECT_EQ(B("second"), (TBounds{0, 30, 400, 20}));
  EXPECT_EQ(B("lower"), (TBounds{0, 290, 400, 10}));
  EXPECT_EQ(B("upper"), (TBounds{0, 265, 400, 25}));
  EXPECT_EQ(B("righter"), (TBounds{395, 50, 5, 215}));
  EXPECT_EQ(B("lefter"), (TBounds{388, 50, 7, 215}));
}

TEST_F(LayoutTest, AnAlignedControlFollowsAnAnchorOnItsFreeSide) {
  Read(R"(object frm: TTestForm
  Width = 400
  Height = 300
  object regTop: TTestRegion
    Align = alTop
    Height = 100
    Anchors = [akLeft, akTop, akBottom]
  end
  object regLeft: TTestRegion
    Align = alLeft
    Width = 50
    Anchors = [akLeft, akRight, akTop]
  end
end
)");
  form_->SetBounds(0, 0, 500, 400);
  EXPECT_EQ(B("regTop"), (TBounds{0, 0, 500, 200}));
  EXPECT_EQ(B("regLeft"), (TBounds{0, 200, 150, 200}));
}

constexpr char kAnchored[] = R"(object frm: TTestForm
  Width = 800
  Height = 600
  object lblStretch: TTestLabel
    Left = 200
    Top = 4
    Width = 300
    Height = 16
    Anchors = [akLeft, akTop, akRight]
  end
  object btnRight: TTestButton
    Left = 700
    Top = 10
    Anchors = [akTop, akRight]
  end
  object lblCentre: TTestLabel
    Left = 350
    Top = 100
    Width = 100
    Anchors = [akTop]
  end
  object lblFill: TTestLabel
    Left = 10
    Top = 50
    Width = 200
    Height = 100
    Anchors = [akLeft, akTop, akRight, akBottom]
  end
  object lblBottom: TTestLabel
    Left = 10
    Top = 550
    Height = 20
    Anchors = [akLeft, akBottom]
  end
  object lblMiddle: TTestLabel
    Left = 10
    Top = 290
    Height = 20
    Anchors = [akLeft]
  end
  object lblFixed: TTestLabel
    Left = 30
    Top = 30
  end
end
)";

TEST_F(LayoutTest, AnchorsFollowTheParentRelativeToTheDesignSize) {
  Read(kAnchored);
  form_->SetBounds(0, 0, 1000, 700);
  EXPECT_EQ(B("lblStretch"), (TBounds{200, 4, 500, 16}));  // stretches with the width
  EXPECT_EQ(B("btnRight"), (TBounds{900, 10, 75, 25}));    // keeps its distance to the right
  EXPECT_EQ(B("lblCentre"), (TBounds{450, 100, 100, 21}));  // centre 400 of 800 → 500 of 1000
  EXPECT_EQ(B("lblFill"), (TBounds{10, 50, 400, 200}));
  EXPECT_EQ(B("lblBottom"), (TBounds{10, 650, 121, 20}));
  EXPECT_EQ(B("lblMiddle"), (TBounds{10, 340, 121, 20}));  // centre 300 of 600 → 350 of 700
  EXPECT_EQ(B("lblFixed"), (TBounds{30, 30, 121, 21}));
}

TEST_F(LayoutTest, RepeatedResizesDoNotDriftAndTheDesignSizeRestoresEverything) {
  Read(kAnchored);
  std::vector<TBounds> design;
  for (int i = 0; i < form_->ControlCount(); ++i) design.push_back(form_->Controls(i)->Bounds());
  form_->SetBounds(0, 0, 333, 777);
  form_->SetBounds(0, 0, 1001, 451);
  form_->SetBounds(0, 0, 1000, 700);
  EXPECT_EQ(B("btnRight"), (TBounds{900, 10, 75, 25}));
  EXPECT_EQ(B("lblCentre"), (TBounds{450, 100, 100, 21}));
  form_->SetBounds(0, 0, 800, 600);
  for (int i = 0; i < form_->ControlCount(); ++i)
    EXPECT_EQ(form_->Controls(i)->Bounds(), design[static_cast<std::size_t>(i)]) << i;
}

TEST_F(LayoutTest, BordersOfTheContainerBoundTheClientArea) {
  Read(R"(object frm: TTestForm
  Width = 400
  Height = 300
  object reg: TTestRegion
    Left = 0
    Top = 0
    Width = 400
    Height = 300
    Anchors = [akLeft, akTop, akRight, akBottom]
    BorderOptions.Width = 2
    object top: TTestLabel
      Align = alTop
      Height = 30
    end
    object bottom: TTestLabel
      Align = alBottom
      Height = 20
    end
    object client: TTestLabel
      Align = alClient
    end
    object centred: TTestLabel
      Left = 102
      Top = 10
      Width = 100
      Anchors = [akTop]
    end
  end
end
)");
  EXPECT_EQ(B("top"), (TBounds{2, 2, 396, 30}));
  EXPECT_EQ(B("bottom"), (TBounds{2, 278, 396, 20}));
  EXPECT_EQ(B("client"), (TBounds{2, 32, 396, 246}));
  form_->SetBounds(0, 0, 800, 400);
  EXPECT_EQ(B("reg"), (TBounds{0, 0, 800, 400}));
  EXPECT_EQ(B("top"), (TBounds{2, 2, 796, 30}));
  EXPECT_EQ(B("bottom"), (TBounds{2, 378, 796, 20}));
  EXPECT_EQ(B("client"), (TBounds{2, 32, 796, 346}));
  // Its centre, 150 inside the border of 400, scales to 300 inside the border of 800.
  EXPECT_EQ(B("centred"), (TBounds{252, 10, 100, 21}));
}

TEST_F(LayoutTest, NestedContainersRelayOutTheirOwnControls) {
  Read(R"(object frm: TTestForm
  Width = 800
  Height = 600
  object regBody: TTestRegion
    Align = alClient
    object regInner: TTestRegion
      Left = 100
      Top = 100
      Width = 600
      Height = 400
      Anchors = [akLeft, akTop, akRight, akBottom]
      object btnOk: TTestButton
        Left = 500
        Top = 350
        Anchors = [akRight, akBottom]
      end
    end
  end
end
)");
  auto& ok = Get<TTestButton>("btnOk");
  int changes = ok.BoundsChanges();
  form_->SetBounds(0, 0, 900, 650);
  EXPECT_EQ(B("regBody"), (TBounds{0, 0, 900, 650}));
  EXPECT_EQ(B("regInner"), (TBounds{100, 100, 700, 450}));
  EXPECT_EQ(B("btnOk"), (TBounds{600, 400, 75, 25}));
  EXPECT_EQ(ok.BoundsChanges(), changes + 1);  // the hook saw the move
}

TEST_F(LayoutTest, FrameAlignedOnAScreenStretchesWithItsAnchoredControls) {
  Owned<TTestForm> app(new TTestForm);
  auto& screen = CreateComponent<TTestScreen>(*app);
  auto* frame = static_cast<TTestFrame*>(screen.FindComponent("fraHeader1"));
  ASSERT_NE(frame, nullptr);
  TControl* user = static_cast<TControl*>(frame->FindComponent("lblUser"));
  TControl* logout = static_cast<TControl*>(frame->FindComponent("btnLogout"));
  TControl* ok = static_cast<TControl*>(screen.FindComponent("btnOk"));
  EXPECT_EQ(frame->Bounds(), (TBounds{0, 0, 800, 40}));
  EXPECT_EQ(user->Bounds(), (TBounds{200, 4, 500, 16}));
  EXPECT_EQ(logout->Bounds(), (TBounds{720, 4, 70, 17}));

  // The browser reports 1000 × 700: the header takes the full width at the top, the body
  // fills the rest, and each container re-lays out its own controls.
  screen.SetBounds(0, 0, 1000, 700);
  EXPECT_EQ(frame->Bounds(), (TBounds{0, 0, 1000, 40}));
  EXPECT_EQ(static_cast<TControl*>(frame->FindComponent("regHeader"))->Bounds(),
            (TBounds{0, 0, 1000, 40}));
  EXPECT_EQ(user->Bounds(), (TBounds{200, 4, 700, 16}));
  EXPECT_EQ(logout->Bounds(), (TBounds{920, 4, 70, 17}));
  EXPECT_EQ(static_cast<TControl*>(screen.FindComponent("regBody"))->Bounds(),
            (TBounds{0, 40, 1000, 660}));
  EXPECT_EQ(ok->Bounds(), (TBounds{900, 600, 75, 25}));
}

TEST_F(LayoutTest, InvisibleControlsAreLeftOutAndPlacedWhenShownAgain) {
  Read(kDocked);
  TControl& top = Get("regTop");
  top.SetVisible(false);
  EXPECT_EQ(B("regLeft"), (TBounds{0, 0, 100, 552}));  // the hidden header gives up its room
  form_->SetBounds(0, 0, 900, 600);
  EXPECT_EQ(top.Bounds(), (TBounds{0, 0, 800, 40}));  // not touched while hidden
  top.SetVisible(true);
  EXPECT_EQ(top.Bounds(), (TBounds{0, 0, 900, 40}));
  EXPECT_EQ(B("regLeft"), (TBounds{0, 40, 100, 512}));

  // Controls inside an invisible container are not laid out at all.
  Read(R"(object frm: TTestForm
  Width = 400
  Height = 300
  object reg: TTestRegion
    Align = alClient
    Visible = False
    object lbl: TTestLabel
      Align = alTop
      Height = 10
    end
  end
end
)");
  EXPECT_FALSE(Get("lbl").Showing());
  EXPECT_EQ(B("reg"), (TBounds{0, 0, 0, 0}));  // hidden, so not even aligned at load
  EXPECT_EQ(B("lbl"), (TBounds{0, 0, 121, 10}));
  form_->SetBounds(0, 0, 500, 300);
  EXPECT_EQ(B("reg"), (TBounds{0, 0, 0, 0}));
  Get("reg").SetVisible(true);
  EXPECT_EQ(B("reg"), (TBounds{0, 0, 500, 300}));
  EXPECT_EQ(B("lbl"), (TBounds{0, 0, 500, 10}));
}

TEST_F(LayoutTest, PlacementByCodeBecomesTheNewOriginal) {
  Read(kAnchored);
  form_->SetBounds(0, 0, 1000, 600);
  TControl& right = Get("btnRight");
  ASSERT_EQ(right.Left(), 900);
  right.SetLeft(850);  // relative to the present width of 1000
  EXPECT_EQ(right.OriginalBounds().Left, 850);
  EXPECT_EQ(right.OriginalParentWidth(), 1000);
  form_->SetBounds(0, 0, 1100, 600);
  EXPECT_EQ(right.Left(), 950);

  // A control made by code after creation is placed where the code puts it.
  auto& extra = CreateComponent<TTestLabel>(*form_);
  extra.SetName("extra");
  extra.SetParent(form_.get());
  extra.SetAnchors({akTop, akRight});
  extra.SetBounds(1000, 0, 50, 10);
  form_->SetBounds(0, 0, 1200, 600);
  EXPECT_EQ(extra.Left(), 1100);
  // Aligning it by code takes the edge at once.
  extra.SetAlign(alBottom);
  EXPECT_EQ(extra.Bounds(), (TBounds{0, 590, 1200, 10}));
}

TEST_F(LayoutTest, DisableAlignBatchesChanges) {
  Read(kDocked);
  form_->DisableAlign();
  form_->SetBounds(0, 0, 1000, 600);
  Get("regTop").SetHeight(60);
  EXPECT_EQ(B("regTop"), (TBounds{0, 0, 800, 60}));  // nothing moved yet
  EXPECT_EQ(B("regBody"), (TBounds{100, 40, 650, 512}));
  form_->EnableAlign();
  EXPECT_EQ(B("regTop"), (TBounds{0, 0, 1000, 60}));
  EXPECT_EQ(B("regBody"), (TBounds{100, 60, 850, 492}));
}
