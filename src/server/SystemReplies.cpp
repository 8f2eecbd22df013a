// The system replies and the failure-to-reply order.
#include "server/SystemReplies.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Files.h"
#include "server/ApplicationInterface.h"
#include "server/FileReply.h"
#include "server/ServerControllerBase.h"
#include "server/SessionErrors.h"
#include "server/SystemPages.h"

namespace qx {

const char* const kRedirecting = "Redirecting";
const char* const kServerError = "Server error";
const char* const kAuthenticationFailed = "Authentication Failed.";
const char* const kErrorCreatingSession = "Error creating session";

namespace {

void SetBody(TWebResponse& response, std::string body) {
  response.SetContentStream(nullptr);
  response.SetContent(std::move(body));
}

void MarkServerError(TWebResponse& response) {
  response.SetExpires(-1.0);
  response.SetStatusCode(500);
  response.SetReasonString(kServerError);
  response.ExtraHeaders().SetValue("Pragma", "no-cache");
}

// A file-reference setting's file sent from the files folder; a missing file is no cacheable
// reply.
void SendFileReference(TWebRequest& request, TWebResponse& response, const std::string& fileName,
                       bool& cacheable) {
  if (!SendFile(request, response, fileName)) cacheable = false;
}

// The reply a file-reference setting gives for a failure: a redirect to its URL, else its file,
// else the error page.
void ReplyByReference(const TIWFileReference& target, TWebRequest& request,
                      TWebResponse& response, const std::exception& failure, bool& cacheable) {
  if (!target.URL().empty())
    response.SendRedirect(target.URL());
  else if (!target.FileName().empty())
    SendFileReference(request, response, target.FileName(), cacheable);
  else
    ErrorPage(request, response, failure);
}

}  // namespace

void RedirectReply(TWebResponse& response, const std::string& url) {
  response.ExtraHeaders().SetValue("Location", url);
  response.SetStatusCode(302);
  response.SetReasonString(kRedirecting);
}

void ScriptRedirectPage(TWebResponse& response, const std::string& url) {
  SetBody(response, "<html>\r\n<head>\r\n<script>\r\n" + std::string(kTopWindowFunction) +
                        " IWTop().window.location.href = \"" + url + "\";</script>\r\n" +
                        "</head></html>");
}

void ErrorPage(TWebRequest& request, TWebResponse& response, const std::exception& failure) {
  SetBody(response, SystemPage(kErrorPage, &failure, FailureMessage(failure), request));
}

void ServerErrorReply(TWebRequest& request, TWebResponse& response,
                      const std::exception& failure) {
  std::string page = SystemPage(kErrorPage, &failure, FailureMessage(failure), request);
  MarkServerError(response);
  SetBody(response, std::move(page));
}

void TimeOutReply(TWebRequest& request, TWebResponse& response, const std::exception& failure) {
  std::string page = SystemPage(kSessionTimeoutPage, &failure, "", request);
  MarkServerError(response);
  SetBody(response, std::move(page));
}

bool SendFile(TWebRequest& request, TWebResponse& response, const std::string& fileName) {
  const std::string& filesDir = TIWServerControllerBase::Required().FilesDir();
  std::string path = FileReferencePath(fileName);
  // The setting may differ from the file's name on disk in letter case only.
  if (fileName.find(filesDir) == std::string::npos) {
    if (auto resolved = ResolveInFolder(filesDir, fileName)) path = *resolved;
  }
  FileReply(path, request, response);
  return FileExists(path);
}

void AuthenticationReply(TWebResponse& response) {
  SetBody(response, kAuthenticationFailed);
  response.SetWWWAuthenticate("Basic");
  response.SetRealm(TIWServerControllerBase::Required().AppName());
  response.SetStatusCode(401);
}

void ReplyToFailure(const std::exception& failure, TIWCommandKind kind, TWebRequest& request,
                    TWebResponse& response, bool& cacheable,
                    const std::function<void()>& restartSession) {
  TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (dynamic_cast<const ENoCookieSupportException*>(&failure)) {
    ReplyByReference(controller.NoCookieSupport(), request, response, failure, cacheable);
    return;
  }
  if (dynamic_cast<const EUnknownBrowserException*>(&failure)) {
    const TIWFileReference& target = controller.UnknownBrowser();
    if (!target.URL().empty())
      response.SendRedirect(target.URL());
    else if (!target.FileName().empty())
      response.SendRedirect(FileReferenceURL(target.FileName()));
    else
      ErrorPage(request, response, failure);
    return;
  }
  if (dynamic_cast<const EInvalidSession*>(&failure)) {
    if (kind == ckReEntry) {
      const TIWReEntryOptions& reEntry = controller.ReEntryOptions();
      if (reEntry.AutoCreateSession && restartSession) {
        try {
          restartSession();
        } catch (const std::exception&) {
          ErrorPage(request, response, EIWException(kErrorCreatingSession));
        }
      } else if (!reEntry.InvalidSession.URL().empty()) {
        ScriptRedirectPage(response, reEntry.InvalidSession.URL());
      } else if (!reEntry.InvalidSession.FileName().empty()) {
        SendFileReference(request, response, reEntry.InvalidSession.FileName(), cacheable);
      } else {
        ServerErrorReply(request, response, failure);
      }
      return;
    }
    const TIWFileReference& target = controller.SessionTimeoutURL();
    if (!target.URL().empty())
      ScriptRedirectPage(response, target.URL());
    else if (!target.FileName().empty())
      SendFileReference(request, response, target.FileName(), cacheable);
    else
      TimeOutReply(request, response, failure);
    return;
  }
  if (dynamic_cast<const EDeviceNotSupported*>(&failure)) {
    ReplyByReference(controller.DeviceNotSupported(), request, response, failure, cacheable);
    return;
  }
  bool handled = false;
  if (controller.OnException()) {
    IIWApplication* session = CurrentApplication();
    controller.OnException()(session ? &session->Application() : nullptr, failure, handled);
  }
  if (!handled) ServerErrorReply(request, response, failure);
}

}  // namespace qx
