// RenderPage: every step of turning a form into its HTML 4.0 page, in order, with the page
// built in memory and written once; the upload script, the hidden fields and the server
// resize script.
#include <algorithm>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"
#include "server/ServerControllerBase.h"
#include "server/SystemPages.h"

namespace qx {

// The generator named in every page head.
constexpr const char* kGeneratorLabel = "QX Requests web forms runtime 9.0.17";
constexpr const char* kPageLockTable =
    "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\"\r\nstyle=\"border-collapse: collapse; "
    "position:absolute; z-index:9000;\r\nleft:0px; top:0px\" bordercolor=\"#111111\" width=\"100%\" "
    "id=\"locker\" \r\nheight=\"100%\"><tr><td></td></tr></table>";
constexpr const char* kBusyCursorStyle =
    "position:absolute;left:0px;top:0px;width:10000px;height:10000px;visibility:hidden;"
    "display:none;cursor:wait;z-index:10000";
constexpr const char* kResizeFrameStyle = "position:absolute;left:-1000px;top:-1000px";

namespace {

TIWApplication& RequiredApplication(const TIWForm& form) {
  TIWApplication* application = form.Application();
  if (!application) throw EIWException(Format(kFormWithoutApplication, {form.Name()}));
  return *application;
}

// A hidden field's value: everything but ASCII letters and digits as a character reference.
std::string EncodeHiddenValue(std::string_view value) {
  std::string out;
  for (char c : value) {
    const auto code = static_cast<unsigned char>(c);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) out += c;
    else out += "&#" + IntToStr(code) + ";";
  }
  return out;
}

void AddHiddenInput(TIWMarkupLanguageTag& form, std::string_view name, std::string_view value) {
  TIWMarkupLanguageTag& input = form.AddTag("INPUT", ctNever);
  input.AddStringParam("TYPE", "HIDDEN");
  input.AddStringParam("NAME", name);
  input.AddStringParam("VALUE", value);
}

std::string ScriptInclude(const std::string& name, const TIWApplication& application, bool useInternalFiles) {
  if (StartsText("/js/", name)) {
    return "\r\n<script type=\"text/javascript\" src=\"" + application.InternalFilesBase() + name +
           (useInternalFiles ? std::string("_") + kFrameworkVersion : "") + "\"></script>\r\n";
  }
  return "\r\n<script type=\"text/javascript\" src=\"" + application.AppURLBase() + name + "\"></script>\r\n";
}

// SubmitNextFile(): posts each upload control's frame in turn, then the real action.
std::string UploadDeclaration(TIWForm& form, const TIWApplication& application,
                              TIWSessionTrackingMethod tracking) {
  std::vector<std::pair<std::string, IIWUploadControl*>> uploads;
  ForEachComponent(form, [&](IIWBaseComponent& component) {
    if (auto* upload = dynamic_cast<IIWUploadControl*>(&component))
      uploads.emplace_back(component.ElementName(), upload);
  });
  std::stable_sort(uploads.begin(), uploads.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string s = "var file=0;\r\nfunction SubmitNextFile(AName,AParam){\r\n";
  for (std::size_t k = 0; k < uploads.size(); ++k) {
    const std::string frame = uploads[k].second->UploadFrame();
    s += "if (file==" + IntToStr(static_cast<long long>(k)) + "){" + "\r\n";
    s += frame + ".document.forms[0].IW_MainPageSubmitControl.value=AName;" + "\r\n";
    s += frame + ".document.forms[0].IW_MainPageSubmitControlParam.value=AParam;" + "\r\n";
    s += uploads[k].second->UploadScript();
    if (tracking == tmHidden)
      s += frame + ".document.forms[0].IW_TrackID_.value=(file+GTrackID);" + "\r\n";
    else
      s += frame + ".document.forms[0].action=\"" + application.InternalFilesBase() +
           "/upload/\"+(file+GTrackID)+\"/\"+GAppID;" + "\r\n";
    s += frame + ".document.forms[0].submit();" + "\r\n" + "} else ";
  }
  s += "{ SubmitClickConfirm(AName,AParam,false,\"\");}\r\nfile++;return false;\r\n}";
  return s;
}

// The resize script of a container's children: new rectangles of the controls whose bounds
// changed, then the scripts of the containers and frame regions they hold.
std::string ContainerResizeScript(TWinControl& container, TIWBrowser browser, const std::string& sep) {
  std::string s;
  for (int i = 0; i < container.ControlCount(); ++i) {
    TControl* child = container.Controls(i);
    if (auto* html = dynamic_cast<IIWHTML40Control*>(child); html && child->Visible() && html->Changed()) {
      const std::string n = html->ElementName();
      s += sep + Format("var lRect = new parent.Rect(%d, %d, %d, %d);",
                        {html->RenderedLeft(browser), html->RenderedTop(browser),
                         html->RenderedWidth(browser), html->RenderedHeight(browser)}) +
           sep + "IWTop()." + n + "IWCL.SetRect(lRect);" + sep + "IWTop()." + n +
           "IWCL.Rect = IWTop().CopyRect(lRect);" + sep;
    }
    if (auto* inner = dynamic_cast<TIWBaseContainer*>(child)) {
      s += sep + ContainerResizeScript(*inner, browser, sep);
    } else if (auto* frame = dynamic_cast<TFrame*>(child); frame && frame->Visible()) {
      if (auto* region = dynamic_cast<TWinControl*>(frame->FindComponent("IWFrameRegion")))
        s += sep + ContainerResizeScript(*region, browser, sep);
    }
  }
  return s;
}

}  // namespace

bool TIWForm::HasUploadControls() {
  bool found = false;
  ForEachComponent(*this, [&](IIWBaseComponent& component) {
    if (dynamic_cast<IIWUploadControl*>(&component)) found = true;
  });
  return found;
}

void TIWForm::ResizeTo(int width, int height) {
  ForEachComponent(*this, [](IIWBaseComponent& component) { component.SetChanged(false); });
  const bool resized = width != Width() || height != Height();
  SetBounds(0, 0, width, height);
  if (resized && onResize_) onResize_(this);
}

std::string TIWForm::ResizeScript() {
  TIWApplication& application = RequiredApplication(*this);
  return ContainerResizeScript(*this, application.Browser(),
                               TIWServerControllerBase::Required().PageLineSeparator());
}

void TIWForm::RenderPage(TStream& out) { out.WriteText(RenderPageText()); }

std::string TIWForm::RenderPageText() {
  TIWApplication& application = RequiredApplication(*this);
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  const std::string sep = controller.PageLineSeparator();
  const TIWBrowser browser = application.Browser();
  const TIWSessionTrackingMethod tracking = controller.SessionTrackingMethod();

  // 1, 2. The action, the page context and the render events.
  SetActionURL(application.FormAction());
  TIWPageContext40 page(browser, sep);
  page.SetForm(this, &application);
  page.SetPartialUpdate(UpdateMode() == umPartial);
  FireRenderEvents();
  // 3 to 6. Title, base, the lock and the start of Initialize(), the common scripts.
  page.SetTitle(EscapeMarkup(Title(), true));
  page.SetURLBase(application.AppURLBase());
  if (LockUntilLoaded()) page.AddInitB("ReleaseLock();");
  page.AddInitA("StaticInit();");
  page.AddInitA(LockOnSubmit() ? "GActivateLock = true;" : "GActivateLock = false;");
  page.AddInitA(Format("InitRects(%d, %d);", {Width(), Height()}));
  page.AddInitA("InitIWCLObjects();");
  page.AddScriptFile("/js/IWCommon.js");
  page.AddScriptFile("/js/IWCL.js");
  page.AddScriptFile("/js/IWAjax.js");
  // 7. Uploads.
  page.SetHasUploadControls(HasUploadControls());
  if (page.HasUploadControls()) page.AddDeclaration(UploadDeclaration(*this, application, tracking));

  // 8. The controls.
  Owned<TIWLayoutMgr> defaultLayout;
  TIWLayoutMgr* layout = LayoutMgr() && LayoutMgr()->Enabled() ? LayoutMgr() : nullptr;
  if (!layout) {
    defaultLayout.reset(new TIWLayoutMgrForm);
    layout = defaultLayout.get();
  }
  TIWContainerContext context(*this, *layout, &application, page.IsPartialUpdate());
  RenderChildren(context, page);
  layout->ProcessControls(context);
  layout->FinishForm(*this, page);

  // 9. The submit form.
  TIWMarkupLanguageTag& formTag = page.FormTag();
  formTag.AddStringParam("method", "POST");
  formTag.AddStringParam("name", "SubmitForm");
  formTag.AddStringParam("ACTION", ActionURL());
  if (page.MultipartNeeded()) formTag.AddStringParam("enctype", "multipart/form-data");
  for (int i = 0; i < HiddenFields().Count(); ++i) {
    const std::string name = HiddenFields().Names(i);
    TIWMarkupLanguageTag& input = formTag.AddTag("INPUT", ctNever);
    input.AddStringParam("TYPE", "HIDDEN");
    input.AddStringParam("NAME", name);
    input.AddStringParam("ID", "HIDDEN_" + name);
    input.AddStringParam("SIZE", "-1");
    input.AddStringParam("VALUE", EncodeHiddenValue(HiddenFields().ValueFromIndex(i)));
  }
  AddHiddenInput(formTag, "IW_Action", "");
  AddHiddenInput(formTag, "IW_ActionParam", "");
  AddHiddenInput(formTag, "IW_FormName", Name());
  AddHiddenInput(formTag, "IW_FormClass", ClassName());
  if (tracking == tmHidden) AddHiddenInput(formTag, "IW_SessionID_", application.AppID());
  AddHiddenInput(formTag, "IW_width", "");
  AddHiddenInput(formTag, "IW_height", "");
  if (tracking == tmCookie || tracking == tmHidden)
    AddHiddenInput(formTag, "IW_TrackID_", IntToStr(application.TrackID()));

  // 10. The head's meta lines.
  std::string metas = std::string("<META HTTP-EQUIV=\"MSThemeCompatible\" Content=\"") +
                      (XPTheme() ? "yes" : "no") + "\">";
  metas += std::string("<META Name=\"GENERATOR\" content=\"") + kGeneratorLabel + "\">";
  for (const std::string& line : controller.HTMLHeaders()) metas += line + "\r\n";
  if (!controller.EnableImageToolbar()) metas += sep + "<META HTTP-EQUIV=\"imagetoolbar\" CONTENT=\"no\">";
  const TIWFileReference& noScript = controller.NoJavaScriptSupport();
  if (!noScript.Empty()) {
    const std::string url = noScript.URL().empty() ? FileReferenceURL(noScript.FileName()) : noScript.URL();
    metas += sep + "<NOSCRIPT><META HTTP-EQUIV=\"Refresh\" CONTENT=\"0;URL=" + url + "\"></NOSCRIPT>";
  }
  if (tracking != tmURL) metas += sep + "<META HTTP-EQUIV=\"Expires\" CONTENT=\"-1\">";
  if (const std::string styleSheet = StyleSheet().ResolvedURL(); !styleSheet.empty())
    metas += "<div id=\"submitform_stylesheet\"><link rel=\"stylesheet\" type=\"text/css\" href=\"" +
             styleSheet + "\"></div>" + sep;

  // 11. The browser's own script.
  if (browser == brIE) page.AddScriptFile("/js/IWExplorer.js");
  else if (browser == brNetscape7 || browser == brSafari || browser == brNetscape6) page.AddScriptFile("/js/IWGecko.js");
  else if (browser == brOpera) page.AddScriptFile("/js/IWOpera.js");

  // 12. Body attributes.
  TIWMarkupLanguageTag& body = page.BodyTag();
  if (!LeftToRight()) body.AddStringParam("DIR", "RTL");
  body.AddColor("BGCOLOR", BGColor());
  if (const std::string background = Background().ResolvedURL(); !background.empty())
    body.AddStringParam("BACKGROUND", background);
  if (Background().Fixed()) body.AddStringParam("BGPROPERTIES", "fixed");
  body.AddColor("Text", TextColor());
  body.AddColor("Link", LinkColor());
  body.AddColor("VLink", VLinkColor());
  body.AddStringParam("TOPMARGIN", "0");
  body.AddStringParam("LEFTMARGIN", "0");
  body.AddStringParam("OnLoad", "Initialize()");
  body.AddStringParam("OnUnload", "ReleaseIWCL()");
  body.AddStringParam("OnBlur", "GSubmitting = false;SetBusy(false);");

  // 13. Body children before the controls.
  if (OnResize()) {
    TIWMarkupLanguageTag& frame = body.AddTag("IFRAME");
    frame.AddStringParam("ID", "onresize");
    frame.AddStringParam("style", kResizeFrameStyle);
    if (browser == brIE) frame.AddStringParam("src", "javascript:false;");
  }
  if (LockUntilLoaded()) body.AddText(kPageLockTable);
  TIWMarkupLanguageTag& busy = body.AddTag("DIV");
  busy.AddStringParam("ID", "bussyCursor");
  busy.AddStringParam("style", kBusyCursorStyle);
  if (ProgressIndicator()) body.AddText(ProgressIndicator()->Markup());

  // 14. The page-margin fix.
  page.AddInitA("if (document.body.leftMargin < 0 && document.body.topMargin < 0) {" + sep +
                "  document.body.leftMargin = 0;" + sep + "  document.body.topMargin = 0;" + sep + "}");

  // 15. The form's declarations.
  if (OnDefaultAction()) {
    page.AddDeclaration("function FormDefaultSubmit()" + sep + "{ " + sep + "   var i;" + sep +
                        "   for (i = 0; i < event.srcElement.all.length; i++) {" + sep +
                        "     if (event.srcElement.all[i].type == \"submit\") {" + sep +
                        "       SubmitClickConfirm(event.srcElement.all[i].name, \"default\", true, \"\");" +
                        sep + "       return false;" + sep + "     }" + sep + "   }" + sep +
                        "    SubmitClickConfirm(\"\", \"default\", true, \"\");" + sep +
                        "    return false;" + sep + "}");
  } else {
    page.AddDeclaration("function FormDefaultSubmit()" + sep + "{return false;}");
  }
  page.AddDeclaration(std::string("var GIsPartialUpdate=") + (page.IsPartialUpdate() ? "true" : "false") + ";");
  page.AddDeclaration("var GOnResizetimeout=" +
                      (controller.ServerResizeTimeout() > 0 ? IntToStr(controller.ServerResizeTimeout())
                                                            : std::string("1000")) +
                      ";");
  page.AddDeclaration("var GURLBase=\"" + application.AppURLBase() + "\";" + sep + "var GAppID=\"" +
                      application.AppID() + "\";" + sep + "var GTrackID=" + IntToStr(application.TrackID()));
  page.AddDeclaration("function IWTop(){return window;}");
  page.AddDeclaration("var GActiveControl = null;");
  if (TControl* active = ActiveControl()) {
    page.AddInitC("GActiveControl=\"" + ElementNameOf(*active) + "\";");
    page.AddInitC("if (GActiveControl) { var xElem; xElem = FindFocus(GActiveControl); if (xElem != null) { xElem.focus();}}");
  } else {
    page.AddDeclaration("var GActiveControl=null;");
  }
  if (OnResize()) {
    const std::string track = IntToStr(application.TrackID());
    const std::string resizeURL =
        tracking == tmCookie ? application.AppURLBase() + "/RESIZE" + "?IW_TrackID_=" + track
                             : application.AppURLBase() + "/RESIZE/" + track + "/" + application.AppID() + "?quillon";
    page.AddDeclaration("var GResizeURL=\"" + resizeURL + "\";");
  }
  if (!controller.HistoryEnabled() || page.MultipartNeeded()) page.AddDeclaration("history.go(1);");
  if (!JavaScript().Empty()) page.AddDeclaration(sep + JavaScript().Text());

  // 16. The head content.
  std::string includes;
  for (const std::string& file : page.ScriptFiles())
    includes += ScriptInclude(file, application, controller.UseInternalFiles());
  layout->SetHeadContent(ExtraHeader().Text() + sep + page.ExtraHeader() + sep + metas + includes);

  // 17. Queued messages, then Validate().
  page.AddInitA(ExtraInitScript());
  if (page.IsPartialUpdate()) page.AddPartialScript(MessageWindowScript());
  else page.AddInitD(MessageWindowScript());
  page.AddDeclaration("function Validate() {");
  for (const auto& [condition, message] : page.Validations())
    page.AddDeclaration("  if(" + condition + ") {" + "\r\n    ReleaseLock();" + "\r\n" +
                        "    window.alert(\"" + message + "\");" + "\r\n" + "    return false;" +
                        "\r\n" + "  }");
  page.AddDeclaration("  return true;\r\n}\r\n");

  // 18. The page, once; then the queued scripts are spent.
  std::string text;
  layout->WritePage(*this, page, context, text);
  ClearExtraInitScript();
  ClearMessageWindowScript();
  if (OnAfterRender()) OnAfterRender()(this);
  return text;
}

}  // namespace qx
