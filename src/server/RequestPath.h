// The URL scheme of the dispatcher: splitting a request path into its optional mode segment,
// its command and the rest, recognising a page-access name, and the command table that turns
// a command into its kind, checked in its fixed order.
#pragma once

#include <string>
#include <string_view>

#include "server/CommandKind.h"

namespace qx {

class TClassInfo;
class TIWServerControllerBase;

// The forced client-type texts of the mode segments "32", "WML" and "XHTMLMP".
extern const char* const kModeHTML32;   // "HTML 3.2"
extern const char* const kModeWML;      // "WML"
extern const char* const kModeXHTMLMP;  // "XHTML MP"

struct TIWRequestPath {
  std::string Command;  // upper-cased; empty for the start command
  std::string Mode;     // the client-type text a mode segment forces, or empty
  std::string Rest;     // what follows the command, not yet consumed
};

// Takes the first segment off `rest` (up to the first "/", which is removed with it); the
// whole of `rest` when it holds no "/".
std::string SplitSegment(std::string& rest);

// Path info → mode, command and rest: a leading "/../" is dropped whole, else the first
// character; the first segment is the command, upper-cased; a mode segment ("32", "WML",
// "XHTMLMP") is remembered and the next segment becomes the command.
TIWRequestPath SplitRequestPath(std::string_view pathInfo);

// The form class a page-access command names ("Login.html" or "login.iwp" → "TLOGIN", the
// "T" not added twice): a registered application-form class whose AllowPageAccess is on, or
// none.
const TClassInfo* PageAccessClass(std::string_view command);

// The kind of `command` (upper-cased) by the command table, checked in this order: the
// re-entry command (only with URL or cookie tracking), "RESIZE", "UPDATE", "UPLOAD", "CACHE",
// "GFX", "JS", "JAVASCRIPT", "FILES", "FILESNC", "STOP", "CSS", "FAVICON.ICO", "CALL", the
// execute command, the empty command of a request carrying "IW_SessionID_" (hidden-field
// tracking only), "CALLBACK", the start command, "PING"; anything else is unknown.
TIWCommandKind CommandKindOf(std::string_view command, bool hasSessionField,
                             const TIWServerControllerBase& controller);

}  // namespace qx
