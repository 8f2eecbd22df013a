// Starting a session: the client is accepted, its application object created and registered,
// OnNewSession runs, the background threads start, and the first form is shown.
#pragma once

#include <string>

namespace qx {

class IIWApplication;
class TClassInfo;
class TWebRequest;
class TWebResponse;

extern const char* const kDeviceNotSupported;   // "Device not supported"
extern const char* const kUnknownClientType;    // "Unknown client type."
extern const char* const kNoApplicationFactory;

// Starts a session for `clientTypeText` (the user agent, or the forced mode text "HTML 3.2",
// "WML" or "XHTML MP") at `clientAddress`. `pageAccessClass`, when given, is the first form.
// Returns the new session registered, locked, current, with the request attached; the caller
// detaches, releases and clears it as for any request. On failure nothing of the session is
// left: a client that is refused never gets one, and one that was registered already (no form
// for its render kind: EDeviceNotSupported) is removed and freed at once.
IIWApplication& StartSession(TWebRequest& request, TWebResponse& response,
                             const std::string& clientTypeText, const std::string& clientAddress,
                             const TClassInfo* pageAccessClass = nullptr);

}  // namespace qx
