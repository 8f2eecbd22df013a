// Failures of mail delivery: the message writer, the TLS transport and the SMTP client.
// Every class descends from EIdException; the messages are named constants beside each user.
#pragma once

#include <string>

#include "runtime/Exceptions.h"

namespace qx {

QX_EXCEPTION_CLASS(EIdException, Exception);

// Connection state and arguments.
QX_EXCEPTION_CLASS(EIdAlreadyConnected, EIdException);
QX_EXCEPTION_CLASS(EIdHostRequired, EIdException);
QX_EXCEPTION_CLASS(EIdPortRequired, EIdException);
QX_EXCEPTION_CLASS(EIdNotConnected, EIdException);
QX_EXCEPTION_CLASS(EIdConnClosedGracefully, EIdException);
QX_EXCEPTION_CLASS(EIdReadLnMaxLineLengthExceeded, EIdException);
QX_EXCEPTION_CLASS(EIdReadTimeout, EIdException);

// A failed system socket call: resolution, connect, read or write.
class EIdSocketError : public EIdException {
 public:
  EIdSocketError(int lastError, std::string message)
      : EIdException(std::move(message)), lastError_(lastError) {}
  int LastError() const noexcept { return lastError_; }
  const char* ClassName() const noexcept override { return "EIdSocketError"; }

 private:
  int lastError_;
};

// Message composition.
QX_EXCEPTION_CLASS(EIdEmailParseError, EIdException);
QX_EXCEPTION_CLASS(EIdFailedToRetrieveTimeZoneInfo, EIdException);
QX_EXCEPTION_CLASS(EIdMessageNotSupported, EIdException);

// TLS library, context and handshake.
QX_EXCEPTION_CLASS(EIdOpenSSLError, EIdException);
QX_EXCEPTION_CLASS(EIdOSSLCouldNotLoadSSLLibrary, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLGetMethodError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLCreatingContextError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLLoadingRootCertError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLLoadingCertError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLLoadingKeyError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLSettingCipherError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLDataBindingError, EIdOpenSSLError);
QX_EXCEPTION_CLASS(EIdOSSLConnectError, EIdOpenSSLError);

// TLS negotiation by the client (STARTTLS) and its settings.
QX_EXCEPTION_CLASS(EIdTLSClientException, EIdException);
QX_EXCEPTION_CLASS(EIdTLSClientCanNotSetWhileConnected, EIdTLSClientException);
QX_EXCEPTION_CLASS(EIdTLSClientSSLIOHandlerRequred, EIdTLSClientException);
QX_EXCEPTION_CLASS(EIdTLSClientTLSNotAvailable, EIdTLSClientException);
QX_EXCEPTION_CLASS(EIdTLSClientTLSHandShakeFailed, EIdTLSClientException);

// Authentication and commands.
QX_EXCEPTION_CLASS(EIdSASLMechNeeded, EIdException);
QX_EXCEPTION_CLASS(EIdSMTPCommandError, EIdException);

}  // namespace qx
