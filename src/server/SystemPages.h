// System pages: the error and time-out pages filled from a template (TemplateDir's own file
// or the built-in text), their placeholders, and the wrapping that writes a page into the
// browser's top window. Also where file-reference settings point.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace qx {

class TWebRequest;

// The script function "IWTop()" that finds the browser's top window, CR LF line ends.
extern const char* const kTopWindowFunction;
// Format: SessionTimeout, "s" unless it is 1.
extern const char* const kSessionExpiredText;
extern const char* const kRestartMayBePossible;

// The names of the two system pages.
extern const char* const kErrorPage;           // "Error"
extern const char* const kSessionTimeoutPage;  // "SESSIONTIMEOUT"

// A file-reference setting's file name as a path: relative to FilesDir unless it contains
// FilesDir already.
std::string FileReferencePath(const std::string& fileName);
// The URL of a file-reference setting's file name: the files URL, then the part of the path
// after FilesDir (or the bare file name when the file lies elsewhere).
std::string FileReferenceURL(const std::string& fileName);

// A failure's message as {%CONTENT%} shows it: quotes as "&#34" and "&#39", and "<", ">",
// "&" and "\" as character references, so that no text taken from a request becomes markup
// or script.
std::string EscapeContent(std::string_view message);

// The text of a failure: the service's own message, else what() of any other exception.
std::string FailureMessage(const std::exception& failure);

// Builds the system page `name` for `failure` (may be null) with `message` in {%CONTENT%}.
// Unless the failure is a device-not-supported one, or an unsupported-browser one of an older
// client, the page is wrapped to be written into the top window. A missing built-in template
// fails with EIWException Format(kResourceNotFound, name).
std::string SystemPage(std::string_view name, const std::exception* failure,
                       std::string_view message, TWebRequest& request);

// "<html><head><script>" + IWTop() + "IWTop().document.writeln('" + page + "');" ...: the page
// with every CR and LF removed, written as a script string.
std::string WrapInTopWindow(std::string_view page);

}  // namespace qx
