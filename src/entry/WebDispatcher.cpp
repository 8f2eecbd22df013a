// The dispatch sequence and the default failure reply of every dispatcher.
#include "entry/WebDispatcher.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Format.h"
#include "runtime/HtmlText.h"

namespace qx {

const char* const kInternalApplicationErrorPage =
    "<html><body><h1>Internal Application Error</h1>\r\n<p>%0:s\r\n<p><hr width=\"100%%\"><i>"
    "%1:s</i></body></html>";

TCustomWebDispatcher::~TCustomWebDispatcher() = default;

bool TCustomWebDispatcher::HandleRequest(TWebRequest& request, TWebResponse& response) {
  try {
    bool handled = false;
    BeforeDispatch(request, response, handled);
    handled = handled || response.Sent();
    if (!handled) handled = DefaultAction(request, response);
    if (handled && !response.Sent()) AfterDispatch(request, response, handled);
    return handled;
  } catch (const std::exception& failure) {
    HandleException(failure, request, response);
    return true;
  }
}

void TCustomWebDispatcher::BeforeDispatch(TWebRequest&, TWebResponse&, bool&) {}

void TCustomWebDispatcher::AfterDispatch(TWebRequest&, TWebResponse&, bool&) {}

void TCustomWebDispatcher::HandleException(const std::exception& failure, TWebRequest& request,
                                           TWebResponse& response) {
  if (response.Sent()) return;
  response.FreeContentStream();
  // The message and the path may carry what a client sent: they are shown as text.
  response.SetContent(Format(kInternalApplicationErrorPage,
                             {HtmlText(failure.what()), HtmlText(request.PathInfo())}));
  response.SetStatusCode(500);
  response.SendResponse();
}

}  // namespace qx
