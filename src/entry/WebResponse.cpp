// Variables, body and cookies of TWebResponse.
#include "entry/WebResponse.h"

#include <stdexcept>

#include "entry/ReasonTable.h"
#include "entry/UrlEncoding.h"
#include "runtime/HttpDate.h"

namespace qx {
namespace {

void CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("Response variable index out of range");
}

}  // namespace

std::string TCookie::HeaderValue() const {
  std::string out = HTTPEncode(Name) + "=" + HTTPEncode(Value) + "; ";
  if (!Domain.empty()) out += "domain=" + Domain + "; ";
  if (!Path.empty()) out += "path=" + Path + "; ";
  if (Expires > -1) out += "expires=" + HttpDateFixed(Expires) + "; ";
  if (Secure) out += "secure";
  if (out.size() >= 2 && out.compare(out.size() - 2, 2, "; ") == 0) out.resize(out.size() - 2);
  return out;
}

TWebResponse::TWebResponse(TWebRequest& request) : request_(request) { SetStatusCode(200); }

TWebResponse::~TWebResponse() = default;

std::string TWebResponse::GetStringVariable(int index) const {
  return index >= 0 && index < rsCount ? strings_[index] : std::string();
}

void TWebResponse::SetStringVariable(int index, std::string value) {
  CheckIndex(index, rsCount);
  strings_[index] = std::move(value);
}

TDateTime TWebResponse::GetDateVariable(int index) const {
  return index >= 0 && index < rdCount ? dates_[index] : -1.0;
}

void TWebResponse::SetDateVariable(int index, TDateTime value) {
  CheckIndex(index, rdCount);
  dates_[index] = value;
}

std::int64_t TWebResponse::GetIntegerVariable(int index) const {
  return index == riContentLength ? contentLength_ : -1;
}

void TWebResponse::SetIntegerVariable(int index, std::int64_t value) {
  CheckIndex(index, riCount);
  contentLength_ = value;
}

void TWebResponse::SetStatusCode(int code) {
  statusCode_ = code;
  strings_[rsReasonString] = StatusString(code);
}

void TWebResponse::SetContent(TPageText text) {
  content_ = std::move(text);
  if (!contentStream_) contentLength_ = static_cast<std::int64_t>(content_.Size());
}

void TWebResponse::SetContentStream(std::unique_ptr<TStream> stream) {
  contentStream_ = std::move(stream);
  contentLength_ = contentStream_ ? contentStream_->Size()
                                  : static_cast<std::int64_t>(content_.Size());
}

}  // namespace qx
