// Header block order: Location, Allow, Set-Cookie..., Derived-From, Expires, Last-Modified,
// Title, WWW-Authenticate, extra headers, Content-Version, Content-Encoding, Content-Type,
// Content-Length, then the empty line.
#include "entry/ResponseHeaders.h"

#include "entry/WebResponse.h"
#include "runtime/Format.h"
#include "runtime/HttpDate.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

void AddLine(std::string& out, std::string_view name, std::string_view value) {
  if (value.empty()) return;
  out.append(name).append(": ");
  for (char c : value)
    if (c != '\r' && c != '\n') out += c;
  out.append("\r\n");
}

}  // namespace

std::string ResponseStatusText(const TWebResponse& response) {
  std::string reason = response.ReasonString();
  if (!reason.empty() && response.StatusCode() > 0)
    return Format("%d %s", {response.StatusCode(), reason});
  return "200 OK";
}

std::string BuildHeaderBlock(const TWebResponse& response) {
  std::string out;
  AddLine(out, "Location", response.Location());
  AddLine(out, "Allow", response.Allow());
  for (const TCookie& cookie : response.Cookies()) AddLine(out, "Set-Cookie", cookie.HeaderValue());
  AddLine(out, "Derived-From", response.DerivedFrom());
  if (response.Expires() > 0) AddLine(out, "Expires", HttpDateFixed(response.Expires()));
  if (response.LastModified() > 0)
    AddLine(out, "Last-Modified", HttpDateFixed(response.LastModified()));
  AddLine(out, "Title", response.Title());
  if (!response.WWWAuthenticate().empty()) {
    std::string value = response.WWWAuthenticate();
    if (!response.Realm().empty()) value += " Realm=" + response.Realm();
    AddLine(out, "WWW-Authenticate", value);
  }
  const TStringList& extra = response.ExtraHeaders();
  for (int i = 0; i < extra.Count(); ++i) AddLine(out, extra.Names(i), extra.ValueFromIndex(i));
  AddLine(out, "Content-Version", response.ContentVersion());
  AddLine(out, "Content-Encoding", response.ContentEncoding());
  AddLine(out, "Content-Type", response.ContentType());
  if (response.HasContent() || response.ContentStream())
    AddLine(out, "Content-Length", IntToStr(response.ContentLength()));
  out.append("\r\n");
  return out;
}

}  // namespace qx

