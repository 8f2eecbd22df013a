// Serving a file from disk: the reply with its conditional-request rule, the resolution of a
// requested name inside its folder (nothing outside it is ever served), and the files and
// cache URLs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qx {

class TWebRequest;
class TWebResponse;

extern const char* const kNotModified;   // "Not modified"
extern const char* const kFileNotFound;  // "File not found"

// The file at `path` as the body stream with its content type and last-modified date, or 304
// "Not modified" when the request's If-Modified-Since is not earlier than the file's time (both
// taken in whole seconds), or 404 "File not found" when `path` is no file or cannot be read.
void FileReply(const std::string& path, TWebRequest& request, TWebResponse& response);

// Status 404, reason "File not found", no body.
void FileNotFoundReply(TWebResponse& response);

// The file a request names inside `folder`: the exact name, else each segment matched without
// regard to letter case. Nothing when the name is empty, absolute, holds "..", a backslash or
// a NUL, when no such entry exists, or when the entry lies outside the folder once symbolic
// links are followed.
std::optional<std::string> ResolveRequestedFile(const std::string& folder, std::string_view name);

// The current application's URL base with a trailing "/", then "Files/" (resp. "Cache/");
// without a current application the base is empty, so "/Files/".
std::string FilesURL();
std::string CacheURL();

}  // namespace qx
