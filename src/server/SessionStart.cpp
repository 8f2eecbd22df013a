// The steps of a session start.
#include "server/SessionStart.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "server/ApplicationInterface.h"
#include "server/ClientAcceptance.h"
#include "server/ServerControllerBase.h"
#include "server/SessionErrors.h"
#include "server/Sessions.h"

namespace qx {

const char* const kDeviceNotSupported = "Device not supported";
const char* const kUnknownClientType = "Unknown client type.";
const char* const kNoApplicationFactory = "No application class has been registered.";

namespace {

// The start form for a render kind, falling back as an HTML 4.0 client may.
const TClassInfo& StartFormFor(TIWRenderKind kind) {
  const TClassInfo* form = nullptr;
  switch (kind) {
    case rkHTML40:
      form = StartForm(rkHTML40);
      if (!form) form = StartForm(rkHTML32);
      if (!form) form = StartForm(rkWAP);
      break;
    case rkHTML32: form = StartForm(rkHTML32); break;
    case rkWAP: form = StartForm(rkWAP); break;
    default: throw EIWException(kUnknownClientType);
  }
  if (!form) throw EDeviceNotSupported(kDeviceNotSupported);
  return *form;
}

TIWSessionStartInfo StartInfo(TWebRequest& request, const std::string& clientTypeText,
                              const std::string& clientAddress,
                              const TIWServerControllerBase& controller) {
  TIWSessionStartInfo info;
  info.Browser = ClientTypeOf(clientTypeText);
  info.RenderKind = AcceptClient(info.Browser, clientTypeText, controller);
  info.UserAgent = clientTypeText;
  info.AppURLBase = controller.URLBase().empty() ? request.ScriptName() : controller.URLBase();
  info.IP = clientAddress;
  info.ReferringURL = request.Referer();
  info.RunParams = request.UrlFields();
  info.SessionTimeOut = controller.SessionTimeout();
  info.SessionTimeOutSeconds = controller.SessionTimeoutSeconds();
  return info;
}

}  // namespace

IIWApplication& StartSession(TWebRequest& request, TWebResponse& response,
                             const std::string& clientTypeText, const std::string& clientAddress,
                             const TClassInfo* pageAccessClass) {
  TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  TIWSessions* sessions = GSessions();
  if (!sessions) throw EIWException(kNoServerControllerCreated);
  TIWApplicationFactory factory = ApplicationFactory();
  if (!factory) throw EIWException(kNoApplicationFactory);

  // The client is accepted and the application object made (its AppID and cache folder too).
  Owned<IIWApplication> created = factory(StartInfo(request, clientTypeText, clientAddress,
                                                    controller));
  // A "bind" value tags the session so that later requests can name it by that tag.
  const TStringList& query = request.UrlFields();
  if (int bind = query.IndexOfName("bind"); bind >= 0)
    created->SetSessionTag(query.ValueFromIndex(bind));
  // The request is the session's; the session is the thread's.
  created->AttachRequest(request, response, &request.Files());
  SetCurrentApplication(created.get());
  IIWApplication* session = nullptr;
  try {
    // Registered, and locked for this request.
    session = &sessions->Add(std::move(created));
  } catch (...) {
    if (created) created->DetachRequest();
    SetCurrentApplication(nullptr);
    throw;
  }
  try {
    // The service's own session set-up, then the background threads.
    TIWAppForm* mainForm = nullptr;
    if (controller.OnNewSession()) controller.OnNewSession()(session->Application(), mainForm);
    controller.StartSessionThreads();
    // The first form: the page-access form, the one the set-up chose, or the start form.
    if (pageAccessClass)
      session->CreateFirstForm(*pageAccessClass);
    else if (mainForm)
      session->ShowFirstForm(*mainForm);
    else
      session->CreateFirstForm(StartFormFor(session->RenderKind()));
  } catch (...) {
    // A session that cannot show a first form would only idle until its time-out.
    std::string appID = session->AppID();
    session->DetachRequest();
    ReleaseSession(*session);
    SetCurrentApplication(nullptr);
    sessions->RemoveAndFree(appID);
    throw;
  }
  return *session;
}

}  // namespace qx
