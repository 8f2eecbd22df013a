// The controls tests' fixture: a session with a shown, empty form, and pieces of its page.
#pragma once

#include <string>

#include "controls/ControlsUnit.h"
#include "forms/FormsFixture.h"
#include "forms/RenderContext.h"
#include "runtime/Files.h"

namespace qx::test {

class Controls : public FormsFixture {
 protected:
  Controls() { InitializeControlsUnit(); }

  TIWAppForm& NewForm(TIWBrowser browser = brIE) {
    StartSession(browser);
    TIWAppForm& form = CreateComponent<TIWAppForm>(App());
    form.SetName("frmTest");
    form.Show();
    App().PreparePage();
    return form;
  }
  // The part of `page` from `start` to the end of its element.
  static std::string Element(const std::string& page, const std::string& start) {
    const std::size_t at = page.find(start);
    if (at == std::string::npos) return "(missing " + start + ")";
    return page.substr(at, page.find('>', at) - at + 1);
  }
  static std::string SubmitForm(const std::string& page) {
    return page.substr(page.find("name=\"SubmitForm\""));
  }
  // The component's element in a partial-update reply, rendered in the session's `form`.
  std::string UpdateOf(TIWForm& form, IIWBaseComponent& component) {
    TIWPageContext40 page(App().Browser(), "");
    page.SetForm(&form, &App());
    Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
    TIWContainerContext container(form, *layout, &App(), true);
    TIWComponent40Context context(component, page, container);
    return component.RenderUpdate(context)->Text();
  }
  // The reply page a partial-update page's submit frame starts with (a file of the session).
  std::string PartialReply(const std::string& page) {
    const std::size_t frame = page.find("ID=\"SubmitFrame\"");
    if (frame == std::string::npos) return "(no submit frame)";
    const std::size_t end = page.find('"', page.find("src=\"", frame) + 5);
    const std::size_t name = page.rfind('/', end) + 1;
    return ReadFileBytes(App().UserCacheDir() + page.substr(name, end - name)).value_or("(no reply file)");
  }
  // "<class>: <message>" of what `action` raises, or "(no failure)".
  template <class F>
  static std::string Failure(F&& action) {
    try {
      action();
    } catch (const Exception& e) {
      return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "(no failure)";
  }
};

}  // namespace qx::test
