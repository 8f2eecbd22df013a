// Mail header lines: an ordered list of "Name: value" lines with folded continuation lines,
// and the folding of one long header line at 78 columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx {

inline constexpr std::size_t kHeaderFoldColumn = 78;

// Breaks a header line after a space, tab or comma once it passes `maxColumn` (never inside
// a quoted stretch) and returns the physical lines; continuation lines begin with one space.
// A line without a usable break stays long.
std::vector<std::string> FoldHeaderLine(std::string_view line,
                                        std::size_t maxColumn = kHeaderFoldColumn);

class TIdHeaderList {
 public:
  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  bool Empty() const noexcept { return lines_.empty(); }
  const std::string& operator[](int i) const { return lines_.at(static_cast<std::size_t>(i)); }
  const std::vector<std::string>& Lines() const noexcept { return lines_; }
  auto begin() const noexcept { return lines_.begin(); }
  auto end() const noexcept { return lines_.end(); }

  void Clear() noexcept { lines_.clear(); }
  // Appends one physical line as it is.
  void Add(std::string line) { lines_.push_back(std::move(line)); }

  // Index of the line that starts the header `name` (compared without regard to case), or -1.
  int FindHeader(std::string_view name) const noexcept;
  // The header's value with its continuation lines joined by single spaces; empty if absent.
  std::string HeaderValue(std::string_view name) const;
  // Sets the header in place (appended when absent), folded; an empty value removes it.
  // A line break in the value that does not start a continuation line becomes a space, so
  // a value can never add a header line of its own or end the message.
  void PutHeader(std::string_view name, std::string_view value);

 private:
  // Number of continuation lines that follow the line at `index`.
  int ContinuationCount(int index) const noexcept;
  std::vector<std::string> lines_;
};

}  // namespace qx
