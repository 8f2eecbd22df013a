// The layout steps every rendered control goes through, the grouping of input controls into
// HTML forms, and the default layout manager's page writer.
#include "forms/LayoutMgr.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "server/ServerControllerBase.h"

namespace qx {

constexpr const char* kHiddenSubmitFormStyle =
    "position:absolute;left:-100000px;top:-100000px;visibility:hidden;display:none;";

const TClassInfo& TIWLayoutMgr::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWLayoutMgr>("TIWLayoutMgr")
                                     .Property("Enabled", &TIWLayoutMgr::Enabled, &TIWLayoutMgr::SetEnabled)
                                     .Build();
  return info;
}

const TClassInfo& TIWLayoutMgrForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWLayoutMgrForm>("TIWLayoutMgrForm").Creatable().Build();
  return info;
}

void TIWLayoutMgr::ProcessControls(TIWContainerContext& context) {
  for (const auto& component : context.Components()) {
    ProcessControl(*component);
    if (TIWContainerContext* children = component->Children()) ProcessControls(*children);
  }
}

void TIWLayoutMgr::ProcessControl(TIWComponent40Context& context) {
  TIWMarkupLanguageTag* tag = context.Tag();
  if (!tag) return;
  IIWBaseComponent& component = context.Component();
  TIWPageContext40& page = context.PageContext();
  const std::string n = component.ElementName();
  IIWHTML40Control* html = component.AsHTML40Control();

  // Class and style: the generated class carries the style text as a rule of the page's style
  // element; any other class keeps the style text inline, in front of the tag's own style. A
  // partial-update reply cannot change the main page's rules, so there the generated class
  // gives way to the inline style.
  if (html) {
    if (!tag->HasParam("CLASS")) tag->SetParam("CLASS", html->CssClassName());
    const std::string style = html->StyleText(context);
    const bool generatedClass = tag->Param("CLASS") == n + "CSS";
    if (generatedClass && page.IsUpdateReply()) tag->RemoveParam("CLASS");
    if (generatedClass && !page.IsUpdateReply()) {
      page.AddStyleRule("." + n + "CSS" + " {" + style + "}" + "\r\n");
    } else {
      const std::string combined = style + tag->Param("STYLE");
      if (!combined.empty()) tag->SetParam("STYLE", combined);
    }
  }
  if (!tag->HasParam("ID")) tag->SetParam("ID", n);
  if (component.TakesInput() && !tag->HasParam("NAME")) tag->SetParam("NAME", n);

  // The hidden inputs the post carries the control's values in.
  IIWBaseControl* control = component.AsBaseControl();
  const bool visible = !control || control->AsControl().Visible();
  if (component.TakesInput()) {
    if (visible && !component.IsFileField()) {
      TStringList fields;
      component.RegisterFields(fields);
      for (const std::string& field : fields) page.AddHiddenInput(field);
    }
  } else if (component.PostsHiddenField()) {
    page.AddHiddenInput(n);
  }
  if (html) html->DoHTMLTag(*tag);
}

std::unique_ptr<TIWSplicedElement> TIWLayoutMgr::CollectMarkup(TIWContainerContext& context) {
  auto markup = std::make_unique<TIWSplicedElement>();
  auto newGroup = [this] {
    if (IsTemplate()) return TIWHTMLTag::Create("DIV");
    auto form = TIWHTMLTag::Create("FORM");
    form->AddStringParam("onSubmit", "return FormDefaultSubmit();");
    return form;
  };
  std::unique_ptr<TIWMarkupLanguageTag> group = newGroup();
  auto closeGroup = [&] {
    if (group->Contents().empty()) return;
    markup->Add(std::move(group));
    group = newGroup();
  };

  for (const auto& componentContext : context.Components()) {
    IIWBaseComponent& component = componentContext->Component();
    const bool posts = component.TakesInput() || component.CanSubmit();
    if (auto* container = ClassCast<TIWBaseContainer>(&component.AsComponent())) {
      closeGroup();
      std::unique_ptr<TIWMarkupLanguageTag> tag = componentContext->TakeTag();
      if (!tag) continue;
      if (TIWContainerContext* children = componentContext->Children()) tag->AddSpliced(CollectMarkup(*children));
      if (!posts || ClassCast<TIWHTMLContainer>(container)) markup->Add(std::move(tag));
      else group->AddSpliced(std::move(tag));
    } else if (componentContext->Tag()) {
      if (posts) {
        group->AddSpliced(componentContext->TakeTag());
      } else {
        closeGroup();
        markup->Add(componentContext->TakeTag());
      }
    }
  }
  closeGroup();
  return markup;
}

namespace {

// Markup as a double-quoted script string that decodes to it exactly and holds no '<'.
std::string MarkupScriptString(std::string_view markup) {
  std::string out = "\"";
  out.reserve(markup.size() + markup.size() / 8 + 2);
  for (char c : markup) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '<': out += "\\x3C"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace

std::string TIWLayoutMgr::UpdateCalls(TIWContainerContext& context) {
  std::string calls;
  for (const auto& componentContext : context.Components()) {
    IIWBaseComponent& component = componentContext->Component();
    TIWContainerContext* children = componentContext->Children();
    TIWMarkupLanguageTag* tag = componentContext->Tag();
    if (!component.Changed() || !tag) {
      if (children) calls += UpdateCalls(*children);
      continue;
    }
    if (children) tag->AddSpliced(CollectMarkup(*children));
    const std::string n = component.ElementName();
    calls += "IWUpdate(\"" + n + "\"," + MarkupScriptString(tag->Text()) + ");\r\n";
    if (IIWHTML40Control* html = component.AsHTML40Control()) {
      const TIWBrowser browser = componentContext->Browser();
      calls += "IWCLUpdate(\"" + n + "\"," + (html->AsControl().Visible() ? "true" : "false") +
               Format(",%d,%d,%d,%d);", {html->RenderedLeft(browser), html->RenderedTop(browser),
                                         html->RenderedWidth(browser), html->RenderedHeight(browser)}) +
               "\r\n";
    }
  }
  return calls;
}

std::string TIWLayoutMgrForm::PositionStyle(const IIWHTML40Control& control, TIWBrowser browser) const {
  return "position:absolute;left:" + IntToStr(control.RenderedLeft(browser)) + "px;" + "top:" +
         IntToStr(control.RenderedTop(browser)) + "px;";
}

void TIWLayoutMgrForm::FinishForm(TIWForm& form, TIWPageContext40& page) {
  if (!form.IsHTML40()) return;
  page.AddInitA("Body_OnResize();");
  page.BodyTag().AddStringParam("onResize", "return Body_OnResize();");
}

void TIWLayoutMgrForm::AppendHeadScriptBlock(TPageText& out, const TIWPageContext40& page,
                                             std::string_view internalFilesBase,
                                             bool useInternalFiles) {
  const std::string& sep = page.Separator();
  out.Append("<script type=\"text/javascript\" src=\"", internalFilesBase, "/js/IWPreScript.js");
  if (useInternalFiles) out.Append("_", kFrameworkVersion);
  out.Append("\"></script>", sep, "<script type=\"text/javascript\">", sep, page.Declarations(), sep,
             "function InitIWCLObjects() {", sep, page.IWCLInit(), sep, "}\r\n",
             "function Initialize() {", sep, page.InitA(), page.InitB(), page.InitC(), page.InitD(),
             page.InitE(), sep, "}", sep, "</script>", sep);
}

void TIWLayoutMgrForm::WritePartialUpdateParts(TIWForm& form, TIWPageContext40& page,
                                               const TIWApplication& application,
                                               std::string_view charSet, TIWSplicedElement& markup) {
  // The form the page posts through, into the frame that holds the submit form.
  auto hidden = TIWHTMLTag::Create("form");
  hidden->AddStringParam("method", "POST");
  hidden->AddStringParam("name", "HiddenSubmitForm");
  hidden->AddStringParam("ACTION", form.ActionURL());
  hidden->AddStringParam("style", kHiddenSubmitFormStyle);
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"IW_SessionID_", application.AppID()},
                                    {"IW_TrackID_", IntToStr(application.TrackID())}}) {
    TIWMarkupLanguageTag& input = hidden->AddTag("INPUT", ctNever);
    input.AddStringParam("TYPE", "HIDDEN");
    input.AddStringParam("NAME", name);
    input.AddStringParam("VALUE", value);
  }
  markup.Add(std::move(hidden));
  // The frame starts with the reply page of this render, kept as a file of the session.
  const std::string reply = PartialUpdatePage(page, form.Width(), form.Height(), charSet,
                                              application.InternalFilesBase(), IsTemplate());
  auto frame = TIWHTMLTag::Create("IFRAME");
  frame->AddStringParam("ID", "SubmitFrame");
  frame->AddStringParam("style", "position:absolute;left:-1000px;top:-1000px");
  frame->AddStringParam("src", application.WriteCacheFile("HTM", reply));
  markup.Add(std::move(frame));
}

std::string TIWLayoutMgrForm::PartialUpdatePage(TIWPageContext40& page, int formWidth, int formHeight,
                                                std::string_view charSet,
                                                std::string_view internalFilesBase, bool isTemplate,
                                                std::string_view updates) {
  const std::string& sep = page.Separator();
  const bool updated = !updates.empty() || !page.PartialScript().empty();
  std::string s = "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=" +
                  std::string(charSet) + "\">" + sep + "<script type=\"text/javascript\" src=\"" +
                  std::string(internalFilesBase) + "/js/IWPartialUpdate.js_" + kFrameworkVersion +
                  "\"></script>" + sep + "<script>" + sep + "function updateControls() {" + sep;
  s.append(updates);
  s += page.PartialScript() + "}" + sep + "function init() { " + sep + "updateControls();" + sep;
  if (updated)
    s += Format("IWTop().InitRects(%d, %d);", {formWidth, formHeight}) + sep + "IWTop().InitIWCLObjects();" + sep;
  s += page.PartialA() + page.PartialD() + "setTimeout(\"" + EscapeScript(page.PartialC()) +
       EscapeScript(page.PartialB()) + "\");" + "\r\n" + sep + "IWTop().SetBusy(false);" + sep;
  if (updated && !isTemplate) s += "IWTop().Body_OnResize();" + sep;
  s += "IWTop().GSubmitting=false;" + sep + "IWTop().ValidClick=true;" + "}" + sep + "</script>" + sep +
       "</head><body onload=\"init()\">";
  s += page.FormTag().Text() + sep + "</body>" + sep + "</html>";
  return s;
}

void TIWLayoutMgrForm::WritePage(TIWForm& form, TIWPageContext40& page, TIWContainerContext& context,
                                 TPageText& out) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  TIWApplication* application = form.Application();
  const std::string& sep = page.Separator();
  if (page.IsUpdateReply()) {
    out += PartialUpdatePage(page, form.Width(), form.Height(), controller.CharSet(),
                             application ? application->InternalFilesBase() : std::string(), IsTemplate(),
                             UpdateCalls(context));
    return;
  }

  // The control markup first; the submit form closes it unless the page is a final one or a
  // partial update.
  std::unique_ptr<TIWSplicedElement> markup = CollectMarkup(context);
  const bool terminated = application && application->Terminated();
  if (page.IsPartialUpdate() && application) {
    WritePartialUpdateParts(form, page, *application, controller.CharSet(), *markup);
  } else if (!terminated && !page.IsPartialUpdate()) {
    if (std::unique_ptr<TIWMarkupLanguageTag> formTag = page.TakeFormTag()) markup->Add(std::move(formTag));
  }

  out += "<html><head>" + sep;
  if (!controller.CharSet().empty())
    out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=" + controller.CharSet() + "\">";
  out += "<meta http-equiv=\"cache-control\" content=\"no-cache\">" + sep +
         "<meta http-equiv=\"pragma\" content=\"no-cache\">" + sep;
  if (!page.Title().empty()) out += "<title>" + page.Title() + "</title>" + sep;
  page.StyleTag().Render(out);
  if (controller.PageTransitions() && !(application && ContainsText(application->UserAgent(), "MSIE 5")))
    out += "<meta http-equiv=\"Page-Enter\" content=\"blendTrans(Duration=0.25)\">" + sep;
  out += sep;
  AppendHeadScriptBlock(out, page, application ? application->InternalFilesBase() : std::string(),
                        controller.UseInternalFiles());
  out += HeadContent();
  out += sep + "</head>" + sep;

  std::unique_ptr<TIWMarkupLanguageTag> body = page.TakeBodyTag();
  body->AddSpliced(std::move(markup));
  body->Render(out);
  out += "</html>" + sep;
}

}  // namespace qx
