// The system replies (redirects, error pages, the server-error and time-out replies, sending a
// file of the files folder, the authentication reply) and the order in which the dispatcher
// turns a failure into one of them.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "server/CommandKind.h"

namespace qx {

class TWebRequest;
class TWebResponse;

extern const char* const kRedirecting;           // "Redirecting"
extern const char* const kServerError;           // "Server error"
extern const char* const kAuthenticationFailed;  // "Authentication Failed."
extern const char* const kErrorCreatingSession;  // "Error creating session"

// Extra header "Location", status 302, reason "Redirecting".
void RedirectReply(TWebResponse& response, const std::string& url);
// A page whose script sends the browser's top window to `url`; the status is left as it is.
void ScriptRedirectPage(TWebResponse& response, const std::string& url);
// The system page "Error" for the failure as the body (any body stream dropped); the status
// is left as it is.
void ErrorPage(TWebRequest& request, TWebResponse& response, const std::exception& failure);
// Status 500 "Server error", "Pragma: no-cache", no expiry date, the error page as the body.
void ServerErrorReply(TWebRequest& request, TWebResponse& response,
                      const std::exception& failure);
// As the server-error reply, with the system page "SESSIONTIMEOUT" and no message.
void TimeOutReply(TWebRequest& request, TWebResponse& response, const std::exception& failure);
// The file reply for a file of FilesDir (or `fileName` itself when it contains FilesDir);
// true when the file was found.
bool SendFile(TWebRequest& request, TWebResponse& response, const std::string& fileName);
// Status 401 with the body "Authentication Failed.", scheme "Basic" and the AppName realm.
void AuthenticationReply(TWebResponse& response);

// The reply to a failure of the dispatcher's default action, chosen by the failure's class in
// this order: no cookie support, unsupported browser, session not found, device not supported,
// anything else (OnException, then the server-error reply). `cacheable` is cleared where a
// reply must not be cached. `restartSession` starts a new session for the re-entry command
// with AutoCreateSession (URL and cookie tracking only); it may be empty.
void ReplyToFailure(const std::exception& failure, TIWCommandKind kind, TWebRequest& request,
                    TWebResponse& response, bool& cacheable,
                    const std::function<void()>& restartSession = {});

}  // namespace qx
