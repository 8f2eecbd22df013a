// Connection strings: "Key=Value;" items such as
// "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/path/Requests.mdb;".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx {

class ConnectionString {
 public:
  // Items are separated by ';'; a value may be enclosed in double or single quotes (doubling
  // the quote inside) to hold a ';'. Blanks around keys and unquoted values are dropped.
  // Fails with EADOError for an item without '=' or an unterminated quote.
  static ConnectionString Parse(std::string_view text);

  // The value of an item, the key compared without regard to letter case; empty when absent.
  std::string Value(std::string_view key) const;
  bool Has(std::string_view key) const;

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

}  // namespace qx
