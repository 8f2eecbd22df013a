// The system-page builder and the file-reference URL rule.
#include "server/SystemPages.h"

#include "entry/WebRequest.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"
#include "server/ApplicationInterface.h"
#include "server/FileReply.h"
#include "server/InternalFiles.h"
#include "server/ServerControllerBase.h"
#include "server/SessionErrors.h"

namespace qx {

const char* const kTopWindowFunction =
    "function IWTop(){ \r\n"
    "  if ((parent != self) && (parent != null) ) {\r\n"
    "    try {\r\n"
    "      return parent.IWTop();\r\n"
    "    } catch (e) {\r\n"
    "      return window;\r\n"
    "    }\r\n"
    "  } else {\r\n"
    "    return window;\r\n"
    "  }\r\n"
    "}\r\n";
const char* const kSessionExpiredText =
    "Your session has expired. You will have to restart the application. In order to keep "
    "sessions from expiring you may set the session timeout parameter to a higher value. The "
    "current session timeout value is %d minute%s.";
const char* const kRestartMayBePossible =
    "Depending on the error condition, it might be possible to restart the application.";
const char* const kErrorPage = "Error";
const char* const kSessionTimeoutPage = "SESSIONTIMEOUT";

namespace {

constexpr unsigned kAnyCase = rfReplaceAll | rfIgnoreCase;

std::string Replace(std::string_view text, std::string_view placeholder,
                    std::string_view value) {
  return StringReplace(text, placeholder, value, kAnyCase);
}

// TemplateDir's "IW" + name + ".html" (its "../files/" references pointed at the files
// folder's URL), else the built-in text. Read anew each time, so it may change while the
// service runs.
std::string Template(std::string_view name, const TIWServerControllerBase& controller) {
  std::string fileName = "IW" + std::string(name) + ".html";
  if (auto file = ResolveInFolder(controller.TemplateDir(), fileName); file && FileExists(*file)) {
    if (auto text = ReadFileBytes(*file)) {
      IIWApplication* application = CurrentApplication();
      std::string files = application ? application->AppURLBase() + "/files/" : FilesURL();
      return Replace(*text, "../files/", files);
    }
  }
  return std::string(InternalResourceBytes("IW_GFX_" + std::string(name)));
}

// Only the device-not-supported page and the unsupported-browser page of an older client are
// sent as they are: those clients may not run the wrapping script.
bool Wrapped(const std::exception* failure) {
  if (dynamic_cast<const EDeviceNotSupported*>(failure)) return false;
  if (auto* browser = dynamic_cast<const EUnknownBrowserException*>(failure))
    return browser->ModernBrowser();
  return true;
}

}  // namespace

std::string FileReferencePath(const std::string& fileName) {
  const std::string& filesDir = TIWServerControllerBase::Required().FilesDir();
  return fileName.find(filesDir) != std::string::npos ? fileName : filesDir + fileName;
}

std::string FileReferenceURL(const std::string& fileName) {
  const std::string& filesDir = TIWServerControllerBase::Required().FilesDir();
  std::string path = FileReferencePath(fileName);
  std::size_t at = path.find(filesDir);
  std::string relative = at != std::string::npos ? path.substr(at + filesDir.size())
                                                 : ExtractFileName(path);
  return FilesURL() + StringReplace(relative, "\\", "/");
}

std::string EscapeContent(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  for (char c : message) {
    switch (c) {
      case '"': out += "&#34"; break;
      case '\'': out += "&#39"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\\': out += "&#92;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string FailureMessage(const std::exception& failure) {
  if (auto* own = dynamic_cast<const Exception*>(&failure)) return own->Message();
  return failure.what();
}

std::string SystemPage(std::string_view name, const std::exception* failure,
                       std::string_view message, TWebRequest& request) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  std::string page = Template(name, controller);
  page = Replace(page, "{%CONTENT%}", EscapeContent(message));
  std::string startCmd = Trim(controller.StartCmd());
  std::string address = controller.URLBase() + request.ScriptName() +
                        (startCmd.empty() ? "/" : "/" + controller.StartCmd());
  page = Replace(page, "{%APPADDRESS%}", address);
  int timeOut = controller.SessionTimeout();
  std::string specific = dynamic_cast<const EInvalidSession*>(failure)
                             ? Format(kSessionExpiredText, {timeOut, timeOut == 1 ? "" : "s"})
                             : std::string(kRestartMayBePossible);
  page = Replace(page, "{%EXCEPTIONSPECIFIC%}", specific);
  page = Replace(page, "{%APPNAME%}", controller.Description());
  return Wrapped(failure) ? WrapInTopWindow(page) : page;
}

std::string WrapInTopWindow(std::string_view page) {
  std::string literal;
  literal.reserve(page.size());
  for (std::size_t i = 0; i < page.size(); ++i) {
    char c = page[i];
    if (c == '\r' || c == '\n') continue;
    // Whatever a template holds must stay inside the script string and the script element.
    if (c == '\\' || c == '\'') literal += '\\';
    if (c == '/' && i > 0 && page[i - 1] == '<' && StartsText("script", page.substr(i + 1)))
      literal += '\\';
    literal += c;
  }
  return "<html><head><script>\r\n" + std::string(kTopWindowFunction) +
         "IWTop().document.writeln('" + literal + "');\r\n</script></head></html>";
}

}  // namespace qx
