// The value types of the server controller's settings: the option enumerations, the grouped
// settings (Browser32Behaviour, Compression, ReEntryOptions, SSLOptions) and file references.
#pragma once

#include <string>

namespace qx {

// COM initialisation of the loading thread, of each request and of the sweeping thread. There
// is nothing to initialise on this platform; the setting is kept for what it documents.
enum TIWComInitialization : int { ciNone, ciNormal, ciMultiThreaded };

// How a message is shown to the user; also how a failure in an event handler is shown.
enum TIWShowMessageType : int { smAlert, smNewWindow, smSameWindow, smSameWindowFrame };

enum TIWLogOptions : int { loNone, loFile };

enum TIWSessionTrackingMethod : int { tmURL, tmCookie, tmHidden };

// Treatment of unknown and unsupported clients.
enum TIWUnknownBrowserAction : int { ub32, ubWAP, ub40, ubReject };

// Stand-alone server only: plain requests on the TLS port.
enum TIWNonSSLRequest : int { nsAccept, nsBlock, nsRedirect };

// Which older client types get HTML 3.2 pages.
struct TIWBrowser32Behaviour {
  bool IExplorer4As32 = true;
  bool Netscape4As32 = true;
  bool Netscape6As32 = true;
};

// Response compression; off in this service.
struct TIWCompression {
  bool Enabled = false;
  int Level = 6;
};

// A reply that is either a URL or a file under the files folder: setting one clears the other,
// and the URL is looked at first.
class TIWFileReference {
 public:
  const std::string& URL() const noexcept { return url_; }
  void SetURL(std::string url) {
    url_ = std::move(url);
    fileName_.clear();
  }
  const std::string& FileName() const noexcept { return fileName_; }
  void SetFileName(std::string fileName) {
    fileName_ = std::move(fileName);
    url_.clear();
  }
  bool Empty() const noexcept { return url_.empty() && fileName_.empty(); }
  void Clear() noexcept {
    url_.clear();
    fileName_.clear();
  }

 private:
  std::string url_;
  std::string fileName_;
};

// The re-entry command; inactive with hidden-field session tracking.
struct TIWReEntryOptions {
  bool AutoCreateSession = false;
  std::string Cmd;
  TIWFileReference InvalidSession;
};

// Stand-alone server only; no effect in the extension.
struct TIWSSLOptions {
  std::string CertificatePassword;
  TIWNonSSLRequest NonSSLRequest = nsAccept;
  int Port = 0;
};

}  // namespace qx
