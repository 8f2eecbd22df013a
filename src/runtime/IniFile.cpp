// INI settings files read whole into memory and written back line by line.
#include "runtime/IniFile.h"

#include <fstream>
#include <iterator>

#include "runtime/Exceptions.h"
#include "runtime/StringList.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

// The section named by a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = TrimView(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimView(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = TrimView(line);
  return line.empty() || line[0] == ';' || line[0] == '#';
}

// Key and raw value of a "key=value" line.
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
  if (IsComment(line)) return false;
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimView(line.substr(0, eq));
  value = TrimView(line.substr(eq + 1));
  return true;
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TStringList list;
  list.SetText(text);
  lines_ = list.Lines();
}

std::optional<std::string> TIniFile::Find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const std::string& line : lines_) {
    if (auto name = SectionOf(line)) {
      inSection = SameText(*name, section);
      continue;
    }
    std::string_view k, v;
    if (inSection && SplitEntry(line, k, v) && SameText(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return std::string(v);
    }
  }
  return std::nullopt;
}

bool TIniFile::SectionExists(std::string_view section) const {
  for (const std::string& line : lines_)
    if (auto name = SectionOf(line); name && SameText(*name, section)) return true;
  return false;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  auto v = Find(section, key);
  return v ? *v : std::string(fallback);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  auto v = Find(section, key);
  return v ? StrToIntDef(*v, fallback) : fallback;
}

void TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::size_t sectionEnd = lines_.size();  // where a new key of the section goes
  bool sectionFound = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionOf(lines_[i])) {
      if (inSection) {
        sectionEnd = i;
        break;
      }
      inSection = SameText(*name, section);
      sectionFound = sectionFound || inSection;
      continue;
    }
    std::string_view k, v;
    if (inSection && SplitEntry(lines_[i], k, v) && SameText(k, key)) {
      lines_[i] = entry;
      Save();
      return;
    }
  }
  if (!sectionFound) {
    // Built by appending: g++ 12 at -O3 warns wrongly (-Wrestrict) on "[" + string + "]".
    std::string header = "[";
    header += section;
    header += ']';
    lines_.push_back(std::move(header));
    lines_.push_back(entry);
  } else {
    // Keep the new key before any blank lines that close the section.
    while (sectionEnd > 0 && TrimView(lines_[sectionEnd - 1]).empty()) --sectionEnd;
    lines_.insert(lines_.begin() + static_cast<long>(sectionEnd), entry);
  }
  Save();
}

void TIniFile::Save() const {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines_) out << line << "\r\n";
  out.flush();
  if (!out) throw EInOutError("Unable to write to " + path_);
}

}  // namespace qx
