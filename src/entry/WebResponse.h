// TWebResponse: the reply every layer above the web-server boundary builds. Variables by
// index with named accessors, the body as text or stream, cookies and extra header lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/DateTime.h"
#include "runtime/StringList.h"
#include "runtime/Streams.h"

namespace qx {

class TWebRequest;

enum TResponseStringVariable : int {
  rsVersion = 0, rsReasonString, rsServer, rsWWWAuthenticate, rsRealm, rsAllow, rsLocation,
  rsContentEncoding, rsContentType, rsContentVersion, rsDerivedFrom, rsTitle,
  rsCount
};
enum TResponseDateVariable : int { rdDate = 0, rdExpires, rdLastModified, rdCount };
enum TResponseIntegerVariable : int { riContentLength = 0, riCount };

// One Set-Cookie line. An expiry of -1.0 means a cookie for the browser session only.
struct TCookie {
  std::string Name;
  std::string Value;
  std::string Domain;
  std::string Path;
  TDateTime Expires = -1.0;
  bool Secure = false;

  // name=value (both URL-encoded), then "domain=", "path=", "expires=" and "secure" parts.
  std::string HeaderValue() const;
};

class TWebResponse {
 public:
  explicit TWebResponse(TWebRequest& request);
  virtual ~TWebResponse();
  TWebResponse(const TWebResponse&) = delete;
  TWebResponse& operator=(const TWebResponse&) = delete;

  TWebRequest& HTTPRequest() const noexcept { return request_; }

  // --- Variables by index. Reading an index out of range gives an empty value; writing one
  // fails with std::out_of_range.
  std::string GetStringVariable(int index) const;
  void SetStringVariable(int index, std::string value);
  TDateTime GetDateVariable(int index) const;
  void SetDateVariable(int index, TDateTime value);
  std::int64_t GetIntegerVariable(int index) const;
  void SetIntegerVariable(int index, std::int64_t value);

  int StatusCode() const noexcept { return statusCode_; }
  // Also sets the reason text from the reason table (empty for a code it does not hold).
  void SetStatusCode(int code);

  std::string Version() const { return strings_[rsVersion]; }
  void SetVersion(std::string v) { strings_[rsVersion] = std::move(v); }
  std::string ReasonString() const { return strings_[rsReasonString]; }
  void SetReasonString(std::string v) { strings_[rsReasonString] = std::move(v); }
  std::string Server() const { return strings_[rsServer]; }
  void SetServer(std::string v) { strings_[rsServer] = std::move(v); }
  std::string WWWAuthenticate() const { return strings_[rsWWWAuthenticate]; }
  void SetWWWAuthenticate(std::string v) { strings_[rsWWWAuthenticate] = std::move(v); }
  std::string Realm() const { return strings_[rsRealm]; }
  void SetRealm(std::string v) { strings_[rsRealm] = std::move(v); }
  std::string Allow() const { return strings_[rsAllow]; }
  void SetAllow(std::string v) { strings_[rsAllow] = std::move(v); }
  std::string Location() const { return strings_[rsLocation]; }
  void SetLocation(std::string v) { strings_[rsLocation] = std::move(v); }
  std::string ContentEncoding() const { return strings_[rsContentEncoding]; }
  void SetContentEncoding(std::string v) { strings_[rsContentEncoding] = std::move(v); }
  std::string ContentType() const { return strings_[rsContentType]; }
  void SetContentType(std::string v) { strings_[rsContentType] = std::move(v); }
  std::string ContentVersion() const { return strings_[rsContentVersion]; }
  void SetContentVersion(std::string v) { strings_[rsContentVersion] = std::move(v); }
  std::string DerivedFrom() const { return strings_[rsDerivedFrom]; }
  void SetDerivedFrom(std::string v) { strings_[rsDerivedFrom] = std::move(v); }
  std::string Title() const { return strings_[rsTitle]; }
  void SetTitle(std::string v) { strings_[rsTitle] = std::move(v); }

  TDateTime Date() const noexcept { return dates_[rdDate]; }
  void SetDate(TDateTime v) noexcept { dates_[rdDate] = v; }
  TDateTime Expires() const noexcept { return dates_[rdExpires]; }
  void SetExpires(TDateTime v) noexcept { dates_[rdExpires] = v; }
  TDateTime LastModified() const noexcept { return dates_[rdLastModified]; }
  void SetLastModified(TDateTime v) noexcept { dates_[rdLastModified] = v; }

  std::int64_t ContentLength() const noexcept { return contentLength_; }
  void SetContentLength(std::int64_t v) noexcept { contentLength_ = v; }

  // --- Body. A stream, when set, is sent instead of the text.
  const std::string& Content() const noexcept { return content_; }
  // Also sets the content length to the text's length, unless a body stream is set.
  void SetContent(std::string text);
  // Gives up the content text (to a write that keeps it); the content length stays.
  std::string TakeContent() noexcept { return std::move(content_); }
  TStream* ContentStream() const noexcept { return contentStream_.get(); }
  // Takes the stream; sets the content length to its size (to the text's length when the
  // stream is cleared).
  void SetContentStream(std::unique_ptr<TStream> stream);
  // Releases the body stream (after it was sent).
  void FreeContentStream() noexcept { contentStream_.reset(); }

  std::vector<TCookie>& Cookies() noexcept { return cookies_; }
  const std::vector<TCookie>& Cookies() const noexcept { return cookies_; }
  // Further header lines as name=value.
  TStringList& ExtraHeaders() noexcept { return extraHeaders_; }
  const TStringList& ExtraHeaders() const noexcept { return extraHeaders_; }

  bool Sent() const noexcept { return sent_; }

  // --- Sending.
  virtual void SendResponse() = 0;
  virtual void SendRedirect(const std::string& uri) = 0;
  virtual void SendStream(TStream& stream) = 0;

 protected:
  void SetSent(bool sent) noexcept { sent_ = sent; }

 private:
  TWebRequest& request_;
  int statusCode_ = 0;
  std::string strings_[rsCount];
  TDateTime dates_[rdCount] = {-1.0, -1.0, -1.0};
  std::int64_t contentLength_ = 0;
  std::string content_;
  std::unique_ptr<TStream> contentStream_;
  std::vector<TCookie> cookies_;
  TStringList extraHeaders_;
  bool sent_ = false;
};

}  // namespace qx
