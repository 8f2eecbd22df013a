// The size probe page that starts every HTML 4.0 session: it posts the browser window's size
// back at once, together with the new session's id and track number.
#pragma once

#include <string>

namespace qx {

class TIWServerControllerBase;

extern const char* const kNoJavaScriptText;  // shown by browsers that run no script

// The page whose form posts "IW_width", "IW_height", "IW_SessionID_" and "IW_TrackID_" to
// `action` as soon as it has loaded. Browsers without scripts are sent to the controller's
// NoJavaScriptSupport page when it names one, and are told why otherwise.
std::string SizeProbePage(const std::string& action, const std::string& sessionID, int trackID,
                          const TIWServerControllerBase& controller);

}  // namespace qx
