// TIWButton: a push button. A click posts the page naming the button, whose OnClick runs on
// the server.
#pragma once

#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

enum TIWButtonType { btSubmit, btButton, btReset };
const TEnumInfo& EnumInfoOf(TIWButtonType);

class TIWCustomButton : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomButton, TIWCustomControl)

 public:
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view caption) { SetProperty(caption_, caption); }
  TIWButtonType ButtonType() const noexcept { return buttonType_; }
  void SetButtonType(TIWButtonType type) { SetProperty(buttonType_, type); }
  // The access key; its first occurrence in the caption is underlined.
  const std::string& HotKey() const noexcept { return hotKey_; }
  void SetHotKey(std::string_view hotKey) { SetProperty(hotKey_, hotKey); }
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  // The action parameter of the last post the button caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  // A button with OnClick posts the page, and so does a submit button.
  bool CanSubmit() const override { return onClick_ || buttonType_ == btSubmit; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // OnClick.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomButton();

 private:
  std::string caption_;
  TIWButtonType buttonType_ = btButton;
  std::string hotKey_;
  TNotifyEvent onClick_;
  std::string actionParam_;

  QX_ASYNC_EVENTS
};

class TIWButton : public TIWCustomButton {
  QX_CLASS(TIWButton, TIWCustomButton)

 public:
  TIWButton() = default;
};

}  // namespace qx
