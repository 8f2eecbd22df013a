// Layout managers: how a form's rendered controls become the page. TIWLayoutMgrForm, the
// default, places every control absolutely, lets the client library keep aligned and anchored
// controls in place, groups consecutive input controls into HTML forms and writes the page.
#pragma once

#include <string>

#include "forms/Interfaces.h"
#include "runtime/ClassInfo.h"

namespace qx {

class TIWApplication;
class TIWComponent40Context;
class TIWContainerContext;
class TIWForm;
class TIWPageContext40;

class TIWLayoutMgr : public TComponent {
  QX_CLASS(TIWLayoutMgr, TComponent)

 public:
  // A form uses its layout manager only while it is enabled.
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }

  // The position part that starts a control's style text.
  virtual std::string PositionStyle(const IIWHTML40Control& control, TIWBrowser browser) const = 0;
  // Whether client objects get their alignment and anchors, and framed controls and regions
  // their border width, from the page (the default layout and templates).
  virtual bool ManagesClientLayout() const = 0;
  // Whether input groups are "DIV"s instead of HTML forms (templates provide their own forms).
  virtual bool IsTemplate() const = 0;

  // The head content written after the head script block.
  const std::string& HeadContent() const noexcept { return headContent_; }
  void SetHeadContent(std::string content) { headContent_ = std::move(content); }

  // The per-control layout steps for every context of `context` and of the containers in it:
  // CLASS and the class rule or inline style, ID, NAME, hidden inputs, the OnHTMLTag hook.
  void ProcessControls(TIWContainerContext& context);
  // The same steps for one rendered component (a control a grid renders inside a cell).
  void ProcessControl(TIWComponent40Context& context);
  // The markup of a container's rendered children: input controls grouped, each child
  // container's own markup inside its element. The rendered tags move out of their contexts
  // into it.
  std::unique_ptr<TIWSplicedElement> CollectMarkup(TIWContainerContext& context);
  // The calls a partial-update reply's updateControls() makes in the main page for every
  // rendered component of `context` whose changed mark is set (invisible ones included; a
  // changed container brings its children along, so they need no calls of their own), in
  // render order, each line ending in CR LF:
  //   IWUpdate("E","<markup>");
  //   IWCLUpdate("E",<true|false>,<left>,<top>,<width>,<height>);
  // The first replaces the element E by its new markup, written as a double-quoted script
  // string: the backslash, the double quote, CR and LF become \\, \", \r and \n, and every
  // '<' becomes \x3C, so that the string decodes to the markup byte for byte and no "</script"
  // or "<!--" inside it can end or disturb the reply's script element.
  // The second (HTML 4.0 controls only) gives E's client object its visibility and its
  // rendered position and size.
  std::string UpdateCalls(TIWContainerContext& context);
  // The layout's own additions to a form's page once its controls are laid out.
  virtual void FinishForm(TIWForm& form, TIWPageContext40& page) = 0;
  // Writes the whole page of `form`, or, when the render answers a partial-update post, the
  // reply for the submit frame.
  virtual void WritePage(TIWForm& form, TIWPageContext40& page, TIWContainerContext& context,
                         TPageText& out) = 0;

 protected:
  TIWLayoutMgr() = default;

 private:
  bool enabled_ = true;
  std::string headContent_;
};

class TIWLayoutMgrForm : public TIWLayoutMgr {
  QX_CLASS(TIWLayoutMgrForm, TIWLayoutMgr)

 public:
  TIWLayoutMgrForm() = default;

  // "position:absolute;left:<left>px;top:<top>px;" for a control that has a parent.
  std::string PositionStyle(const IIWHTML40Control& control, TIWBrowser browser) const override;
  bool ManagesClientLayout() const override { return true; }
  bool IsTemplate() const override { return false; }
  // For an HTML 4.0 form: the client re-layout runs at load and on every window resize.
  void FinishForm(TIWForm& form, TIWPageContext40& page) override;
  void WritePage(TIWForm& form, TIWPageContext40& page, TIWContainerContext& context,
                 TPageText& out) override;

  // The script block of the page head: the pre-script include, then the declarations,
  // InitIWCLObjects() and Initialize().
  static void AppendHeadScriptBlock(TPageText& out, const TIWPageContext40& page,
                                    std::string_view internalFilesBase, bool useInternalFiles);
  // The reply to a partial-update post: a page for the hidden submit frame that runs the
  // page context's partial scripts in the main page and holds the submit form. `updates`
  // (UpdateCalls) open updateControls(), before the partial-update script that controls
  // added, which may work on the elements the updates replace.
  static std::string PartialUpdatePage(TIWPageContext40& page, int formWidth, int formHeight,
                                       std::string_view charSet, std::string_view internalFilesBase,
                                       bool isTemplate, std::string_view updates = {});

 private:
  // In partial-update mode: the hidden submit form and the submit frame that replace the
  // page's submit form.
  void WritePartialUpdateParts(TIWForm& form, TIWPageContext40& page, const TIWApplication& application,
                               std::string_view charSet, TIWSplicedElement& markup);
};

}  // namespace qx
