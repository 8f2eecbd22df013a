// Regions: containers drawn as a bordered "DIV" whose children are placed inside it, with
// their border options, border width in pixels, clipping and the optional splitter grip.
#pragma once

#include <functional>

#include "forms/ControlFeatures.h"

namespace qx {

extern const char* const kUnknownBorderWidth;  // "Unkown border width."

enum TIWContainerBorderStyle : int {
  cbsNone, cbsHidden, cbsDotted, cbsDashed, cbsSolid, cbsDouble, cbsGroove, cbsRidge, cbsInset,
  cbsOutset
};
const TEnumInfo& EnumInfoOf(TIWContainerBorderStyle);
enum TIWContainerBorderWidth : int { cbwThin, cbwMedium, cbwThick, cbwNumeric };
const TEnumInfo& EnumInfoOf(TIWContainerBorderWidth);

class TIWContainerBorderOptions : public TNotifyingPersistent {
  QX_CLASS(TIWContainerBorderOptions, TNotifyingPersistent)

 public:
  TIWContainerBorderOptions() = default;
  TIWContainerBorderOptions(const TIWContainerBorderOptions& other) = default;
  // Takes the values and announces the change; the change hook stays this object's own.
  TIWContainerBorderOptions& operator=(const TIWContainerBorderOptions& other);

  TColor Color() const noexcept { return values_.color; }
  void SetColor(TColor color) { SetValue(values_.color, color); }
  TIWContainerBorderStyle Style() const noexcept { return values_.style; }
  void SetStyle(TIWContainerBorderStyle style) { SetValue(values_.style, style); }
  TIWContainerBorderWidth BorderWidth() const noexcept { return values_.borderWidth; }
  void SetBorderWidth(TIWContainerBorderWidth width) { SetValue(values_.borderWidth, width); }
  // The width in pixels with cbwNumeric.
  int NumericWidth() const noexcept { return values_.numericWidth; }
  void SetNumericWidth(int width) { SetValue(values_.numericWidth, width); }

  // The border in pixels: 0 for cbsNone and cbsHidden, else 1, 3 and 5 for thin, medium and
  // thick, NumericWidth for numeric; any other value fails with kUnknownBorderWidth.
  int PixelWidth() const;
  // The CSS value of border-width: "thin;"-style keywords, or NumericWidth without unit.
  std::string CSSWidth() const;
  std::string CSSStyle() const;

 private:
  struct Values {
    TColor color = clNone;
    TIWContainerBorderStyle style = cbsSolid;
    TIWContainerBorderWidth borderWidth = cbwNumeric;
    int numericWidth = 1;
  };
  Values values_;
};

// A container that renders as HTML 4.0: the common control features on a container.
class TIWHTML40Container : public TIWControlFeatures<TIWHTMLContainer> {
  QX_CLASS(TIWHTML40Container, TIWControlFeatures<TIWHTMLContainer>)

 protected:
  TIWHTML40Container() = default;
};

class TIWCustomRegion : public TIWHTML40Container {
  QX_CLASS(TIWCustomRegion, TIWHTML40Container)

 public:
  TIWContainerBorderOptions& BorderOptions() noexcept { return borderOptions_; }
  const TIWContainerBorderOptions& BorderOptions() const noexcept { return borderOptions_; }
  // The region's content is clipped to its box.
  bool ClipRegion() const noexcept { return clipRegion_; }
  void SetClipRegion(bool clip) { SetProperty(clipRegion_, clip); }
  // An aligned region can be resized in the browser with a grip on its free side.
  bool Splitter() const noexcept { return splitter_; }
  void SetSplitter(bool splitter) { SetProperty(splitter_, splitter); }

  void SetDefaults() override;
  // The border in pixels (controls inside are placed clear of it).
  int BorderWidth() const override { return borderOptions_.PixelWidth(); }

  // A "DIV" with the border, overflow, background, padding and clip; its children are
  // written into it by the layout manager. A splitter region also holds its grip and the
  // input that carries its rectangle.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;

  // A splitter region posts its rectangle "left,top,width,height" in ElementName + "_data".
  bool TakesInput() const override { return SplitterActive(); }
  void RegisterFields(TStringList& fields) const override;
  bool OwnsField(std::string_view name) const override;
  void ApplySubmittedValue(const std::string& value) override;

 protected:
  TIWCustomRegion();

 private:
  bool SplitterActive() const;

  TIWContainerBorderOptions borderOptions_;
  bool clipRegion_ = true;
  bool splitter_ = false;
};

class TIWRegion : public TIWCustomRegion {
  QX_CLASS(TIWRegion, TIWCustomRegion)

 public:
  TIWRegion() = default;
};

}  // namespace qx
