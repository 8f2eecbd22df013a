// Typed request variables and the lazily built field lists of TWebRequest.
#include "entry/WebRequest.h"

#include <charconv>

#include "entry/ContentParser.h"
#include "entry/FieldSplitter.h"
#include "entry/HTTPFile.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/HttpDate.h"
#include "runtime/Strings.h"

namespace qx {

TWebRequest::TWebRequest() = default;
TWebRequest::~TWebRequest() = default;

std::int64_t TWebRequest::GetIntegerVariable(int index) {
  std::string text = GetStringVariable(index);
  if (text.empty()) return -1;
  std::string_view digits = TrimView(text);
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    throw EConvertError(Format(kInvalidInteger, {text}));
  return value;
}

TDateTime TWebRequest::GetDateVariable(int index) {
  std::string text = GetStringVariable(index);
  if (text.empty()) return -1.0;
  // A date a client got wrong counts as no date, as HTTP asks of a server.
  return ParseHttpDate(text).value_or(-1.0);
}

void TWebRequest::InitMethodType() {
  std::string method = GetStringVariable(rvMethod);
  if (SameText(method, "GET")) methodType_ = TMethodType::mtGet;
  else if (SameText(method, "PUT")) methodType_ = TMethodType::mtPut;
  else if (SameText(method, "POST")) methodType_ = TMethodType::mtPost;
  else if (SameText(method, "HEAD")) methodType_ = TMethodType::mtHead;
  else methodType_ = TMethodType::mtAny;
}

TMethodType TWebRequest::MethodType() { return methodType_; }

const TStringList& TWebRequest::QueryFields() {
  if (!queryFields_) {
    auto fields = std::make_unique<TStringList>();
    ExtractFields(Query(), "&", "", *fields);
    queryFields_ = std::move(fields);
  }
  return *queryFields_;
}

const TStringList& TWebRequest::CookieFields() {
  if (!cookieFields_) {
    auto fields = std::make_unique<TStringList>();
    ExtractFields(Cookie(), ";,", " ", *fields);
    cookieFields_ = std::move(fields);
  }
  return *cookieFields_;
}

TContentParser& TWebRequest::Parser() {
  if (!parser_) parser_ = CreateContentParser(*this);
  return *parser_;
}

const TStringList& TWebRequest::ContentFields() { return Parser().ContentFields(); }

const std::vector<std::unique_ptr<THTTPFile>>& TWebRequest::Files() { return Parser().Files(); }

}  // namespace qx
