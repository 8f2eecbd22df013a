// TIWShowMessage: the form that shows a message in the page itself (smSameWindow and
// smSameWindowFrame), with the two small controls it is made of: the message text and the OK
// button that takes the user back.
#pragma once

#include "forms/Control.h"
#include "forms/Form.h"

namespace qx {

// The message text of TIWShowMessage: its lines in a "DIV", line breaks kept.
class TIWShowMessageText : public TIWCustomControl {
  QX_CLASS(TIWShowMessageText, TIWCustomControl)

 public:
  TIWShowMessageText();
  const TStringList& Lines() const noexcept { return lines_; }
  void SetLines(const TStringList& lines);
  void SetDefaults() override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;

 private:
  TStringList lines_;
};

// The OK button of TIWShowMessage: a push button that posts the page and runs OnClick.
class TIWShowMessageButton : public TIWCustomControl {
  QX_CLASS(TIWShowMessageButton, TIWCustomControl)

 public:
  TIWShowMessageButton();
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string_view caption);
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }

  void SetDefaults() override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  bool CanSubmit() const override { return static_cast<bool>(onClick_); }
  void RunAction(const std::string& parameter) override;

 private:
  std::string caption_;
  TNotifyEvent onClick_;
};

class TIWShowMessage : public TIWAppForm {
  QX_CLASS(TIWShowMessage, TIWAppForm)

 public:
  TIWShowMessage();

  // Shows `text` (framed with smSameWindowFrame) and makes the form the active one. The
  // template name is kept for a template layout; without one the default layout is used.
  void ShowText(const std::string& text, TIWShowMessageType style, const std::string& templateName);

  TIWShowMessageText* TextMessage() const noexcept { return textMessage_; }
  TIWShowMessageButton* ButnOk() const noexcept { return butnOk_; }
  const std::string& TemplateName() const noexcept { return templateName_; }

  // The OK button: the message form goes; when nothing is left, the main form starts anew.
  void butnOkClick(TObject* sender);

 private:
  TIWShowMessageText* textMessage_ = nullptr;
  TIWShowMessageButton* butnOk_ = nullptr;
  std::string templateName_;
};

}  // namespace qx
