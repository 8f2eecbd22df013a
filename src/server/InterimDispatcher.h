// TInterimDispatcher: the dispatcher the library runs with until the session dispatcher is
// built. It answers "PING" with an empty 200 and every other request with a short page saying
// that the service is starting up.
#pragma once

#include "entry/WebDispatcher.h"

namespace qx {

extern const char* const kStartingUpPage;

class TInterimDispatcher : public TCustomWebDispatcher {
 public:
  static const TDispatcherClass& Class();

 protected:
  bool DefaultAction(TWebRequest& request, TWebResponse& response) override;
};

}  // namespace qx
