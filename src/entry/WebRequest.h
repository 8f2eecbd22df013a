// TWebRequest: the request every layer above the web-server boundary sees. Variables by index
// with typed accessors, headers by name, body access, and the lazily built field lists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/DateTime.h"
#include "runtime/StringList.h"

namespace qx {

class TContentParser;
class THTTPFile;

enum class TMethodType { mtAny = 0, mtGet = 1, mtPut = 2, mtPost = 3, mtHead = 4 };

// Indexes of the request variables.
enum TRequestVariable : int {
  rvMethod = 0, rvProtocolVersion, rvURL, rvQuery, rvPathInfo, rvPathTranslated,
  rvCacheControl, rvDate, rvAccept, rvFrom, rvHost, rvIfModifiedSince, rvReferer,
  rvUserAgent, rvContentEncoding, rvContentType, rvContentLength, rvContentVersion,
  rvDerivedFrom, rvExpires, rvTitle, rvRemoteAddr, rvRemoteHost, rvScriptName, rvServerPort,
  rvContent, rvConnection, rvCookie, rvAuthorization,
  rvLastIndex = rvAuthorization
};

class TWebRequest {
 public:
  TWebRequest();
  virtual ~TWebRequest();
  TWebRequest(const TWebRequest&) = delete;
  TWebRequest& operator=(const TWebRequest&) = delete;

  // --- Variables. An index above the last yields an empty string.
  virtual std::string GetStringVariable(int index) = 0;
  // The string variable as a decimal integer; -1 when it is empty. A text that is no integer
  // fails with EConvertError.
  std::int64_t GetIntegerVariable(int index);
  // The string variable as an HTTP date (GMT as written); -1.0 when empty or not a date.
  TDateTime GetDateVariable(int index);
  // A header or server variable by name: the name unchanged, then "HTTP_" + name. Values
  // that do not fit the 4,096-byte variable buffer read as empty.
  virtual std::string GetFieldByName(std::string_view name) = 0;

  // --- Body and connection.
  // Reads up to `count` further body bytes; the number read, or -1 on failure.
  virtual int ReadClient(void* buffer, int count) = 0;
  // Up to `count` bytes as text, with one read call.
  virtual std::string ReadString(int count) = 0;
  // The physical path of a URL path; empty when the server cannot map it.
  virtual std::string TranslateURI(std::string_view uri) = 0;
  virtual int WriteClient(const void* buffer, int count) = 0;
  virtual bool WriteString(std::string_view text) = 0;
  // Writes a text the caller gives up, which a request may send without copying it.
  virtual bool WriteText(std::string text) { return WriteString(text); }
  virtual bool WriteHeaders(int statusCode, std::string_view statusText,
                            std::string_view headers) = 0;

  // --- Named variables.
  TMethodType MethodType();
  std::string Method() { return GetStringVariable(rvMethod); }
  std::string ProtocolVersion() { return GetStringVariable(rvProtocolVersion); }
  std::string URL() { return GetStringVariable(rvURL); }
  std::string Query() { return GetStringVariable(rvQuery); }
  std::string PathInfo() { return GetStringVariable(rvPathInfo); }
  std::string PathTranslated() { return GetStringVariable(rvPathTranslated); }
  std::string CacheControl() { return GetStringVariable(rvCacheControl); }
  TDateTime Date() { return GetDateVariable(rvDate); }
  std::string Accept() { return GetStringVariable(rvAccept); }
  std::string From() { return GetStringVariable(rvFrom); }
  std::string Host() { return GetStringVariable(rvHost); }
  TDateTime IfModifiedSince() { return GetDateVariable(rvIfModifiedSince); }
  std::string Referer() { return GetStringVariable(rvReferer); }
  std::string UserAgent() { return GetStringVariable(rvUserAgent); }
  std::string ContentEncoding() { return GetStringVariable(rvContentEncoding); }
  std::string ContentType() { return GetStringVariable(rvContentType); }
  std::int64_t ContentLength() { return GetIntegerVariable(rvContentLength); }
  std::string ContentVersion() { return GetStringVariable(rvContentVersion); }
  std::string DerivedFrom() { return GetStringVariable(rvDerivedFrom); }
  TDateTime Expires() { return GetDateVariable(rvExpires); }
  std::string Title() { return GetStringVariable(rvTitle); }
  std::string RemoteAddr() { return GetStringVariable(rvRemoteAddr); }
  std::string RemoteHost() { return GetStringVariable(rvRemoteHost); }
  std::string ScriptName() { return GetStringVariable(rvScriptName); }
  std::int64_t ServerPort() { return GetIntegerVariable(rvServerPort); }
  // The body bytes the server read before calling the extension.
  std::string Content() { return GetStringVariable(rvContent); }
  std::string Connection() { return GetStringVariable(rvConnection); }
  std::string Cookie() { return GetStringVariable(rvCookie); }
  std::string Authorization() { return GetStringVariable(rvAuthorization); }

  // --- Field lists, built on first use. A malformed percent escape fails with
  // EWebRequestError each time the list is asked for; nothing half-built is kept.
  const TStringList& QueryFields();
  const TStringList& ContentFields();
  const TStringList& CookieFields();
  // The names the rest of the service uses.
  const TStringList& UrlFields() { return QueryFields(); }
  const TStringList& BodyFields() { return ContentFields(); }
  const TStringList& CookieValues() { return CookieFields(); }
  // Files uploaded with a multipart body (empty for every other body).
  const std::vector<std::unique_ptr<THTTPFile>>& Files();

 protected:
  // The method kind is decided once, from the method variable; derived constructors call this
  // when their variables are readable.
  void InitMethodType();

 private:
  TContentParser& Parser();

  TMethodType methodType_ = TMethodType::mtAny;
  std::unique_ptr<TStringList> queryFields_;
  std::unique_ptr<TStringList> cookieFields_;
  std::unique_ptr<TContentParser> parser_;
};

}  // namespace qx
