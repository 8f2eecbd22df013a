// Named parameters: finding the ":name" markers of a statement text, and the parameter list
// of datasets and commands (names matched without regard to letter case).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Engine.h"
#include "data/Variant.h"

namespace qx {

// A statement text with its ":name" markers found. Markers inside quoted texts, quoted or
// bracketed names and comments are not markers.
struct ParsedStatement {
  // The text with every marker replaced by a positional '?'.
  std::string text;
  // Distinct names in the order of their first appearance (compared without regard to case).
  std::vector<std::string> names;
  // For each '?' of `text` in order, the index of its name in `names`: a name used twice
  // receives the same value twice.
  std::vector<int> markers;
};

ParsedStatement ParseParameters(std::string_view text);

class TParameter {
 public:
  explicit TParameter(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const noexcept { return name_; }
  const Variant& Value() const noexcept { return value_; }
  // Text values are the service's Windows-1252; booleans go as 1/0, date-times as serials.
  void SetValue(Variant value) {
    value_ = std::move(value);
    assigned_ = true;
  }
  // Whether a value (null included) was given since the parameter appeared.
  bool Assigned() const noexcept { return assigned_; }

 private:
  std::string name_;
  Variant value_;
  bool assigned_ = false;
};

class TParameters {
 public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // By position, in the order of first appearance in the statement; EDatabaseError when out
  // of range.
  TParameter& operator[](int index);
  const TParameter& operator[](int index) const;
  // EDatabaseError "Parameter '<name>' not found" when absent.
  TParameter& ParamByName(std::string_view name);
  TParameter* FindParam(std::string_view name) noexcept;

  // Takes the names of a parsed statement; parameters whose names remain keep their values.
  void Assign(const std::vector<std::string>& names);
  void Clear() noexcept { items_.clear(); }

 private:
  std::vector<TParameter> items_;
};

// The value as the engine takes it (text to UTF-8), and an engine value made the value the
// service reads, in place (text to Windows-1252; characters Windows-1252 lacks become '?').
Variant ToEngineValue(const Variant& serviceValue);
void ToServiceValue(Variant& engineValue);

// Gives every marker of a compiled statement its parameter's value. A parameter without a
// value takes what `fallback` finds for its name (a master dataset's field); when neither has
// one, EADOError "No value given for parameter '<name>'".
using ParameterFallback = std::function<std::optional<Variant>(std::string_view name)>;
void BindParameters(DbStatement& statement, const ParsedStatement& parsed,
                    const TParameters& params, const ParameterFallback& fallback = {});

}  // namespace qx
