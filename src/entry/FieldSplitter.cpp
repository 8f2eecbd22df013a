// The item splitter shared by UrlFields, the plain body parser and CookieValues.
#include "entry/FieldSplitter.h"

#include <string>

#include "entry/UrlEncoding.h"

namespace qx {

void ExtractFields(std::string_view text, std::string_view separators,
                   std::string_view skipBefore, TStringList& lines) {
  auto isSeparator = [&](char c) {
    return c == '\r' || c == '\n' || separators.find(c) != std::string_view::npos;
  };
  auto isSkipped = [&](char c) {
    return c == '\r' || c == '\n' || skipBefore.find(c) != std::string_view::npos;
  };

  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && isSkipped(text[i])) ++i;
    if (i == n) break;  // only line ends or blanks were left: no further item

    std::string item;
    bool leadingQuote = text[i] == '"';
    if (leadingQuote) ++i;
    bool inQuote = leadingQuote;
    for (; i < n; ++i) {
      char c = text[i];
      if (c == '"') {
        inQuote = !inQuote;
        // The quotes of a leading quoted stretch are dropped; later quotes stay in the item.
        if (leadingQuote) {
          leadingQuote = false;
          continue;
        }
      } else if (!inQuote && isSeparator(c)) {
        break;
      }
      item += c;
    }
    lines.Add(HTTPDecode(item));
    ++i;  // past the separator that ended the item (or past the end)
  }
}

}  // namespace qx
