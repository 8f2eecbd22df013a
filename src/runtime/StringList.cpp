// TStringList: ordered text lines with name=value access.
#include "runtime/StringList.h"

#include <stdexcept>

#include "runtime/Strings.h"

namespace qx {

int TStringList::Add(std::string line) {
  lines_.push_back(std::move(line));
  return Count() - 1;
}

void TStringList::Insert(int index, std::string line) {
  if (index < 0 || index > Count()) throw std::out_of_range("List index out of bounds");
  lines_.insert(lines_.begin() + index, std::move(line));
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  lines_.erase(lines_.begin() + index);
}

void TStringList::Append(const TStringList& other) {
  lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
}

int TStringList::IndexOf(std::string_view line) const noexcept {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (SameText(lines_[i], line)) return static_cast<int>(i);
  return -1;
}

int TStringList::IndexOfName(std::string_view name) const noexcept {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view line = lines_[i];
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && SameText(line.substr(0, eq), name))
      return static_cast<int>(i);
  }
  return -1;
}

std::string TStringList::Names(int index) const {
  const std::string& line = (*this)[index];
  std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& line = (*this)[index];
  std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStringList::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append("=").append(value);
  if (i >= 0) lines_[static_cast<std::size_t>(i)] = std::move(line);
  else lines_.push_back(std::move(line));
}

std::string TStringList::Text() const {
  std::size_t size = 0;
  for (const auto& l : lines_) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& l : lines_) out.append(l).append("\r\n");
  return out;
}

void TStringList::SetText(std::string_view text) {
  lines_.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines_.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines_.emplace_back(text.substr(start));
}

}  // namespace qx
