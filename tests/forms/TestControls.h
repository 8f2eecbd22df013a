// Small controls for the forms tests: an edit, a label, a button and a timer that follow the
// control contract the way the real controls do, and a screen form to put them on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/Control.h"
#include "forms/Region.h"
#include "runtime/FormReader.h"

namespace qx::test {

// <INPUT TYPE="TEXT" VALUE="…"> that takes input and writes its size.
class TTestEdit : public TIWCustomControl {
  QX_CLASS(TTestEdit, TIWCustomControl)

 public:
  TTestEdit();
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text) { text_ = text; }
  bool TakesInput() const override { return true; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  void ApplySubmittedValue(const std::string& value) override { text_ = value; }

 private:
  std::string text_;
};

// <SPAN>caption</SPAN>, sized by its text.
class TTestLabel : public TIWCustomControl {
  QX_CLASS(TTestLabel, TIWCustomControl)

 public:
  TTestLabel();
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption) { caption_ = caption; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;

 private:
  std::string caption_;
};

// <INPUT TYPE="button"> whose click posts the page and runs OnClick.
class TTestButton : public TIWCustomControl {
  QX_CLASS(TTestButton, TIWCustomControl)

 public:
  TTestButton();
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  bool CanSubmit() const override { return static_cast<bool>(onClick_); }
  void RunAction(const std::string&) override {
    if (onClick_) onClick_(this);
  }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;

 private:
  TNotifyEvent onClick_;
};

// A page component without markup: it adds one line of init code.
class TTestTimer : public TIWBaseHTML40Component {
  QX_CLASS(TTestTimer, TIWBaseHTML40Component)

 public:
  TTestTimer() = default;
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
};

// A screen with handlers the tests bind through definitions.
class TTestScreen : public TIWAppForm {
  QX_CLASS(TTestScreen, TIWAppForm)

 public:
  TTestScreen() = default;
  std::vector<std::string> events;
  void ScreenCreate(TObject*) { events.push_back("create"); }
  void ButtonClick(TObject*) { events.push_back("click"); }

  // The posted values of each post, and what the post does (standing in for the controls'
  // events, which the submission processor runs).
  std::vector<TStringList> posts;
  std::function<void(TTestScreen&)> onPost;
  void ProcessPost() override {
    posts.push_back(PostedValues());
    if (onPost) onPost(*this);
  }
};

// Registers the classes above.
void RegisterTestControls();

// Creates a control of class T owned by `owner`, named and placed in `parent`.
template <class T>
T& AddControl(TComponent& owner, TWinControl& parent, std::string_view name, int left, int top,
              int width, int height) {
  T& control = CreateComponent<T>(owner);
  control.SetName(name);
  control.SetParent(&parent);
  control.SetBounds(left, top, width, height);
  return control;
}

}  // namespace qx::test

namespace qx::test {

// A frame such as the screens' header frame (frames are the component model's own class).
class TTestFrame : public TFrame {
 public:
  TTestFrame() = default;
};

// The style text of a control rendered for `browser` by the default layout manager.
std::string StyleOf(IIWHTML40Control& control, TIWBrowser browser);

}  // namespace qx::test
