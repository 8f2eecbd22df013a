// TStringList: an ordered list of text lines, most often name=value pairs (posted fields,
// extra headers, settings). Names are compared without regard to letter case.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TStringList {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> lines) : lines_(lines) {}
  // Same lines in the same order, letter case included.
  bool operator==(const TStringList&) const = default;

  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  bool Empty() const noexcept { return lines_.empty(); }
  const std::string& operator[](int i) const { return lines_.at(static_cast<std::size_t>(i)); }
  std::string& operator[](int i) { return lines_.at(static_cast<std::size_t>(i)); }
  const std::vector<std::string>& Lines() const noexcept { return lines_; }
  auto begin() const noexcept { return lines_.begin(); }
  auto end() const noexcept { return lines_.end(); }

  int Add(std::string line);
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear() noexcept { lines_.clear(); }
  void Append(const TStringList& other);

  // Index of the whole line, without regard to case; -1 when absent.
  int IndexOf(std::string_view line) const noexcept;
  // Index of the first line whose name (text before the first '=') equals `name`; -1 if none.
  int IndexOfName(std::string_view name) const noexcept;
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  // Value of the first line named `name`; empty when absent.
  std::string Values(std::string_view name) const;
  // Sets the first line named `name`, adds one when absent; an empty value deletes the line.
  void SetValue(std::string_view name, std::string_view value);

  // Every line followed by CR LF.
  std::string Text() const;
  // Splits on CR LF, CR or LF; a final line break adds no empty line.
  void SetText(std::string_view text);

 private:
  std::vector<std::string> lines_;
};

}  // namespace qx
