// The interim dispatcher's two replies.
#include "server/InterimDispatcher.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kStartingUpPage =
    "<html><head><title>Requests Service</title></head>\r\n"
    "<body><p>The requests service is starting up. Please try again in a few moments.</p>"
    "</body></html>\r\n";

namespace {

// The first segment of the path info, the leading "/" dropped.
std::string Command(std::string_view pathInfo) {
  if (!pathInfo.empty() && pathInfo[0] == '/') pathInfo.remove_prefix(1);
  return std::string(pathInfo.substr(0, pathInfo.find('/')));
}

}  // namespace

const TDispatcherClass& TInterimDispatcher::Class() {
  static const TDispatcherClass dispatcherClass{
      "TInterimDispatcher", []() -> std::unique_ptr<TCustomWebDispatcher> {
        return std::make_unique<TInterimDispatcher>();
      }};
  return dispatcherClass;
}

bool TInterimDispatcher::DefaultAction(TWebRequest& request, TWebResponse& response) {
  response.SetStatusCode(200);
  response.SetContent(SameText(Command(request.PathInfo()), "PING") ? "" : kStartingUpPage);
  return true;
}

}  // namespace qx
