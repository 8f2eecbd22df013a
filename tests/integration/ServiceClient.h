// A browser's side of whole request cycles against the built RequestQX9.so: requests through
// in-memory connections, and the session id and track number read back from the pages.
#pragma once

#include <cstdint>
#include <optional>
#include <regex>
#include <string>

#include "support/InMemoryConnection.h"
#include "support/LoadedLibrary.h"
#include "support/TempDir.h"

namespace qx::test {

inline constexpr char kChromeAgent[] =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 "
    "Safari/537.36";

struct ServiceReply {
  std::uint32_t status = 0;
  std::string statusText;
  std::string headers;
  std::string body;

  std::optional<std::string> Header(const std::string& name) const {
    const std::regex line("(^|\r\n)" + name + ": ([^\r\n]*)", std::regex::icase);
    std::smatch m;
    if (!std::regex_search(headers, m, line)) return std::nullopt;
    return m[2].str();
  }
};

// The first group of `pattern` in `text`, or empty.
inline std::string Capture(const std::string& text, const std::string& pattern) {
  std::smatch m;
  return std::regex_search(text, m, std::regex(pattern)) ? m[1].str() : std::string();
}

class ServiceClient {
 public:
  explicit ServiceClient(const LoadedLibrary& library) : library_(library) {}

  std::string userAgent = kChromeAgent;
  std::string remoteAddress = "127.0.0.1";
  // Extra request headers for the next requests ("X-Forwarded-For" …), name then value.
  std::vector<std::pair<std::string, std::string>> headers;

  ServiceReply Get(const std::string& pathInfo, const std::string& query = {}) {
    InMemoryConnection c;
    c.SetPathInfo(pathInfo).SetQueryString(query);
    return Run(c);
  }
  ServiceReply Post(const std::string& pathInfo, const std::string& urlEncodedFields) {
    InMemoryConnection c;
    c.SetPathInfo(pathInfo).PostForm(urlEncodedFields);
    return Run(c);
  }

  // The probe page of a new session, then its automatic post: the start form's first page.
  ServiceReply Start(int width = 800, int height = 600) {
    ServiceReply probe = Get("");
    appID = Capture(probe.body, "name=\"IW_SessionID_\" value=\"([0-9a-z]*)\"");
    return Post("/EXEC", "IW_width=" + std::to_string(width) + "&IW_height=" +
                             std::to_string(height) + "&IW_SessionID_=" + appID +
                             "&IW_TrackID_=0");
  }
  // A post of the current page as the client library makes it.
  ServiceReply Submit(const std::string& action, const std::string& fields, int track) {
    return Post("/EXEC", fields + "&IW_Action=" + action + "&IW_ActionParam=" +
                             "&IW_FormName=frmLogin&IW_FormClass=TfrmLogin" +
                             "&IW_SessionID_=" + appID + "&IW_TrackID_=" + std::to_string(track) +
                             "&IW_width=800&IW_height=600");
  }

  std::string appID;

 private:
  ServiceReply Run(InMemoryConnection& c) {
    c.SetHeader("User-Agent", userAgent);
    c.SetVariable("REMOTE_ADDR", remoteAddress);
    for (const auto& [name, value] : headers) c.SetHeader(name, value);
    library_.Run(c);
    return {c.StatusCode(), c.StatusText(), c.Headers(), c.Body()};
  }

  const LoadedLibrary& library_;
};

// The track number a form page carries.
inline int PageTrackID(const std::string& page) {
  const std::string track = Capture(page, "NAME=\"IW_TrackID_\" VALUE=\"([0-9]+)\"");
  return track.empty() ? -1 : std::stoi(track);
}

}  // namespace qx::test
