// INI settings files: sections of key=value lines, names compared without regard to case.
// Writes go to the file at once and keep every other line as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TIniFile {
 public:
  // Reads the file if it exists; a missing file is an empty one.
  explicit TIniFile(std::string path);

  const std::string& FileName() const noexcept { return path_; }
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // The value with surrounding blanks and one pair of enclosing quotes removed; `fallback`
  // only when the key is missing (a key present with no value reads as empty).
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // A missing key, or a value that is not an integer, reads as `fallback`.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // Sets the key (adding the section or key when missing) and saves the file; fails with
  // EInOutError when the file cannot be written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  void Save() const;

  std::string path_;
  std::vector<std::string> lines_;  // the file's lines without line ends
};

}  // namespace qx
