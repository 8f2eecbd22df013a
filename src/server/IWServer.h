// TIWServer: the request dispatcher. Its one default action decodes the URL into a command
// and the session and track identifiers, serves static commands, starts sessions, hands posts
// to the session's application object under the session's lock, and ends every reply with
// the caching headers. Failures become the system replies.
#pragma once

#include <string>

#include "entry/WebDispatcher.h"

namespace qx {

extern const char* const kUnrecognizedCommand;     // "Unrecognized Command: "
extern const char* const kPageCharSet;             // "windows-1252"

// The content type of every page the dispatcher generates: the controller's CharSet when one
// is set, else the service's own Windows-1252, so that browsers read and post that encoding.
std::string PageContentType();

// One instance serves one request at a time and keeps nothing between requests; the request
// handler pools instances. Shared state (the session registry, a session) is locked as the
// registry says: a session's lock is held from its lookup until the reply is complete.
class TIWServer : public TCustomWebDispatcher {
 public:
  static const TDispatcherClass& Class();

 protected:
  void BeforeDispatch(TWebRequest& request, TWebResponse& response, bool& handled) override;
  bool DefaultAction(TWebRequest& request, TWebResponse& response) override;
  void AfterDispatch(TWebRequest& request, TWebResponse& response, bool& handled) override;
};

}  // namespace qx
