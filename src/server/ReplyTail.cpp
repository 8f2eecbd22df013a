// The reply tail's caching headers.
#include "server/ReplyTail.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/HttpDate.h"
#include "runtime/Strings.h"

namespace qx {

void ReplyTail(TWebRequest& request, TWebResponse& response, bool cacheable,
               int cacheExpiryMinutes, TDateTime now) {
  if (!cacheable) response.SetLastModified(-1.0);
  TDateTime expiry;
  if (cacheable) {
    expiry = (now * kMinutesPerDay + cacheExpiryMinutes) / kMinutesPerDay;
  } else {
    expiry = now - 1.0;
    if (!SameText(request.GetFieldByName("HTTPS"), "ON"))
      response.ExtraHeaders().SetValue("Pragma", "no-cache");
  }
  TStringList& extra = response.ExtraHeaders();
  if (expiry >= now) {
    if (extra.IndexOfName("Expires") < 0) extra.SetValue("Expires", HttpDateFromLocal(expiry));
  } else if (int index = extra.IndexOfName("Expires"); index >= 0) {
    extra.Delete(index);
  }
  if (response.LastModified() > 0) {
    extra.SetValue("Last-Modified", HttpDateFromLocal(response.LastModified()));
    response.SetLastModified(-1.0);
  }
  if (TStream* body = response.ContentStream()) {
    body->Seek(0, SeekOrigin::Begin);
    response.SetContentLength(body->Size());
  }
}

}  // namespace qx
