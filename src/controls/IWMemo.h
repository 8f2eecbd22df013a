// TIWMemo: a multi-line text input. It posts its lines, keeps whether the text it was given
// ended with a line break so that a text round-trips unchanged, and runs no action.
#pragma once

#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

class TIWCustomMemo : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomMemo, TIWCustomControl)

 public:
  const TStringList& Lines() const noexcept { return lines_; }
  // Lines set by the program count as ending with a line break.
  void SetLines(const TStringList& lines);
  // Takes `text` as the lines (split at CR LF, CR or LF) and remembers whether it ended with a
  // line break; posted values and data fields come in this way.
  void LoadText(std::string_view text);
  // The lines as the text area holds them: each followed by CR LF, except that a text that
  // came without a final line break gets none.
  std::string Text() const;
  // What Text() would give after LoadText(text).
  static std::string TextAsLoaded(std::string_view text);
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor color) { SetProperty(bgColor_, color); }
  bool VertScrollBar() const noexcept { return vertScrollBar_; }
  void SetVertScrollBar(bool visible) { SetProperty(vertScrollBar_, visible); }
  // Long lines scroll instead of wrapping.
  bool HorizScrollBar() const noexcept { return horizScrollBar_; }
  void SetHorizScrollBar(bool visible) { SetProperty(horizScrollBar_, visible); }
  bool InvisibleBorder() const noexcept { return invisibleBorder_; }
  void SetInvisibleBorder(bool invisible) { SetProperty(invisibleBorder_, invisible); }
  // The page refuses to post while the memo is empty.
  bool Required() const noexcept { return required_; }
  void SetRequired(bool required) { SetProperty(required_, required); }

  void SetDefaults() override;
  bool TakesInput() const override { return true; }
  bool ReportsContentChanges() const override { return true; }
  // A memo never draws the border frame.
  bool UsesFrame() const override { return false; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWMEMO"> with "ReadOnly" and "text".
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The common style, then background, overflow and border.
  std::string StyleText(TIWComponent40Context& context) override;
  // The required-field check and the asynchronous events.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // CRs are dropped and LFs become CR LF; the text becomes the lines.
  void ApplySubmittedValue(const std::string& value) override;

 protected:
  TIWCustomMemo();

 private:
  TStringList lines_;
  bool endsWithLineBreak_ = true;
  TColor bgColor_ = clNone;
  bool vertScrollBar_ = true;
  bool horizScrollBar_ = false;
  bool invisibleBorder_ = false;
  bool required_ = false;

  QX_ASYNC_EVENTS
};

class TIWMemo : public TIWCustomMemo {
  QX_CLASS(TIWMemo, TIWCustomMemo)

 public:
  TIWMemo() = default;
};

}  // namespace qx
