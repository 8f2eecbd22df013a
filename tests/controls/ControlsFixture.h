// A session with a shown form to place the controls on, and helpers that cut pieces out of a
// rendered page, read the cache files its images show, render a control's partial-update
// element and post values through the form.
#pragma once

#include <filesystem>
#include <string>

#include "controls/ControlsUnit.h"
#include "forms/FormsFixture.h"
#include "forms/LayoutMgr.h"
#include "forms/RenderContext.h"
#include "runtime/Files.h"

namespace qx::test {

class Controls : public FormsFixture {
 protected:
  Controls() { InitializeControlsUnit(); }

  // The part of `page` from `start` to the end of its element's start tag.
  static std::string Element(const std::string& page, const std::string& start) {
    const std::size_t at = page.find(start);
    if (at == std::string::npos) return "(missing " + start + ")";
    return page.substr(at, page.find('>', at) - at + 1);
  }
  // The part of `page` from `start` to the end of the first `end` after it.
  static std::string Between(const std::string& page, const std::string& start,
                             const std::string& end) {
    const std::size_t at = page.find(start);
    if (at == std::string::npos) return "(missing " + start + ")";
    const std::size_t stop = page.find(end, at);
    if (stop == std::string::npos) return "(unterminated " + start + ")";
    return page.substr(at, stop + end.size() - at);
  }
  // The URL of the session's cache folder.
  std::string CacheURL() { return std::string(kURLBase) + "/Cache/user/" + App().AppID() + "/"; }
  // The name of the cache file the page's first IMG shows, which must start with `prefix`.
  std::string ShownFile(const std::string& page, const std::string& prefix) {
    const std::string start = "<img SRC=\"" + CacheURL() + prefix;
    const std::size_t at = page.find(start);
    if (at == std::string::npos) return "(missing " + start + ")";
    const std::size_t from = at + start.size() - prefix.size();
    return page.substr(from, page.find('"', from) - from);
  }
  std::string CacheFile(const std::string& name) { return ReadFileBytes(App().UserCacheDir() + name).value_or(""); }
  int CacheFileCount() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(App().UserCacheDir()), {}));
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
  // The same on the form NewForm made.
  std::string UpdateOf(IIWBaseComponent& component) { return UpdateOf(Form(), component); }
  // The reply page a partial-update page's submit frame starts with (a file of the session).
  std::string PartialReply(const std::string& page) {
    const std::size_t frame = page.find("ID=\"SubmitFrame\"");
    if (frame == std::string::npos) return "(no submit frame)";
    const std::size_t end = page.find('"', page.find("src=\"", frame) + 5);
    const std::size_t name = page.rfind('/', end) + 1;
    return ReadFileBytes(App().UserCacheDir() + page.substr(name, end - name)).value_or("(no reply file)");
  }
  // Processes a post of `fields` ("name=value" lines) by `form`, as the application does.
  static void Post(TIWForm& form, std::initializer_list<std::string> fields) {
    form.PostedValues() = TStringList(fields);
    form.ProcessPost();
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
  // The same for a post of `fields`.
  static std::string PostFailure(TIWForm& form, std::initializer_list<std::string> fields) {
    return Failure([&] { Post(form, fields); });
  }
};

}  // namespace qx::test
