// Percent-encoding of request fields and cookies: decoding of query, body and cookie items,
// and the encoding used for cookie names and values in replies.
#pragma once

#include <string>
#include <string_view>

namespace qx {

extern const char* const kErrorDecodingUrlText;   // Format: position
extern const char* const kInvalidUrlEncodedChar;  // Format: escape, position

// "%%" gives "%", "%" and two hexadecimal digits give that byte, "+" gives a blank. A percent
// sign with fewer than two characters after it, or followed by two characters that are not
// both hexadecimal digits, fails with EWebRequestError naming the 1-based position of the
// percent sign.
std::string HTTPDecode(std::string_view text);

// ASCII letters, digits and @ ! $ ' ( ) * - . _ stay; a blank becomes "+"; every other byte
// becomes "%" and two lower-case hexadecimal digits.
std::string HTTPEncode(std::string_view text);

}  // namespace qx
