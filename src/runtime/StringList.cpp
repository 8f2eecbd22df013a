// TStringList: ordered text lines with name=value access.
#include "runtime/StringList.h"

#include <algorithm>
#include <cstring>
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
  // Each line ends at CR LF, CR or LF; the ends are found by memchr, which reads in blocks.
  const char* const end = text.data() + text.size();
  const char* start = text.data();
  const char* cr = static_cast<const char*>(std::memchr(start, '\r', text.size()));
  const char* lf = static_cast<const char*>(std::memchr(start, '\n', text.size()));
  while (cr || lf) {
    const char* at = !cr ? lf : !lf ? cr : std::min(cr, lf);
    lines_.emplace_back(start, static_cast<std::size_t>(at - start));
    start = at + (at == cr && at + 1 == lf ? 2 : 1);
    if (cr && cr < start) cr = static_cast<const char*>(std::memchr(start, '\r', static_cast<std::size_t>(end - start)));
    if (lf && lf < start) lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
  }
  if (start < end) lines_.emplace_back(start, static_cast<std::size_t>(end - start));
}

}  // namespace qx
