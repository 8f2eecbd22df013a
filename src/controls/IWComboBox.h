// TIWComboBox: a drop-down list, the browser's own (stNormal) or a scripted one
// (stEnhanced). It posts the selected option's value and runs OnChange when its change
// posted the page.
#pragma once

#include "controls/IWListCombo.h"

namespace qx {

enum class TIWComboBoxStyle { stNormal, stEnhanced };
const TEnumInfo& EnumInfoOf(TIWComboBoxStyle);

class TIWCustomComboBox : public TIWCustomListCombo {
  QX_CLASS(TIWCustomComboBox, TIWCustomListCombo)

 public:
  TIWComboBoxStyle Style() const noexcept { return style_; }
  void SetStyle(TIWComboBoxStyle style) { SetProperty(style_, style); }
  // The background of the scripted drop-down's button.
  TColor ButtonColor() const noexcept { return buttonColor_; }
  void SetButtonColor(TColor color) { SetProperty(buttonColor_, color); }
  // The URL of the scripted drop-down's button picture; empty for the internal arrow.
  const std::string& ButtonImage() const noexcept { return buttonImage_; }
  void SetButtonImage(std::string_view url) { SetProperty(buttonImage_, url); }

  void SetDefaults() override;
  bool CanSubmit() const override { return static_cast<bool>(OnChange()); }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWCOMBOBOX"> with its options.
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The change's post.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // The option value posted: an index, or with ItemsHaveValues the value part (the scripted
  // drop-down always posts the index).
  void ApplySubmittedValue(const std::string& value) override;
  // OnChange.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomComboBox();
  bool OffersNoSelection() const override;
  bool NoSelectionSelected() const override { return ItemIndex() == -1; }

 private:
  // Internet Explorer on a Macintosh takes the change's post only as an inline attribute.
  static bool InlineOnChange(const TIWPageContext40& page);
  std::unique_ptr<TIWMarkupLanguageTag> RenderSelect(TIWComponent40Context& context) const;
  std::unique_ptr<TIWMarkupLanguageTag> RenderEnhanced(TIWComponent40Context& context) const;

  TIWComboBoxStyle style_ = TIWComboBoxStyle::stNormal;
  TColor buttonColor_ = clBtnFace;
  std::string buttonImage_;
};

class TIWComboBox : public TIWCustomComboBox {
  QX_CLASS(TIWComboBox, TIWCustomComboBox)

 public:
  TIWComboBox() = default;
};

}  // namespace qx
