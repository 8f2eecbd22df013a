// Header text encoding: the charset chosen from the host's language, encoded words (Q and B)
// for text that is not plain ASCII, and the header forms of address items and lists.
#pragma once

#include <string>
#include <string_view>

#include "mail/EmailAddress.h"

namespace qx {

struct THeaderCharset {
  std::string Charset;     // label written in encoded words, e.g. "ISO-8859-1"
  char Encoding = 'Q';     // 'Q' (quoted-printable words) or 'B' (base64 words)
};

// The charset for a locale name such as "es_ES.UTF-8", "zh_TW" or "ru_RU" (empty or "C":
// ISO-8859-1 with Q).
THeaderCharset HeaderCharsetForLocale(std::string_view localeName);
// The charset of this process's default locale (LC_ALL, else LC_CTYPE, else LANG).
THeaderCharset HeaderCharset();

inline bool IsJapaneseCharset(std::string_view charset) {
  return charset == "ISO-2022-JP";
}
// The service's Windows-1252 text in ISO-2022-JP; characters it cannot hold become "?".
std::string ConvertToISO2022JP(std::string_view text);

// Standard base64 with "=" padding and no line breaks.
std::string EncodeBase64(std::string_view bytes);

// Encodes the words of `text` that hold control characters, characters above 126 or one of
// `specials` as encoded words "=?charset?letter?...?=" of at most 75 characters; runs of such
// words share one encoded word, and other words stay as they are. With the ISO-2022-JP
// charset the text is converted first.
std::string EncodeHeaderText(std::string_view text, std::string_view specials, char letter,
                             std::string_view charset);
inline std::string EncodeHeaderText(std::string_view text, std::string_view specials,
                                    const THeaderCharset& cs) {
  return EncodeHeaderText(text, specials, cs.Encoding, cs.Charset);
}

// "name <address>" with the name quoted or encoded, or the bare address when there is no
// name. With `nameFromAddress` an item without a name first takes its address as its name.
std::string EncodeAddressItem(TIdEMailAddressItem& item, bool nameFromAddress,
                              const THeaderCharset& cs);
// Every item through EncodeAddressItem, joined with ", ".
std::string EncodeAddressList(TIdEMailAddressList& list, bool nameFromAddress,
                              const THeaderCharset& cs);

}  // namespace qx
