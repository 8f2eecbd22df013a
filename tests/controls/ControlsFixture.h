// A session with a shown form to place the standard controls on, and helpers that cut one
// element or the submit form out of a rendered page and post values through the form.
#pragma once

#include <string>

#include "controls/ControlsUnit.h"
#include "forms/FormsFixture.h"
#include "forms/LayoutMgr.h"
#include "forms/RenderContext.h"

namespace qx::test {

class Controls : public FormsFixture {
 protected:
  Controls() { InitializeControlsUnit(); }

  TIWAppForm& NewForm(TIWBrowser browser = brIE, std::string_view userAgent =
                                                    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)") {
    StartSession(browser, rkHTML40, userAgent);
    TIWAppForm& form = CreateComponent<TIWAppForm>(App());
    form.SetName("frmTest");
    form.Show();
    App().PreparePage();
    return form;
  }
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
  static std::string SubmitForm(const std::string& page) {
    return page.substr(page.find("name=\"SubmitForm\""));
  }
  // The control's partial-update element as text.
  static std::string UpdateOf(IIWBaseComponent& control) {
    TIWPageContext40 page(brIE, "");
    Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
    Owned<TTestScreen> holder(new TTestScreen);
    TIWContainerContext container(*holder, *layout, nullptr, false);
    TIWComponent40Context context(control, page, container);
    return control.RenderUpdate(context)->Text();
  }
  // Processes a post of `fields` ("name=value" lines) by `form`, as the application does.
  static void Post(TIWForm& form, std::initializer_list<std::string> fields) {
    form.PostedValues() = TStringList(fields);
    form.ProcessPost();
  }
  // The message of the failure a post ends with; "no failure" when it succeeds.
  static std::string PostFailure(TIWForm& form, std::initializer_list<std::string> fields) {
    try {
      Post(form, fields);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no failure";
  }
};

}  // namespace qx::test
