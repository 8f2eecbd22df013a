// Splitting of query strings, plain bodies and cookie headers into name=value lines, with the
// quoting rules browsers and old clients rely on, followed by percent-decoding of each item.
#pragma once

#include <string_view>

#include "runtime/StringList.h"

namespace qx {

// Splits `text` on any character of `separators` (CR and LF always end an item too), skipping
// CR, LF and the characters of `skipBefore` in front of each item. A double quote opens a
// stretch in which separators do not split, up to the next double quote; a quote that starts
// an item is dropped together with its closing quote, quotes inside an item stay. Two
// separators in a row give an empty line; the end of the text ends the last item. Each item is
// percent-decoded (HTTPDecode) and added to `lines`; a bad escape fails with EWebRequestError.
void ExtractFields(std::string_view text, std::string_view separators,
                   std::string_view skipBefore, TStringList& lines);

}  // namespace qx
