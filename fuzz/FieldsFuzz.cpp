// Fuzz target: the query, body and cookie field decoders, alone and through a request. Any
// input gives field lines or the decoders' own error; a body that fails to parse fails the
// same way on the next use and never yields half a list; decoding undoes encoding.
#include <cstdint>
#include <string>

#include "entry/EntryExceptions.h"
#include "entry/FieldSplitter.h"
#include "entry/ISAPIRequest.h"
#include "entry/UrlEncoding.h"
#include "support/InMemoryConnection.h"

using namespace qx;

namespace {

// The message of the failure `read` raises, or nothing when it succeeds.
template <class F>
std::optional<std::string> FailureOf(F&& read) {
  try {
    read();
  } catch (const EWebRequestError& e) {
    return e.Message();
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static test::InMemoryConnection connection;

  for (const char* separators : {"&", ";,"}) {
    TStringList lines;
    FailureOf([&] { ExtractFields(text, separators, separators[0] == ';' ? " " : "", lines); });
  }
  if (HTTPDecode(HTTPEncode(text)) != text) __builtin_trap();

  connection.SetMethod("POST").SetQueryString(text).SetHeader("Cookie", text);
  connection.SetContentType("application/x-www-form-urlencoded");
  connection.SetBody(text, size / 2, size / 3 + 1);
  TISAPIRequest request(*connection.Block());
  FailureOf([&] { request.UrlFields(); });
  FailureOf([&] { request.CookieValues(); });
  std::optional<std::string> first = FailureOf([&] { request.BodyFields(); });
  if (first && FailureOf([&] { request.BodyFields(); }) != first) __builtin_trap();
  return 0;
}
