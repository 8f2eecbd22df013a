// The file reply, safe resolution of requested names, and the files and cache URLs.
#include "server/FileReply.h"

#include <cmath>
#include <memory>

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Streams.h"
#include "server/ApplicationInterface.h"
#include "server/ContentTypes.h"

namespace qx {

const char* const kNotModified = "Not modified";
const char* const kFileNotFound = "File not found";

namespace {

TDateTime WholeSeconds(TDateTime value) {
  return std::floor(value * kSecondsPerDay + 1e-6) / kSecondsPerDay;
}

std::string UrlBaseWithSlash() {
  IIWApplication* application = CurrentApplication();
  return IncludeTrailingPathDelimiter(application ? application->AppURLBase() : "");
}

}  // namespace

void FileNotFoundReply(TWebResponse& response) {
  response.SetStatusCode(404);
  response.SetReasonString(kFileNotFound);
  response.SetContentStream(nullptr);
  response.SetContent("");
}

void FileReply(const std::string& path, TWebRequest& request, TWebResponse& response) {
  std::optional<TDateTime> age = FileAgeLocal(path);
  if (!age) {
    FileNotFoundReply(response);
    return;
  }
  // The Last-Modified header carries whole seconds, so the comparison does too: a client
  // that sends that date back gets 304.
  TDateTime modified = WholeSeconds(*age);
  TDateTime since = request.IfModifiedSince();
  if (since > 0 && WholeSeconds(GmtToLocal(since)) >= modified) {
    response.SetStatusCode(304);
    response.SetReasonString(kNotModified);
    response.SetContentStream(nullptr);
    response.SetContent("");
    return;
  }
  std::unique_ptr<TFileStream> stream;
  try {
    stream = std::make_unique<TFileStream>(path, FileMode::OpenRead);
  } catch (const EInOutError&) {
    // Unreadable is answered like missing: the reply must not show where files live.
    FileNotFoundReply(response);
    return;
  }
  response.SetStatusCode(200);
  response.SetContentType(ContentTypeOfFile(path));
  response.SetLastModified(modified);
  response.SetContentStream(std::move(stream));
}

std::optional<std::string> ResolveRequestedFile(const std::string& folder,
                                                std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos ||
      name.find('\\') != std::string_view::npos || name.find('\0') != std::string_view::npos ||
      IsAbsolutePath(name))
    return std::nullopt;
  std::optional<std::string> resolved = ResolveInFolder(folder, name);
  if (!resolved) return std::nullopt;
  std::string target = CanonicalPath(*resolved);
  if (!LiesInsideFolder(target, folder)) return std::nullopt;
  return target;
}

std::string FilesURL() { return UrlBaseWithSlash() + "Files/"; }

std::string CacheURL() { return UrlBaseWithSlash() + "Cache/"; }

}  // namespace qx
