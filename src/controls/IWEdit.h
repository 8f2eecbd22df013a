// TIWEdit: a single-line text or password input. It posts its text, may post the page on
// Enter (OnSubmit), and renders as a label when it is not editable.
#pragma once

#include "controls/Alignment.h"
#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

class TIWForm;

class TIWCustomEdit : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomEdit, TIWCustomControl)

 public:
  const std::string& Text() const noexcept { return text_; }
  void SetText(std::string_view text) { SetProperty(text_, text); }
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment alignment) { SetProperty(alignment_, alignment); }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor color) { SetProperty(bgColor_, color); }
  // The background while the edit has the focus.
  TColor FocusColor() const noexcept { return focusColor_; }
  void SetFocusColor(TColor color) { SetProperty(focusColor_, color); }
  // 0: unlimited.
  int MaxLength() const noexcept { return maxLength_; }
  void SetMaxLength(int length) { SetProperty(maxLength_, length); }
  bool ReadOnly() const noexcept { return readOnly_; }
  void SetReadOnly(bool readOnly) { SetProperty(readOnly_, readOnly); }
  // The page refuses to post while the edit is empty.
  bool Required() const noexcept { return required_; }
  void SetRequired(bool required) { SetProperty(required_, required); }
  bool PasswordPrompt() const noexcept { return passwordPrompt_; }
  void SetPasswordPrompt(bool password) { SetProperty(passwordPrompt_, password); }
  // Runs when Enter in the edit posted the page.
  const TNotifyEvent& OnSubmit() const noexcept { return onSubmit_; }
  void SetOnSubmit(TNotifyEvent handler) { onSubmit_ = std::move(handler); }
  // The action parameter of the last post the edit caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  // The edit posts its text while it renders as an input.
  bool TakesInput() const override { return RendersAsInput(); }
  bool ReportsContentChanges() const override { return true; }
  // Enter posts the page when OnSubmit is set; with the form's default action it may too.
  bool CanSubmit() const override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The common style, then the font colour, background and alignment.
  std::string StyleText(TIWComponent40Context& context) override;
  // Focus colours, the required-field check and the Enter key.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // A new text marks the edit changed.
  void ApplySubmittedValue(const std::string& value) override;
  // OnSubmit, else the form's default action.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomEdit();

 private:
  bool RendersAsInput() const { return Editable() || !NonEditableAsLabel(); }
  // The form the edit is placed on (through any containers and frames), or none.
  TIWForm* ParentForm() const;

  std::string text_;
  TAlignment alignment_ = taLeftJustify;
  TColor bgColor_ = clNone;
  TColor focusColor_ = clNone;
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool required_ = false;
  bool passwordPrompt_ = false;
  TNotifyEvent onSubmit_;
  std::string actionParam_;

  QX_ASYNC_EVENTS
};

class TIWEdit : public TIWCustomEdit {
  QX_CLASS(TIWEdit, TIWCustomEdit)

 public:
  TIWEdit() = default;
};

}  // namespace qx
