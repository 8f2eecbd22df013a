// The static commands the dispatcher hands over: public files ("FILES", "FILESNC"), generated
// files ("CACHE"), internal scripts ("JS", "JAVASCRIPT"), style sheets ("CSS"), pictures
// ("GFX") and the favicon. Each builds the reply and leaves `cacheable` as the reply allows;
// the dispatcher's reply tail turns that into the caching headers.
#pragma once

#include <string>
#include <string_view>

namespace qx {

class TWebRequest;
class TWebResponse;

extern const char* const kPermissionDenied;  // body of a refused file access

// A file of FilesDir named by `name` (the next path segment). Cacheable only for "FILES"
// (`cacheableCommand`) with status 200. An OnFileAccess handler that refuses gives 403.
void FilesCommand(TWebRequest& request, TWebResponse& response, std::string_view name,
                  bool cacheableCommand, bool& cacheable);

// A file of CacheDir named by the rest of the path. Under "user/<AppID>/" the session must be
// live and pass the checks of `clientAddress` (it is released at once). Cacheable with 200.
void CacheCommand(TWebRequest& request, TWebResponse& response, std::string_view filePart,
                  std::string_view clientAddress, bool& cacheable);

// "IWCommon.js_9.0.17": the internal script IW_JS_IWCOMMON. A conditional request dated no
// earlier than a second before the server start gets 304 (not cacheable).
void InternalScriptCommand(TWebRequest& request, TWebResponse& response,
                           std::string_view segment, bool& cacheable);
// "name.css_9.0.17": the internal style sheet IW_CSS_ + name.
void InternalStyleCommand(TWebRequest& request, TWebResponse& response,
                          std::string_view segment, bool& cacheable);
// "Tp.gif": the internal picture IW_GFX_Tp, typed by the request path's extension.
void InternalGraphicCommand(TWebRequest& request, TWebResponse& response,
                            std::string_view segment, bool& cacheable);

// FilesDir's favicon.ico when there is one, else the built-in icon; the reply stays cacheable.
void FaviconCommand(TWebRequest& request, TWebResponse& response);

}  // namespace qx
