// RenderPage: turning a form into its HTML 4.0 page, step by step in page order, with the page
// built in memory and written once; the upload script, the hidden fields and the server
// resize script.
#include <algorithm>
#include <optional>

#include "forms/Application.h"
#include "forms/AsyncEvents.h"
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

// SubmitNextFile(): posts each upload control's frame in turn (element name and control),
// then the real action.
std::string UploadDeclaration(std::vector<std::pair<std::string, IIWUploadControl*>> uploads,
                              const TIWApplication& application, TIWSessionTrackingMethod tracking) {
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
    IIWBaseComponent* runtime = child->AsBaseComponent();
    if (IIWHTML40Control* html = runtime ? runtime->AsHTML40Control() : nullptr;
        html && child->Visible() && html->Changed()) {
      const std::string n = html->ElementName();
      s += sep + Format("var lRect = new parent.Rect(%d, %d, %d, %d);",
                        {html->RenderedLeft(browser), html->RenderedTop(browser),
                         html->RenderedWidth(browser), html->RenderedHeight(browser)}) +
           sep + "IWTop()." + n + "IWCL.SetRect(lRect);" + sep + "IWTop()." + n +
           "IWCL.Rect = IWTop().CopyRect(lRect);" + sep;
    }
    if (auto* inner = ClassCast<TIWBaseContainer>(child)) {
      s += sep + ContainerResizeScript(*inner, browser, sep);
    } else if (auto* frame = ClassCast<TFrame>(child); frame && frame->Visible()) {
      if (auto* region = ClassCast<TWinControl>(frame->FindComponent("IWFrameRegion")))
        s += sep + ContainerResizeScript(*region, browser, sep);
    }
  }
  return s;
}

// One render of a form's page: the values every step reads and the steps themselves, in page
// order. The layout manager is chosen after the render events, which may change it.
class TFormPageRender {
 public:
  explicit TFormPageRender(TIWForm& form)
      : form_(form), application_(RequiredApplication(form)),
        controller_(TIWServerControllerBase::Required()), sep_(controller_.PageLineSeparator()),
        browser_(application_.Browser()), tracking_(controller_.SessionTrackingMethod()),
        page_(browser_, sep_) {}

  TPageText Page() {
    PreparePage();
    names_.emplace(form_);
    StartInitScript();
    DeclareUploads();
    RenderControls();
    BuildSubmitForm();
    if (page_.IsUpdateReply()) {
      AddQueuedReplyScripts();
      return WritePageOnce();
    }
    const std::string metas = HeadMetas();
    AddBrowserScript();
    SetBodyAttributes();
    AddBodyChildrenBeforeControls();
    AddMarginFix();
    AddFormDeclarations();
    layout_->SetHeadContent(form_.ExtraHeader().Text() + sep_ + page_.ExtraHeader() + sep_ + metas +
                            ScriptIncludes());
    AddQueuedScriptsAndValidate();
    return WritePageOnce();
  }

 private:
  // The action URL, the page context's form and mode (a partial-update form answers a
  // partial-update post with the submit frame's reply), then the OnRender events.
  void PreparePage() {
    form_.SetActionURL(application_.FormAction());
    page_.SetForm(&form_, &application_);
    page_.SetPartialUpdate(form_.UpdateMode() == umPartial);
    page_.SetUpdateReply(page_.IsPartialUpdate() && application_.IsPartialUpdate());
    page_.SetTracksContentChanges(form_.HoldsAsyncEvents());
    form_.FireRenderEvents();
  }

  // Title and base, the page lock's release, the start of Initialize() and the common scripts.
  void StartInitScript() {
    page_.SetTitle(EscapeMarkup(form_.Title(), true));
    page_.SetURLBase(application_.AppURLBase());
    if (form_.LockUntilLoaded()) page_.AddInitB("ReleaseLock();");
    page_.AddInitA("StaticInit();");
    page_.AddInitA(form_.LockOnSubmit() ? "GActivateLock = true;" : "GActivateLock = false;");
    page_.AddInitA(Format("InitRects(%d, %d);", {form_.Width(), form_.Height()}));
    page_.AddInitA("InitIWCLObjects();");
    page_.AddScriptFile("/js/IWCommon.js");
    page_.AddScriptFile("/js/IWCL.js");
    page_.AddScriptFile("/js/IWAjax.js");
  }

  // The form's file-upload controls, among the components the render found.
  void DeclareUploads() {
    std::vector<std::pair<std::string, IIWUploadControl*>> uploads;
    for (IIWBaseComponent* component : names_->Components())
      if (IIWUploadControl* upload = component->AsUploadControl())
        uploads.emplace_back(component->ElementName(), upload);
    page_.SetHasUploadControls(!uploads.empty());
    if (!uploads.empty()) page_.AddDeclaration(UploadDeclaration(std::move(uploads), application_, tracking_));
  }

  // The controls' markup through the form's enabled layout manager, else the default one.
  void RenderControls() {
    layout_ = form_.LayoutMgr() && form_.LayoutMgr()->Enabled() ? form_.LayoutMgr() : nullptr;
    if (!layout_) {
      defaultLayout_.reset(new TIWLayoutMgrForm);
      layout_ = defaultLayout_.get();
    }
    context_.emplace(form_, *layout_, &application_, page_.IsPartialUpdate());
    form_.RenderChildren(*context_, page_);
    layout_->ProcessControls(*context_);
    layout_->FinishForm(form_, page_);
  }

  // The hidden submit form: after the controls' own inputs, the form's hidden fields and the
  // fields that carry the post's action, form and session.
  void BuildSubmitForm() {
    TIWMarkupLanguageTag& formTag = page_.FormTag();
    formTag.AddStringParam("method", "POST");
    formTag.AddStringParam("name", "SubmitForm");
    formTag.AddStringParam("ACTION", form_.ActionURL());
    if (page_.MultipartNeeded()) formTag.AddStringParam("enctype", "multipart/form-data");
    const TStringList& fields = form_.HiddenFields();
    for (int i = 0; i < fields.Count(); ++i) {
      const std::string name = fields.Names(i);
      TIWMarkupLanguageTag& input = formTag.AddTag("INPUT", ctNever);
      input.AddStringParam("TYPE", "HIDDEN");
      input.AddStringParam("NAME", name);
      input.AddStringParam("ID", "HIDDEN_" + name);
      input.AddStringParam("SIZE", "-1");
      input.AddStringParam("VALUE", EncodeHiddenValue(fields.ValueFromIndex(i)));
    }
    AddHiddenInput(formTag, "IW_Action", "");
    AddHiddenInput(formTag, "IW_ActionParam", "");
    AddHiddenInput(formTag, "IW_FormName", form_.Name());
    AddHiddenInput(formTag, "IW_FormClass", form_.ClassName());
    if (tracking_ == tmHidden) AddHiddenInput(formTag, "IW_SessionID_", application_.AppID());
    AddHiddenInput(formTag, "IW_width", "");
    AddHiddenInput(formTag, "IW_height", "");
    if (tracking_ == tmCookie || tracking_ == tmHidden)
      AddHiddenInput(formTag, "IW_TrackID_", IntToStr(application_.TrackID()));
  }

  // The head's meta lines: theme, generator, the controller's headers, image toolbar, the
  // no-script refresh, expiry and the style sheet.
  std::string HeadMetas() {
    std::string metas = std::string("<META HTTP-EQUIV=\"MSThemeCompatible\" Content=\"") +
                        (form_.XPTheme() ? "yes" : "no") + "\">";
    metas += std::string("<META Name=\"GENERATOR\" content=\"") + kGeneratorLabel + "\">";
    for (const std::string& line : controller_.HTMLHeaders()) metas += line + "\r\n";
    if (!controller_.EnableImageToolbar()) metas += sep_ + "<META HTTP-EQUIV=\"imagetoolbar\" CONTENT=\"no\">";
    const TIWFileReference& noScript = controller_.NoJavaScriptSupport();
    if (!noScript.Empty()) {
      const std::string url = noScript.URL().empty() ? FileReferenceURL(noScript.FileName()) : noScript.URL();
      metas += sep_ + "<NOSCRIPT><META HTTP-EQUIV=\"Refresh\" CONTENT=\"0;URL=" + url + "\"></NOSCRIPT>";
    }
    if (tracking_ != tmURL) metas += sep_ + "<META HTTP-EQUIV=\"Expires\" CONTENT=\"-1\">";
    if (const std::string styleSheet = form_.StyleSheet().ResolvedURL(); !styleSheet.empty())
      metas += "<div id=\"submitform_stylesheet\"><link rel=\"stylesheet\" type=\"text/css\" href=\"" +
               styleSheet + "\"></div>" + sep_;
    return metas;
  }

  void AddBrowserScript() {
    if (browser_ == brIE) page_.AddScriptFile("/js/IWExplorer.js");
    else if (browser_ == brNetscape7 || browser_ == brSafari || browser_ == brNetscape6) page_.AddScriptFile("/js/IWGecko.js");
    else if (browser_ == brOpera) page_.AddScriptFile("/js/IWOpera.js");
  }

  void SetBodyAttributes() {
    TIWMarkupLanguageTag& body = page_.BodyTag();
    if (!form_.LeftToRight()) body.AddStringParam("DIR", "RTL");
    body.AddColor("BGCOLOR", form_.BGColor());
    if (const std::string background = form_.Background().ResolvedURL(); !background.empty())
      body.AddStringParam("BACKGROUND", background);
    if (form_.Background().Fixed()) body.AddStringParam("BGPROPERTIES", "fixed");
    body.AddColor("Text", form_.TextColor());
    body.AddColor("Link", form_.LinkColor());
    body.AddColor("VLink", form_.VLinkColor());
    body.AddStringParam("TOPMARGIN", "0");
    body.AddStringParam("LEFTMARGIN", "0");
    body.AddStringParam("OnLoad", "Initialize()");
    body.AddStringParam("OnUnload", "ReleaseIWCL()");
    body.AddStringParam("OnBlur", "GSubmitting = false;SetBusy(false);");
  }

  // The resize frame, the page lock, the busy cursor and the progress indicator.
  void AddBodyChildrenBeforeControls() {
    TIWMarkupLanguageTag& body = page_.BodyTag();
    if (form_.OnResize()) {
      TIWMarkupLanguageTag& frame = body.AddTag("IFRAME");
      frame.AddStringParam("ID", "onresize");
      frame.AddStringParam("style", kResizeFrameStyle);
      if (browser_ == brIE) frame.AddStringParam("src", "javascript:false;");
    }
    if (form_.LockUntilLoaded()) body.AddText(kPageLockTable);
    TIWMarkupLanguageTag& busy = body.AddTag("DIV");
    busy.AddStringParam("ID", "bussyCursor");
    busy.AddStringParam("style", kBusyCursorStyle);
    if (form_.ProgressIndicator()) body.AddText(form_.ProgressIndicator()->Markup());
  }

  // Browsers that report negative body margins get them set to zero.
  void AddMarginFix() {
    page_.AddInitA("if (document.body.leftMargin < 0 && document.body.topMargin < 0) {" + sep_ +
                   "  document.body.leftMargin = 0;" + sep_ + "  document.body.topMargin = 0;" + sep_ + "}");
  }

  // The default submit, the page's globals, the focus, the resize URL, the history lock and
  // the form's own script.
  void AddFormDeclarations() {
    if (form_.OnDefaultAction()) {
      page_.AddDeclaration("function FormDefaultSubmit()" + sep_ + "{ " + sep_ + "   var i;" + sep_ +
                           "   for (i = 0; i < event.srcElement.all.length; i++) {" + sep_ +
                           "     if (event.srcElement.all[i].type == \"submit\") {" + sep_ +
                           "       SubmitClickConfirm(event.srcElement.all[i].name, \"default\", true, \"\");" +
                           sep_ + "       return false;" + sep_ + "     }" + sep_ + "   }" + sep_ +
                           "    SubmitClickConfirm(\"\", \"default\", true, \"\");" + sep_ +
                           "    return false;" + sep_ + "}");
    } else {
      page_.AddDeclaration("function FormDefaultSubmit()" + sep_ + "{return false;}");
    }
    page_.AddDeclaration(std::string("var GIsPartialUpdate=") + (page_.IsPartialUpdate() ? "true" : "false") + ";");
    page_.AddDeclaration("var GOnResizetimeout=" +
                         (controller_.ServerResizeTimeout() > 0 ? IntToStr(controller_.ServerResizeTimeout())
                                                                : std::string("1000")) +
                         ";");
    page_.AddDeclaration("var GURLBase=\"" + application_.AppURLBase() + "\";" + sep_ + "var GAppID=\"" +
                         application_.AppID() + "\";" + sep_ + "var GTrackID=" + IntToStr(application_.TrackID()));
    page_.AddDeclaration("function IWTop(){return window;}");
    page_.AddDeclaration("var GActiveControl = null;");
    if (TControl* active = form_.ActiveControl()) {
      page_.AddInitC("GActiveControl=\"" + ElementNameOf(*active) + "\";");
      page_.AddInitC("if (GActiveControl) { var xElem; xElem = FindFocus(GActiveControl); if (xElem != null) { xElem.focus();}}");
    } else {
      page_.AddDeclaration("var GActiveControl=null;");
    }
    if (form_.OnResize()) {
      const std::string track = IntToStr(application_.TrackID());
      const std::string resizeURL =
          tracking_ == tmCookie ? application_.AppURLBase() + "/RESIZE" + "?IW_TrackID_=" + track
                                : application_.AppURLBase() + "/RESIZE/" + track + "/" + application_.AppID() + "?quillon";
      page_.AddDeclaration("var GResizeURL=\"" + resizeURL + "\";");
    }
    if (!controller_.HistoryEnabled() || page_.MultipartNeeded()) page_.AddDeclaration("history.go(1);");
    if (!form_.JavaScript().Empty()) page_.AddDeclaration(sep_ + form_.JavaScript().Text());
  }

  std::string ScriptIncludes() const {
    std::string includes;
    for (const std::string& file : page_.ScriptFiles())
      includes += ScriptInclude(file, application_, controller_.UseInternalFiles());
    return includes;
  }

  // The messages queued for this page, then Validate() with the controls' checks.
  void AddQueuedScriptsAndValidate() {
    page_.AddInitA(form_.ExtraInitScript());
    if (page_.IsPartialUpdate()) page_.AddPartialScript(form_.MessageWindowScript());
    else page_.AddInitD(form_.MessageWindowScript());
    page_.AddDeclaration("function Validate() {");
    for (const auto& [condition, message] : page_.Validations())
      page_.AddDeclaration("  if(" + condition + ") {" + "\r\n    ReleaseLock();" + "\r\n" +
                           "    window.alert(\"" + message + "\");" + "\r\n" + "    return false;" +
                           "\r\n" + "  }");
    page_.AddDeclaration("  return true;\r\n}\r\n");
  }

  // What a partial-update reply runs in the main page besides the updates: the new track
  // number (the page's uploads post with it), the queued alerts and message windows.
  void AddQueuedReplyScripts() {
    page_.AddPartialA("IWTop().GTrackID=" + IntToStr(application_.TrackID()) + ";");
    page_.AddPartialA(form_.ExtraInitScript());
    page_.AddPartialScript(form_.MessageWindowScript());
  }

  // The page, written once; then the queued scripts are spent and, after a full page,
  // OnAfterRender fires.
  TPageText WritePageOnce() {
    TPageText text;
    text.reserve(form_.LastPageSize() + form_.LastPageSize() / 8);
    layout_->WritePage(form_, page_, *context_, text);
    form_.SetLastPageSize(text.InPlaceSize());
    names_.reset();
    form_.ClearExtraInitScript();
    form_.ClearMessageWindowScript();
    if (form_.OnAfterRender() && !page_.IsUpdateReply()) form_.OnAfterRender()(&form_);
    return text;
  }

  TIWForm& form_;
  TIWApplication& application_;
  const TIWServerControllerBase& controller_;
  const std::string sep_;
  const TIWBrowser browser_;
  const TIWSessionTrackingMethod tracking_;
  TIWPageContext40 page_;
  // The element names of the form's components while the page is written.
  std::optional<TIWElementNames> names_;
  Owned<TIWLayoutMgr> defaultLayout_;
  TIWLayoutMgr* layout_ = nullptr;
  std::optional<TIWContainerContext> context_;
};

}  // namespace

bool TIWForm::HoldsAsyncEvents() {
  bool found = false;
  ForEachComponent(*this, [&](IIWBaseComponent& component) {
    if (IIWAsyncEventSource* source = component.AsAsyncEventSource(); source && source->AsyncEvents().Any())
      found = true;
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

void TIWForm::RenderPage(TStream& out) { out.TakePage(TFormPageRender(*this).Page()); }

std::string TIWForm::RenderPageText() { return TFormPageRender(*this).Page().TakeFlat(); }

}  // namespace qx
