// Header lines of a mail: lookup by name, replacement in place and folding of long lines.
// Folded lines keep their order; a continuation line always begins with a space or a tab.
#include "mail/HeaderList.h"

#include "runtime/Strings.h"

namespace qx {

namespace {

bool IsBreakChar(char c) { return c == ' ' || c == '\t' || c == ','; }
bool IsContinuation(std::string_view line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

std::string TrimTrailing(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(0, e));
}

// Keeps CR LF only where it starts a continuation line; any other CR or LF becomes a space.
std::string NeutraliseLineBreaks(std::string_view v) {
  std::string out;
  out.reserve(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    char c = v[i];
    if (c == '\r' && i + 2 < v.size() && v[i + 1] == '\n' && (v[i + 2] == ' ' || v[i + 2] == '\t')) {
      out += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> FoldHeaderLine(std::string_view line, std::size_t maxColumn) {
  constexpr std::size_t npos = std::string_view::npos;
  std::string folded;
  folded.reserve(line.size() + 16);
  std::size_t n = line.size();
  std::size_t lineStart = 0;    // where the current physical line begins
  std::size_t lastBreak = npos;  // last break character after that beginning, outside quotes
  bool quoted = false;
  std::size_t i = 0;
  while (i < n) {
    if (line.compare(i, 3, "\r\n ") == 0) {  // an existing fold ends the physical line
      folded.append(line.substr(lineStart, i + 2 - lineStart));
      lineStart = i + 2;
      lastBreak = npos;
      i += 2;
      continue;
    }
    // Past the limit, break at the last break character before this one.
    if (i - lineStart + 1 > maxColumn && !quoted && lastBreak != npos) {
      folded.append(line.substr(lineStart, lastBreak + 1 - lineStart));
      std::size_t next = lastBreak + 1;
      while (next < n && (IsBreakChar(line[next]) || line[next] == '\r' || line[next] == '\n'))
        ++next;
      if (n - next > 1) folded += "\r\n ";
      // The break was outside quotes and only break characters were skipped since.
      lineStart = next;
      lastBreak = npos;
      quoted = false;
      i = next;
      continue;
    }
    char c = line[i];
    if (c == '"') quoted = !quoted;
    else if (!quoted && IsBreakChar(c) && i > lineStart) lastBreak = i;
    ++i;
  }
  folded.append(line.substr(lineStart));

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t crlf = folded.find("\r\n", start);
    std::string physical =
        TrimTrailing(std::string_view(folded).substr(start, crlf == npos ? npos : crlf - start));
    // A blank continuation line would end the header block early: leave it out.
    if (lines.empty() || !TrimView(physical).empty()) lines.push_back(std::move(physical));
    if (crlf == npos) break;
    start = crlf + 2;
  }
  return lines;
}

int TIdHeaderList::FindHeader(std::string_view name) const noexcept {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view line = lines_[i];
    if (IsContinuation(line)) continue;
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && SameText(TrimView(line.substr(0, colon)), name))
      return static_cast<int>(i);
  }
  return -1;
}

int TIdHeaderList::ContinuationCount(int index) const noexcept {
  int count = 0;
  for (std::size_t i = static_cast<std::size_t>(index) + 1;
       i < lines_.size() && IsContinuation(lines_[i]); ++i)
    ++count;
  return count;
}

std::string TIdHeaderList::HeaderValue(std::string_view name) const {
  int index = FindHeader(name);
  if (index < 0) return {};
  std::string_view first = lines_[static_cast<std::size_t>(index)];
  std::string value = Trim(first.substr(first.find(':') + 1));
  int continuation = ContinuationCount(index);
  for (int k = 1; k <= continuation; ++k) {
    value += ' ';
    value += Trim(lines_[static_cast<std::size_t>(index + k)]);
  }
  return Trim(value);
}

void TIdHeaderList::PutHeader(std::string_view name, std::string_view value) {
  int index = FindHeader(name);
  if (index >= 0) {
    auto first = lines_.begin() + index;
    lines_.erase(first, first + 1 + ContinuationCount(index));
  }
  if (value.empty()) return;
  std::string line;
  line.reserve(name.size() + 2 + value.size());
  line.append(name).append(": ").append(NeutraliseLineBreaks(value));
  std::vector<std::string> physical = FoldHeaderLine(line);
  auto at = index >= 0 ? lines_.begin() + index : lines_.end();
  lines_.insert(at, std::make_move_iterator(physical.begin()),
                std::make_move_iterator(physical.end()));
}

}  // namespace qx
