// TField: declared-type mapping, typed reads with their conversions, display texts and writes.
#include "data/Field.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "data/DataErrors.h"
#include "data/DataSet.h"
#include "runtime/Format.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

constexpr const char* kMsgIntegerRange = "%s is not within the range of an integer";
constexpr const char* kMsgNotFloat = "'%s' is not a valid floating point value";
constexpr const char* kMsgNotDateTime = "'%s' is not a valid date and time";
constexpr const char* kMsgNotBoolean = "'%s' is not a valid boolean value";
constexpr const char* kMsgNoDataSet = "Field '%s' belongs to no dataset";

constexpr const char* kDefaultDisplayValues = "True;False";
constexpr const char* kTimeFormat = "hh:nn:ss";

struct TypeName {
  std::string_view name;
  TFieldType type;
};
// Declared type names, upper case, without their size.
constexpr TypeName kTypeNames[] = {
    {"INTEGER", ftInteger},   {"INT", ftInteger},        {"LONG", ftInteger},
    {"MEDIUMINT", ftInteger}, {"SMALLINT", ftSmallint},  {"SHORT", ftSmallint},
    {"TINYINT", ftSmallint},  {"BYTE", ftSmallint},      {"BIGINT", ftLargeint},
    {"BIT", ftBoolean},       {"BOOLEAN", ftBoolean},    {"BOOL", ftBoolean},
    {"YESNO", ftBoolean},     {"LOGICAL", ftBoolean},    {"VARCHAR", ftString},
    {"NVARCHAR", ftString},   {"CHAR", ftString},        {"NCHAR", ftString},
    {"CHARACTER", ftString},  {"STRING", ftString},      {"TEXT", ftMemo},
    {"MEMO", ftMemo},         {"LONGTEXT", ftMemo},      {"NTEXT", ftMemo},
    {"CLOB", ftMemo},         {"DATETIME", ftDateTime},  {"DATE", ftDateTime},
    {"TIME", ftDateTime},     {"TIMESTAMP", ftDateTime}, {"REAL", ftFloat},
    {"FLOAT", ftFloat},       {"DOUBLE", ftFloat},       {"DOUBLE PRECISION", ftFloat},
    {"NUMERIC", ftFloat},     {"DECIMAL", ftFloat},      {"CURRENCY", ftFloat},
    {"MONEY", ftFloat},       {"BLOB", ftBlob},          {"LONGBINARY", ftBlob},
    {"BINARY", ftBlob},       {"VARBINARY", ftBlob},     {"IMAGE", ftGraphic},
    {"GRAPHIC", ftGraphic},
};

std::optional<double> ParseFloat(std::string_view text) {
  std::string s = Trim(text);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<bool> ParseBoolean(std::string_view text) {
  std::string_view s = TrimView(text);
  if (auto n = ParseFloat(s)) return *n != 0;
  for (std::string_view t : {"True", "Yes", "T", "Y"})
    if (SameText(s, t)) return true;
  for (std::string_view f : {"False", "No", "F", "N", ""})
    if (SameText(s, f)) return false;
  return std::nullopt;
}

}  // namespace

const TEnumInfo& EnumInfoOf(TFieldType) {
  static const TEnumInfo info("TFieldType",
                              {QX_ENUM(ftUnknown), QX_ENUM(ftString), QX_ENUM(ftSmallint),
                               QX_ENUM(ftInteger), QX_ENUM(ftLargeint), QX_ENUM(ftBoolean),
                               QX_ENUM(ftFloat), QX_ENUM(ftDateTime), QX_ENUM(ftMemo),
                               QX_ENUM(ftBlob), QX_ENUM(ftGraphic)});
  return info;
}

const TEnumInfo& EnumInfoOf(TFieldKind) {
  static const TEnumInfo info("TFieldKind", {QX_ENUM(fkData), QX_ENUM(fkCalculated)});
  return info;
}

FieldTypeInfo FieldTypeFromDeclaration(std::string_view declaredType) {
  std::string upper = UpperCase(Trim(declaredType));
  std::size_t paren = upper.find('(');
  std::string base = Trim(std::string_view(upper).substr(0, paren));
  FieldTypeInfo info;
  if (paren != std::string::npos) {
    std::size_t end = upper.find_first_of(",)", paren);
    info.size = StrToIntDef(upper.substr(paren + 1, end - paren - 1), 0);
  }
  for (const TypeName& t : kTypeNames) {
    if (t.name != base) continue;
    info.type = t.type;
    // A text type with a size is a bounded string; without one, long text.
    if (info.type == ftMemo && info.size > 0) info.type = ftString;
    if (info.type != ftString) info.size = 0;
    return info;
  }
  return {};
}

std::string DateTimeToStr(TDateTime value) {
  double days = std::trunc(value);
  bool hasTime = value != days;
  if (days == 0 && hasTime) return FormatDateTime(kTimeFormat, value);
  if (!hasTime) return FormatDateTime(kShortDateFormat, value);
  return FormatDateTime(std::string(kShortDateFormat) + " " + kTimeFormat, value);
}

TField::TField(std::string name, TFieldType type, int size, TFieldKind kind)
    : name_(std::move(name)), type_(type), size_(size), kind_(kind) {
  if (type_ == ftBoolean) displayValues_ = kDefaultDisplayValues;
}

const Variant& TField::Value() const {
  if (!dataSet_) throw EDatabaseError(Format(kMsgNoDataSet, {name_}));
  return dataSet_->FieldValue(*this);
}

bool TField::IsNull() const { return Value().IsNull(); }

std::int64_t TField::AsLargeInt() const {
  const Variant& v = Value();
  switch (v.kind()) {
    case Variant::Kind::Null:
      return 0;
    case Variant::Kind::Integer:
      return v.integer();
    case Variant::Kind::Float: {
      // Rounds half to even (2.5 gives 2, 3.5 gives 4).
      double r = std::nearbyint(v.number());
      if (!(r >= -9.2e18 && r <= 9.2e18))
        throw EConvertError(Format(kMsgIntegerRange, {FloatToStr(v.number())}));
      return static_cast<std::int64_t>(r);
    }
    case Variant::Kind::Text:
    case Variant::Kind::Blob:
      if (auto n = TryStrToInt64(v.bytes())) return *n;
      throw EConvertError(Format(kInvalidInteger, {v.bytes()}));
  }
  return 0;
}

int TField::AsInteger() const {
  std::int64_t v = AsLargeInt();
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    throw EConvertError(Format(kMsgIntegerRange, {IntToStr(v)}));
  return static_cast<int>(v);
}

double TField::AsFloat() const {
  const Variant& v = Value();
  if (v.IsNull()) return 0;
  if (v.IsNumber()) return v.number();
  if (auto n = ParseFloat(v.bytes())) return *n;
  throw EConvertError(Format(kMsgNotFloat, {v.bytes()}));
}

TDateTime TField::AsDateTime() const {
  const Variant& v = Value();
  if (v.IsNull()) return 0;
  if (v.IsNumber()) return v.number();
  if (auto n = ParseFloat(v.bytes())) return *n;
  throw EConvertError(Format(kMsgNotDateTime, {v.bytes()}));
}

bool TField::AsBoolean() const {
  const Variant& v = Value();
  if (v.IsNull()) return false;
  if (v.IsNumber()) return v.number() != 0;
  if (auto b = ParseBoolean(v.bytes())) return *b;
  throw EConvertError(Format(kMsgNotBoolean, {v.bytes()}));
}

std::string TField::AsString() const {
  const Variant& v = Value();
  switch (v.kind()) {
    case Variant::Kind::Null:
      return std::string();
    case Variant::Kind::Text:
    case Variant::Kind::Blob:
      return v.bytes();
    case Variant::Kind::Integer:
    case Variant::Kind::Float:
      if (type_ == ftBoolean) return v.number() != 0 ? "True" : "False";
      if (type_ == ftDateTime) return DateTimeToStr(v.number());
      return v.kind() == Variant::Kind::Integer ? IntToStr(v.integer()) : FloatToStr(v.number());
  }
  return std::string();
}

void TField::SaveToStream(TStream& stream) const {
  std::string bytes = AsBytes();
  stream.Write(bytes.data(), bytes.size());
}

std::string_view TField::BooleanText() const {
  const std::string_view values = displayValues_;
  const std::size_t semi = values.find(';');
  if (AsBoolean()) return values.substr(0, semi);
  return semi == std::string_view::npos ? std::string_view() : values.substr(semi + 1);
}

std::string TField::TextOf(bool display) const {
  if (IsNull()) return std::string();
  switch (type_) {
    case ftBoolean:
      return std::string(BooleanText());
    case ftDateTime:
      if (display && !displayFormat_.empty()) return FormatDateTime(displayFormat_, AsDateTime());
      return DateTimeToStr(AsDateTime());
    case ftBlob:
      return "(BLOB)";
    case ftGraphic:
      return "(GRAPHIC)";
    default:
      return AsString();
  }
}

std::string TField::DisplayText() const { return TextOf(true); }

std::string_view TField::DisplayText(std::string& buffer) const {
  const Variant& v = Value();
  const bool asString = type_ != ftBoolean && type_ != ftDateTime && type_ != ftBlob && type_ != ftGraphic;
  if (asString && (v.kind() == Variant::Kind::Text || v.kind() == Variant::Kind::Blob)) return v.bytes();
  if (type_ == ftBoolean && !v.IsNull()) return BooleanText();
  if (asString && v.kind() == Variant::Kind::Integer) {
    buffer.resize(24);
    buffer.resize(static_cast<std::size_t>(std::to_chars(buffer.data(), buffer.data() + buffer.size(), v.integer()).ptr - buffer.data()));
    return buffer;
  }
  buffer = TextOf(true);
  return buffer;
}
std::string TField::Text() const { return TextOf(false); }

Variant TField::Coerce(const Variant& value) const {
  if (value.IsNull()) return value;
  bool text = value.kind() == Variant::Kind::Text || value.kind() == Variant::Kind::Blob;
  switch (type_) {
    case ftString:
    case ftMemo:
      if (text) return Variant(value.bytes());
      return Variant(value.kind() == Variant::Kind::Integer ? IntToStr(value.integer())
                                                            : FloatToStr(value.number()));
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
      if (value.kind() == Variant::Kind::Integer) return value;
      if (!text) return Variant(static_cast<std::int64_t>(std::nearbyint(value.number())));
      if (auto n = TryStrToInt64(value.bytes())) return Variant(*n);
      throw EConvertError(Format(kInvalidInteger, {value.bytes()}));
    case ftBoolean:
      if (!text) return Variant(value.number() != 0);
      if (auto b = ParseBoolean(value.bytes())) return Variant(*b);
      throw EConvertError(Format(kMsgNotBoolean, {value.bytes()}));
    case ftFloat:
    case ftDateTime:
      if (!text) return Variant(value.number());
      if (auto n = ParseFloat(value.bytes())) return Variant(*n);
      throw EConvertError(
          Format(type_ == ftFloat ? kMsgNotFloat : kMsgNotDateTime, {value.bytes()}));
    case ftBlob:
    case ftGraphic:
      if (text) return Variant::Blob(value.bytes());
      return Variant::Blob(value.kind() == Variant::Kind::Integer ? IntToStr(value.integer())
                                                                  : FloatToStr(value.number()));
    case ftUnknown:
      return value;
  }
  return value;
}

void TField::SetValue(const Variant& value) {
  if (!dataSet_) throw EDatabaseError(Format(kMsgNoDataSet, {name_}));
  dataSet_->SetFieldValue(*this, Coerce(value));
}

}  // namespace qx
