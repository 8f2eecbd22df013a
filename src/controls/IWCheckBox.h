// TIWCheckBox: a check box with a caption, drawn by the browser (stNormal) or with two
// pictures (stCool). It posts its state in ElementName + "_CHECKBOX", fires OnChange when the
// state changes and runs OnClick when its click posted the page.
#pragma once

#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

enum class TIWCheckBoxStyle { stNormal, stCool };
const TEnumInfo& EnumInfoOf(TIWCheckBoxStyle);

class TIWCustomCheckBox : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomCheckBox, TIWCustomControl)

 public:
  // Written as it is: the caption may hold markup.
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view caption) { SetProperty(caption_, caption); }
  bool Checked() const noexcept { return checked_; }
  // A different state marks the box changed and fires OnChange.
  void SetChecked(bool checked);
  TIWCheckBoxStyle Style() const noexcept { return style_; }
  void SetStyle(TIWCheckBoxStyle style) { SetProperty(style_, style); }
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  const TNotifyEvent& OnChange() const noexcept { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }
  // The action parameter of the last post the box caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  bool TakesInput() const override { return true; }
  bool ReportsContentChanges() const override { return true; }
  bool CanSubmit() const override { return static_cast<bool>(onClick_); }
  // ElementName + "_CHECKBOX".
  void RegisterFields(TStringList& fields) const override;
  bool OwnsField(std::string_view name) const override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWCHECKBOX"> with "Checked" and "Caption".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The click's post and the asynchronous events.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // "On" in any letter case checks the box.
  void ApplySubmittedValue(const std::string& value) override;
  // OnClick.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomCheckBox();

 private:
  std::string FieldName() const { return ElementName() + "_CHECKBOX"; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderNormal(TIWComponent40Context& context) const;
  std::unique_ptr<TIWMarkupLanguageTag> RenderCool(TIWComponent40Context& context) const;

  std::string caption_;
  bool checked_ = false;
  TIWCheckBoxStyle style_ = TIWCheckBoxStyle::stNormal;
  TNotifyEvent onClick_;
  TNotifyEvent onChange_;
  std::string actionParam_;

  QX_ASYNC_EVENTS
};

class TIWCheckBox : public TIWCustomCheckBox {
  QX_CLASS(TIWCheckBox, TIWCustomCheckBox)

 public:
  TIWCheckBox() = default;
};

}  // namespace qx
