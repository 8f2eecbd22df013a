// The end of every reply of the dispatcher's default action, failure replies included: the
// caching headers ("Expires", "Pragma", "Last-Modified") and the length of a body stream.
#pragma once

#include "runtime/DateTime.h"

namespace qx {

class TWebRequest;
class TWebResponse;

// A cacheable reply expires `cacheExpiryMinutes` after `now` and keeps its last-modified date;
// any other loses its last-modified date, expires a day before `now` (so no "Expires" header
// is sent) and, unless the connection is HTTPS, says "Pragma: no-cache". Both dates go out as
// extra headers in the dispatcher's HTTP date form; an "Expires" header already set stays. A
// body stream is rewound and gives the content length.
void ReplyTail(TWebRequest& request, TWebResponse& response, bool cacheable,
               int cacheExpiryMinutes, TDateTime now);

}  // namespace qx
