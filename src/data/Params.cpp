// Named parameters: the marker scanner and the parameter list.
#include "data/Params.h"

#include "data/DataErrors.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgParamNotFound = "Parameter '%s' not found";
constexpr const char* kMsgParamIndex = "Parameter index %d out of range";
constexpr const char* kMsgNoValue = "No value given for parameter '%s'";
constexpr const char* kMsgStrayMarkers =
    "The statement holds %d parameter markers but names %d; use :name markers only";

bool NameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool NameChar(char c) { return NameStart(c) || (c >= '0' && c <= '9'); }

// Index just past a quoted run that starts at `i` and ends with `close` (a doubled closing
// character stays inside), or the end of the text when it never closes.
std::size_t SkipQuoted(std::string_view s, std::size_t i, char close) {
  for (++i; i < s.size(); ++i) {
    if (s[i] != close) continue;
    if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return s.size();
}

}  // namespace

ParsedStatement ParseParameters(std::string_view s) {
  ParsedStatement out;
  out.text.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    std::size_t next = i + 1;
    if (c == '\'' || c == '"' || c == '`') {
      next = SkipQuoted(s, i, c);
    } else if (c == '[') {
      next = SkipQuoted(s, i, ']');
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      next = s.find('\n', i);
      if (next == std::string_view::npos) next = s.size();
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      next = s.find("*/", i + 2);
      next = next == std::string_view::npos ? s.size() : next + 2;
    } else if (c == ':' && i + 1 < s.size() && NameStart(s[i + 1])) {
      std::size_t end = i + 1;
      while (end < s.size() && NameChar(s[end])) ++end;
      std::string_view name = s.substr(i + 1, end - i - 1);
      int index = -1;
      for (std::size_t k = 0; k < out.names.size(); ++k)
        if (SameText(out.names[k], name)) index = static_cast<int>(k);
      if (index < 0) {
        index = static_cast<int>(out.names.size());
        out.names.emplace_back(name);
      }
      out.markers.push_back(index);
      out.text += '?';
      i = end;
      continue;
    }
    out.text.append(s.substr(i, next - i));
    i = next;
  }
  return out;
}

TParameter& TParameters::operator[](int index) {
  if (index < 0 || index >= Count()) throw EDatabaseError(Format(kMsgParamIndex, {index}));
  return items_[static_cast<std::size_t>(index)];
}

const TParameter& TParameters::operator[](int index) const {
  return const_cast<TParameters&>(*this)[index];
}

TParameter& TParameters::ParamByName(std::string_view name) {
  if (TParameter* p = FindParam(name)) return *p;
  throw EDatabaseError(Format(kMsgParamNotFound, {name}));
}

TParameter* TParameters::FindParam(std::string_view name) noexcept {
  for (TParameter& p : items_)
    if (SameText(p.Name(), name)) return &p;
  return nullptr;
}

void TParameters::Assign(const std::vector<std::string>& names) {
  std::vector<TParameter> items;
  items.reserve(names.size());
  for (const std::string& name : names) {
    if (TParameter* old = FindParam(name))
      items.push_back(*old);
    else
      items.emplace_back(name);
  }
  items_ = std::move(items);
}

Variant ToEngineValue(const Variant& serviceValue) {
  if (serviceValue.kind() != Variant::Kind::Text) return serviceValue;
  return Variant(AnsiToUtf8(serviceValue.bytes()));
}

void ToServiceValue(Variant& engineValue) {
  // ASCII text reads the same in both code pages: the value stays as it is.
  if (engineValue.kind() != Variant::Kind::Text || IsAscii(engineValue.bytes())) return;
  engineValue = Variant(Utf8ToAnsi(engineValue.bytes()));
}

void BindParameters(DbStatement& statement, const ParsedStatement& parsed,
                    const TParameters& params, const ParameterFallback& fallback) {
  int expected = static_cast<int>(parsed.markers.size());
  if (statement.ParameterCount() != expected)
    throw EADOError(Format(kMsgStrayMarkers, {statement.ParameterCount(), expected}));
  for (int k = 0; k < expected; ++k) {
    const TParameter& p = params[parsed.markers[static_cast<std::size_t>(k)]];
    if (p.Assigned()) {
      statement.Bind(k, ToEngineValue(p.Value()));
      continue;
    }
    std::optional<Variant> value = fallback ? fallback(p.Name()) : std::nullopt;
    if (!value) throw EADOError(Format(kMsgNoValue, {p.Name()}));
    statement.Bind(k, ToEngineValue(*value));
  }
}

}  // namespace qx
