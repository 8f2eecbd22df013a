// The static commands: files, cache files, internal resources and the favicon.
#include "server/StaticCommands.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"
#include "server/ContentTypes.h"
#include "server/FileReply.h"
#include "server/InternalFiles.h"
#include "server/ServerControllerBase.h"
#include "server/Sessions.h"

namespace qx {

const char* const kPermissionDenied = "Permission denied";

namespace {

std::string_view FirstSegment(std::string_view path) { return path.substr(0, path.find('/')); }

std::string_view AfterFirstSegment(std::string_view path) {
  std::size_t slash = path.find('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
}

// An internal resource as the body, unless the client's copy dates from this server's start.
void InternalReply(TWebRequest& request, TWebResponse& response, const std::string& resource,
                   const std::string& contentType, bool& cacheable) {
  TDateTime started = TIWServerControllerBase::Required().ServerStartTime();
  TDateTime since = request.IfModifiedSince();
  if (since > 0 && GmtToLocal(since) >= started - 1.0 / kSecondsPerDay) {
    response.SetStatusCode(304);
    response.SetReasonString(kNotModified);
    cacheable = false;
    return;
  }
  response.SetContentStream(InternalResource(resource));
  response.SetStatusCode(200);
  response.SetContentType(contentType);
  response.SetLastModified(started);
}

// "IWCommon.js_9.0.17" → "IWCommon": cut before the version, then at the first '.'. Without
// the version nothing is left.
std::string VersionedName(std::string_view segment) {
  std::size_t version = segment.find(TIWServerControllerBase::Required().Version());
  std::string_view name = version == std::string_view::npos ? std::string_view()
                                                            : segment.substr(0, version);
  return std::string(name.substr(0, name.find('.')));
}

}  // namespace

void FilesCommand(TWebRequest& request, TWebResponse& response, std::string_view name,
                  bool cacheableCommand, bool& cacheable) {
  TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (controller.OnFileAccess()) {
    bool valid = true;
    controller.OnFileAccess()(request, "", "", controller.FilesDir() + std::string(name), valid);
    if (!valid) {
      response.SetStatusCode(403);
      response.SetContent(kPermissionDenied);
      cacheable = false;
      return;
    }
  }
  if (auto file = ResolveRequestedFile(controller.FilesDir(), name))
    FileReply(*file, request, response);
  else
    FileNotFoundReply(response);
  cacheable = cacheableCommand && response.StatusCode() == 200;
}

void CacheCommand(TWebRequest& request, TWebResponse& response, std::string_view filePart,
                  std::string_view clientAddress, bool& cacheable) {
  TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (LowerCase(FirstSegment(filePart)) == "user") {
    std::string_view appID = FirstSegment(AfterFirstSegment(filePart));
    ReleaseSession(LookupSession(appID, clientAddress, request.UserAgent()));
  }
  if (auto file = ResolveRequestedFile(controller.CacheDir(), filePart))
    FileReply(*file, request, response);
  else
    FileNotFoundReply(response);
  cacheable = response.StatusCode() == 200;
}

void InternalScriptCommand(TWebRequest& request, TWebResponse& response,
                           std::string_view segment, bool& cacheable) {
  InternalReply(request, response, "IW_JS_" + VersionedName(segment), ContentTypeOfExt(".js"),
                cacheable);
}

void InternalStyleCommand(TWebRequest& request, TWebResponse& response,
                          std::string_view segment, bool& cacheable) {
  InternalReply(request, response, "IW_CSS_" + VersionedName(segment),
                ContentTypeOfExt(".css"), cacheable);
}

void InternalGraphicCommand(TWebRequest& request, TWebResponse& response,
                            std::string_view segment, bool& cacheable) {
  std::string name = StringReplace(segment.substr(0, segment.find('.')), "/", "_");
  InternalReply(request, response, "IW_GFX_" + name,
                ContentTypeOfExt(ExtractFileExt(request.PathInfo())), cacheable);
}

void FaviconCommand(TWebRequest& request, TWebResponse& response) {
  const std::string& filesDir = TIWServerControllerBase::Required().FilesDir();
  if (auto file = ResolveRequestedFile(filesDir, "favicon.ico")) {
    FileReply(*file, request, response);
    return;
  }
  response.SetContentStream(InternalResource("IW_FAVICON"));
  response.SetStatusCode(200);
  response.SetContentType(ContentTypeOfExt(".ico"));
}

}  // namespace qx
