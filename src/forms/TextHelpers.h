// Text helpers every control shares: colours as page text, escaping for markup and for
// quoted script strings.
#pragma once

#include <string>
#include <string_view>

#include "runtime/Colors.h"

namespace qx {

// The colour value -1, written as "transparent".
inline constexpr TColor clTransparent{-1};

// "transparent" for -1, empty for clNone (the caller then leaves the attribute or CSS property
// out), otherwise "#RRGGBB" with upper-case digits; system colours through the colour table.
std::string ColorText(TColor color);

// For markup text and attribute values: '"' → "&quot;", '\'' → "&#39;", '<' → "&lt;",
// '>' → "&gt;"; '&' stays as it is. With convertLineBreaks every LF becomes "<br>" and every
// CR is dropped; with convertSpaces every space becomes "&nbsp;".
std::string EscapeMarkup(std::string_view text, bool convertLineBreaks = false,
                         bool convertSpaces = false);
// The same appended to `out` (a string, or any buffer with append(const char*, size)), for
// markup written straight into a large buffer (grid rows).
template <class Out>
void AppendEscapedMarkup(Out& out, std::string_view text, bool convertLineBreaks = false,
                         bool convertSpaces = false) {
  // The runs between the characters that change are copied whole. Every such character sorts
  // before '?', so most characters are passed over with one comparison.
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) > '>') continue;
    std::string_view replacement;
    switch (text[i]) {
      case '"': replacement = "&quot;"; break;
      case '\'': replacement = "&#39;"; break;
      case '<': replacement = "&lt;"; break;
      case '>': replacement = "&gt;"; break;
      case '\n':
        if (!convertLineBreaks) continue;
        replacement = "<br>";
        break;
      case '\r':
        if (!convertLineBreaks) continue;
        break;  // dropped
      case ' ':
        if (!convertSpaces) continue;
        replacement = "&nbsp;";
        break;
      default: continue;
    }
    out.append(text.data() + run, i - run);
    out.append(replacement.data(), replacement.size());
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

// For a quoted script string: LF → "\n", CR dropped, and '"', '\'', '<', '>' and '\\' each
// preceded by a backslash; the "/" of "</" too, so the text never closes a script element.
std::string EscapeScript(std::string_view text);

// A hint or status text inside a single-quoted script argument or a title: every apostrophe
// becomes "&#39" (no semicolon, as the pages have always had it).
std::string EscapeApostrophes(std::string_view text);

}  // namespace qx
