// TIWApplication: creation and destruction, the form stack, one post (Execute), page
// preparation and rendering, messages, termination and the final page, callbacks and stale
// pages.
#include "forms/Application.h"

#include <algorithm>
#include <filesystem>

#include "entry/HTTPFile.h"
#include "entry/ServerControllerClass.h"
#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "forms/ShowMessage.h"
#include "forms/TextHelpers.h"
#include "runtime/Base36.h"
#include "runtime/Files.h"
#include "runtime/FormReader.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"
#include "server/ClientAcceptance.h"
#include "server/FileReply.h"
#include "server/ServerControllerBase.h"
#include "server/SystemPages.h"

namespace qx {

const char* const kApplicationTerminated = "Application has terminated";
const char* const kSecureModeRequired = "Secure mode is required for this form.";
const char* const kNonSecureModeRequired = "Non-Secure mode is required for this form.";
const char* const kUnknownConnectionMode = "Unknown Connection mode";
const char* const kMakeDirectoryFailed = "MakeDirectory cannot create directory ";
const char* const kNoMainFormDefined = "No main form is defined.";
const char* const kResyncWarning =
    "You have attempted to post or refresh data from a page that  depends on information that is "
    "no longer available to the server application.\r\n\r\nYour attempted changes will be ignored. "
    "You will now be resynced to the current place in the application.";
const char* const kExceptionTemplate = "IWException.html";
const char* const kShowMessageTemplate = "IWShowMessage.html";

// The message window of smNewWindow, before and after the message.
constexpr const char* kMessageWindowHead =
    "msgWindow=window.open(\"\",\"ShowMessage\",\"menubar=no,scrollbars=yes,status=no,width=300,"
    "height=300,toolbar=no,location=no,resizable=no,directories=no\");\r\n"
    "msgWindow.document.open(\"text/html\", \"replace\");\r\n"
    "msgWindow.document.write('<HTML><HEAD><TITLE>Message Dialog</TITLE></HEAD>');\r\n"
    "msgWindow.document.write('<BODY>');\r\n"
    "msgWindow.document.write('<CENTER>";
constexpr const char* kMessageWindowTail =
    "</CENTER>')\r\n"
    "msgWindow.document.write('<FORM onSubmit=\"window.close();\"><CENTER><INPUT TYPE=\"button\" "
    "NAME=\"butnClose\" VALUE=\"Ok\" onClick=\"window.close();\"></CENTER></FORM>');\r\n"
    "msgWindow.document.write('</BODY>');\r\n"
    "msgWindow.document.close();\r\n";

namespace {

// Sends the window that holds the page to `url`, from the page or from its submit frame.
std::string TopWindowLocationScript(const std::string& url) {
  return std::string("<script>\r\n") + kTopWindowFunction + " IWTop().window.location.href = \"" + url +
         "\";</script>\r\n";
}

std::string TopWindowLocationPage(const std::string& url) {
  return "<html>\r\n<head>\r\n" + TopWindowLocationScript(url) + "</head></html>";
}

}  // namespace

std::string AppIDFromGUID(const TGUID& guid) {
  auto bigEndian = [&](int from) {
    return (std::uint32_t{guid.D4[from]} << 24) | (std::uint32_t{guid.D4[from + 1]} << 16) |
           (std::uint32_t{guid.D4[from + 2]} << 8) | std::uint32_t{guid.D4[from + 3]};
  };
  const std::uint32_t parts[] = {guid.D1, std::uint32_t{guid.D2} * 65536u + guid.D3, bigEndian(0),
                                 bigEndian(4)};
  std::string id;
  for (std::uint32_t part : parts) id += IntToBase36(part, 7);
  return id;
}

// ---- creation and destruction ----------------------------------------------------------------------

const TClassInfo& TIWApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWApplication>("TIWApplication").Build();
  return info;
}

TIWApplication::TIWApplication(TIWSessionStartInfo start) : IIWApplication(std::move(start)) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  masterTemplate_ = controller.MasterTemplate();
  masterTemplate32_ = controller.MasterTemplate32();
  std::string appID;
  if (controller.OnGetSessionID()) controller.OnGetSessionID()(*this, appID);
  if (appID.empty()) appID = AppIDFromGUID(CreateGUID());
  SetAppID(appID);
  const std::string folder = controller.CacheDir() + "user/" + appID + "/";
  if (!ForceDirectories(folder)) throw EIWException(kMakeDirectoryFailed + folder);
  SetUserCacheDir(folder);
}

Owned<IIWApplication> TIWApplication::Create(const TIWSessionStartInfo& start) {
  return Owned<IIWApplication>(new TIWApplication(start));
}

TIWApplication* TIWApplication::Current() noexcept {
  IIWApplication* current = CurrentApplication();
  return current ? &current->Application() : nullptr;
}

void TIWApplication::BeforeDestruction() {
  if (const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
      controller && controller->OnCloseSession()) {
    try {
      controller->OnCloseSession()(*this);
    } catch (...) {
      // A failing close-session handler must not keep the session's objects alive; the log
      // keeps its reason.
      LogCurrentFailure("Closing session " + AppID());
    }
  }
  data_.reset();
  IIWApplication::BeforeDestruction();
}

TIWApplication::~TIWApplication() {
  // The owned forms are gone by now; what they wrote into the cache folder goes too.
  const std::string& folder = UserCacheDir();
  if (folder.empty()) return;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.find('.', 1) != std::string::npos && it->is_regular_file(ec)) DeleteFile(it->path().string());
  }
  std::filesystem::remove(ExcludeTrailingPathDelimiter(folder), ec);
}

void TIWApplication::SetData(Owned<TComponent> data) { data_ = std::move(data); }

void TIWApplication::Notification(TComponent* component, TOperation operation) {
  IIWApplication::Notification(component, operation);
  if (operation == opInsert) {
    forms_.push_back(component);
    if (auto* form = dynamic_cast<TIWBaseForm*>(component); form && !form->application_)
      form->application_ = this;
  } else {
    std::erase(forms_, component);
  }
}

// ---- modules ------------------------------------------------------------------------------------

void TIWApplication::AddModule(TComponent& module) {
  if (std::find(modules_.begin(), modules_.end(), &module) == modules_.end()) modules_.push_back(&module);
}

void TIWApplication::RemoveModule(TComponent& module) noexcept { std::erase(modules_, &module); }

TComponent* TIWApplication::FindModule(std::string_view name) const noexcept {
  for (TComponent* module : modules_)
    if (SameText(module->Name(), name)) return module;
  return nullptr;
}

// ---- the form stack -------------------------------------------------------------------------------

void TIWApplication::ShowForm(TIWBaseForm& form) {
  auto* appForm = dynamic_cast<TIWAppForm*>(&form);
  if (!appForm) throw EIWException(kCannotShowNonAppForms);
  if (activeForms_.empty() || activeForms_.back() != appForm) activeForms_.push_back(appForm);
  // With the browser's size known, a newly shown page fills the window at once.
  if (FormWidth() * FormHeight() != 1 && appForm->IsHTML40())
    appForm->SetBounds(0, 0, FormWidth(), FormHeight());
}

void TIWApplication::HideForm(TIWBaseForm& form) {
  std::erase_if(activeForms_, [&](TIWAppForm* f) { return f == &form; });
}

void TIWApplication::ReleaseForm(TIWBaseForm& form) {
  if (std::find(releasedForms_.begin(), releasedForms_.end(), &form) == releasedForms_.end())
    releasedForms_.push_back(&form);
  HideForm(form);
}

void TIWApplication::FormDestroyed(TIWBaseForm& form) noexcept {
  std::erase_if(activeForms_, [&](TIWAppForm* f) { return f == &form; });
  std::erase(releasedForms_, &form);
}

void TIWApplication::FreeReleasedForms() {
  // Freeing a form takes it off the list, so the list is taken over first.
  std::vector<TIWBaseForm*> released = std::move(releasedForms_);
  releasedForms_.clear();
  for (TIWBaseForm* form : released) {
    if (form->Owner()) form->Free();
  }
}

// ---- request context ---------------------------------------------------------------------------------

void TIWApplication::AttachRequest(TWebRequest& request, TWebResponse& response,
                                   const std::vector<std::unique_ptr<THTTPFile>>* files) {
  request_ = &request;
  response_ = &response;
  files_ = files;
  // A request is an ordinary one until the dispatcher says it is a partial update or a
  // callback; the kind of an earlier request must not shape this one's reply.
  SetIsPartialUpdate(false);
  SetIsCallback(false);
  pageForm_ = ActiveForm();
}

void TIWApplication::DetachRequest() noexcept {
  request_ = nullptr;
  response_ = nullptr;
  files_ = nullptr;
}

THTTPFile* TIWApplication::FindUploadedFile(std::string_view fieldName) const {
  if (!files_) return nullptr;
  for (const auto& file : *files_)
    if (SameText(file->FieldName(), fieldName)) return file.get();
  return nullptr;
}

bool TIWApplication::IsSecure() const {
  return request_ && SameText(request_->GetFieldByName("HTTPS"), "ON");
}

std::string TIWApplication::ServerURL() const {
  if (!request_) return {};
  const std::int64_t port = request_->ServerPort();
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  std::string host = request_->Host();
  if (const std::size_t colon = host.find(':'); colon != std::string::npos) host.resize(colon);
  return std::string(port == controller.SSLOptions().Port ? "https://" : "http://") + host + ":" +
         IntToStr(port);
}

std::string TIWApplication::InternalFilesBase() const {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  return controller.UseInternalFiles() ? AppURLBase() : controller.InternalFilesURL();
}

std::string TIWApplication::WriteCacheFile(std::string_view prefix, std::string_view bytes) const {
  const std::optional<std::string> file = WriteTempFile(UserCacheDir(), prefix, bytes);
  if (!file) throw EIWException(kCacheWriteError);
  return CacheURL() + "user/" + AppID() + "/" + ExtractFileName(*file);
}

// ---- the active form as the server layer sees it -------------------------------------------------------

bool TIWApplication::ActiveFormBrowserSecurityCheck() const {
  TIWAppForm* form = ActiveForm();
  return !form || form->BrowserSecurityCheck();
}

bool TIWApplication::ActiveFormIsHTML40() const {
  TIWAppForm* form = ActiveForm();
  return form && form->IsHTML40();
}

int TIWApplication::ActiveFormWidth() const { return ActiveForm() ? ActiveForm()->Width() : 0; }

int TIWApplication::ActiveFormHeight() const { return ActiveForm() ? ActiveForm()->Height() : 0; }

void TIWApplication::ResizeActiveForm(int width, int height) {
  if (TIWAppForm* form = ActiveForm(); form && form->IsHTML40()) form->ResizeTo(width, height);
}

std::string TIWApplication::ActiveFormResizeScript() {
  TIWAppForm* form = ActiveForm();
  return form ? form->ResizeScript() : std::string();
}

// ---- one post -------------------------------------------------------------------------------------------

void TIWApplication::HandleException(const std::exception& failure) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  bool handled = false;
  if (controller.OnException()) controller.OnException()(this, failure, handled);
  if (!handled) ShowMessage(failure.what(), controller.ExceptionDisplayMode(), kExceptionTemplate);
}

void TIWApplication::Execute(const TStringList& fields) {
  // The marker a partial-update URL carries in its query is no posted value.
  TStringList params = fields;
  const std::string marker = AppID() + IntToStr(TrackID());
  for (int i = 1; i < params.Count(); ++i) {
    if (params[i] == marker) {
      params.Delete(i);
      break;
    }
  }
  SetRedirectURL("");
  // Partial updates only for the browsers whose scripts handle them.
  if (TIWAppForm* form = ActiveForm()) {
    const TIWBrowser browser = Browser();
    if (form->UpdateMode() == umPartial && browser != brIE && browser != brNetscape7 &&
        browser != brOpera && browser != brSafari)
      form->SetUpdateMode(umAll);
  }
  // The form processes the post; released forms go, also after a failure.
  ProcessOnActiveForm(params);
  // The next page, unless the post produced a reply of its own or a redirect.
  const bool hasContent = response_ && (response_->ContentStream() || response_->HasContent());
  if (!hasContent && RedirectURL().empty()) {
    if (ActiveForm()) {
      SetTrackID(TrackID() + 1);
      PreparePage();
    } else {
      Terminate();
    }
  }
}

void TIWApplication::ProcessOnActiveForm(const TStringList& fields) {
  try {
    if (TIWAppForm* form = ActiveForm()) {
      form->PostedValues() = fields;
      form->ProcessPost();
    }
  } catch (const EAbort&) {
    // An abort ends the processing silently.
  } catch (const std::exception& failure) {
    HandleException(failure);
  }
  try {
    FreeReleasedForms();
  } catch (const std::exception& failure) {
    HandleException(failure);
  }
}

void TIWApplication::ProcessStalePage(int submittedTrackID, const TStringList& fields) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  bool handled = false;
  bool execute = false;
  if (controller.OnBackButton())
    controller.OnBackButton()(submittedTrackID, TrackID(), fields.Values("IW_FormName"), handled, execute);
  if (!handled && controller.ShowResyncWarning()) ShowMessage(kResyncWarning, smAlert, {});
  if (handled && execute) Execute(fields);
}

void TIWApplication::ProcessCallback(const TStringList& fields) {
  SetIsCallback(true);
  callbackResponse_.Reset();
  ProcessOnActiveForm(fields);
  FinishCallbackReply();
  if (response_) {
    const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
    response_->SetContentType("text/xml");
    response_->SetContent(callbackResponse_.Text(!SameText(controller.CharSet(), "utf-8")));
  }
}

void TIWApplication::FinishCallbackReply() {
  if (TIWAppForm* form = ActiveForm()) {
    callbackResponse_.AddChangedControls(*form, *this);
    if (!form->ExtraInitScript().empty()) {
      callbackResponse_.AddExecute("<![CDATA[" + form->ExtraInitScript() + "]]>");
      form->ClearExtraInitScript();
    }
    if (!form->MessageWindowScript().empty()) {
      callbackResponse_.AddExecute("<![CDATA[" + form->MessageWindowScript() + "]]>");
      form->ClearMessageWindowScript();
    }
  }
  if (!Terminated()) return;
  if (!RedirectURL().empty()) {
    // A redirect must not be lost because the request was a callback.
    callbackResponse_.AddExecute("<![CDATA[IWTop().location.href = \"" + RedirectURL() + "\";]]>");
  } else {
    callbackResponse_.AddExecute("<![CDATA[IWTop().setTimeout('document.writeln(\"<html><body>" +
                                 terminateMessage_ + "</body></html>\");document.close();',0);]]>");
  }
}

// ---- pages ----------------------------------------------------------------------------------------------

std::string TIWApplication::FormActionURL() const {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (controller.SessionTrackingMethod() == tmURL)
    return AppURLBase() + "/" + controller.ExecCmd() + "/" + IntToStr(TrackID()) + "/" + AppID();
  return AppURLBase() + "/" + controller.ExecCmd();
}

void TIWApplication::PreparePage() {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  formAction_ = FormActionURL();
  TIWAppForm* form = ActiveForm();
  if (!form) return;
  if (form->IsHTML40() && form->UpdateMode() == umPartial) {
    formAction_ = controller.SessionTrackingMethod() == tmURL
                      ? AppURLBase() + "/UPDATE/" + IntToStr(TrackID()) + "/" + AppID()
                      : AppURLBase() + "/UPDATE?" + AppID() + IntToStr(TrackID());
  }
  switch (form->ConnectionMode()) {
    case cmAny: break;
    case cmSecure:
      if (!IsSecure()) throw EIWException(kSecureModeRequired);
      break;
    case cmNonSecure:
      if (IsSecure()) throw EIWException(kNonSecureModeRequired);
      break;
    default: throw EIWException(kUnknownConnectionMode);
  }
  if (form->IsHTML40() && !form->SupportedBrowsers().Contains(Browser())) {
    const std::string message = UnsupportedBrowserMessage(Browser(), UserAgent(), form->SupportedBrowsers());
    form->Release();
    std::erase(releasedForms_, form);
    if (form->Owner()) form->Free();
    // An empty page carries the message when nothing else is left to show.
    if (!ActiveForm()) CreateComponent<TIWAppForm>(*this).Show();
    ShowMessage(message);
  }
}

void TIWApplication::Render(TStream& out) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  TIWAppForm* form = ActiveForm();
  if (form && controller.OnBeforeRender() && !Terminated()) {
    TIWAppForm* newForm = nullptr;
    controller.OnBeforeRender()(*this, *form, newForm);
    if (newForm && newForm != form) {
      newForm->Show();
      PreparePage();
      form = ActiveForm();
    }
  }
  if (Terminated()) {
    out.TakeText(FinalPage());
    return;
  }
  if (!form) return;
  if (IsPartialUpdate() && !UpdatesPageInPlace(*form)) {
    // The reply lands in the submit frame: the main window fetches the new page itself, with
    // a post that names no action and so only renders it.
    out.TakeText(TopWindowLocationPage(AppURLBase() + "/" + controller.ExecCmd() + "/" +
                                        IntToStr(TrackID()) + "/" + AppID()));
    return;
  }
  form->RenderPage(out);
  if (controller.OnAfterRender()) controller.OnAfterRender()(*this, *form);
}

void TIWApplication::SendTerminationReply(TWebResponse& response) { response.SetContent(FinalPage()); }

void TIWApplication::SendRedirectReply(TWebResponse& response) { response.SetContent(FinalPage()); }

bool TIWApplication::UpdatesPageInPlace(const TIWAppForm& form) const {
  return &form == pageForm_.Get() && form.UpdateMode() == umPartial && form.IsHTML40();
}

std::string TIWApplication::FinalPage() const {
  const std::string& message = terminateMessage_;
  const std::string& url = RedirectURL();
  if (url.empty()) {
    return std::string("<html><head><script> ") + kTopWindowFunction +
           "IWTop().setTimeout('document.writeln( \"<html><body>" + message +
           "</body></html>\");document.close();',0);" + "</script></head></html>";
  }
  std::string page = "<html>\r\n<head>\r\n";
  if (IsPartialUpdate()) {
    page += TopWindowLocationScript(url);
  } else {
    const std::string delay =
        message.empty() ? std::string("0")
                        : IntToStr(TIWServerControllerBase::Required().RedirectMsgDelay() * 10);
    page += "<META HTTP-EQUIV=\"Refresh\" CONTENT=\"" + delay + ";URL=" + url + "\">\r\n" +
            "<meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n" +
            "<meta http-equiv=\"pragma\" content=\"no-cache\">\r\n";
  }
  page += message.empty() ? "</head></html>" : "</head><body>" + message + "</body></html>";
  return page;
}

// ---- messages and termination -------------------------------------------------------------------------

void TIWApplication::ShowMessage(const std::string& text, TIWShowMessageType style,
                                 const std::string& templateName) {
  TIWAppForm* form = ActiveForm();
  if (!form && style != smSameWindow && style != smSameWindowFrame) style = smSameWindow;
  if (RenderKind() == rkHTML32 || RenderKind() == rkWAP) style = smSameWindow;
  if (form && !form->IsHTML40()) style = smSameWindow;
  switch (style) {
    case smAlert:
      form->AddExtraInitScript("window.alert(\"" + EscapeScript(text) + "\");\r\n");
      break;
    case smNewWindow: {
      std::string converted = StringReplace(text, "\r", "");
      converted = StringReplace(converted, "\n", "<br>");
      form->AddMessageWindowScript(kMessageWindowHead + converted + kMessageWindowTail);
      break;
    }
    case smSameWindow:
    case smSameWindowFrame:
      CreateComponent<TIWShowMessage>(*this).ShowText(
          text, style, templateName.empty() ? std::string(kShowMessageTemplate) : templateName);
      break;
  }
}

void TIWApplication::Terminate(const std::string& message) {
  SetTerminated(true);
  terminateMessage_ = message.empty() ? std::string(kApplicationTerminated) : message;
}

void TIWApplication::TerminateAndRedirect(const std::string& url) {
  SetTerminated(true);
  SetRedirectURL(url);
  terminateMessage_.clear();
}

// ---- the first form ------------------------------------------------------------------------------------

void TIWApplication::CreateFirstForm(const TClassInfo& formClass) {
  if (!formClass.InheritsFrom(TIWAppForm::StaticClassInfo())) throw EIWException(kFormMustBeAnAppForm);
  static_cast<TIWAppForm&>(CreateComponent(formClass, *this)).Show();
}

void TIWApplication::ShowFirstForm(TIWAppForm& form) { form.Show(); }

}  // namespace qx
