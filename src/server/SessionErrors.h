// The failures of the session layer that the system replies tell apart: an unknown session,
// a refused or unsupported client, a client without a form, and the registry's own faults.
#pragma once

#include "server/IWExceptions.h"

namespace qx {

QX_EXCEPTION_CLASS(EHashTableException, Exception);
// The session id names no live session: the session-expired reply.
QX_EXCEPTION_CLASS(EInvalidSession, EIWException);
QX_EXCEPTION_CLASS(EIWWrongSubnet, EIWException);
// The client's render kind has no start form: the device-not-supported reply.
QX_EXCEPTION_CLASS(EDeviceNotSupported, EIWException);
// Cookie tracking without cookies (never raised with hidden-field tracking).
QX_EXCEPTION_CLASS(ENoCookieSupportException, EIWException);

// A client that would get HTML 4.0 pages but is not among the supported browsers. It records
// whether the detected type is one of the four modern families, whose error page is wrapped.
class EUnknownBrowserException : public EIWException {
 public:
  EUnknownBrowserException(std::string message, bool modernBrowser)
      : EIWException(std::move(message)), modernBrowser_(modernBrowser) {}
  const char* ClassName() const noexcept override { return "EUnknownBrowserException"; }
  bool ModernBrowser() const noexcept { return modernBrowser_; }

 private:
  bool modernBrowser_;
};

}  // namespace qx
