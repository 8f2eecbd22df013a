// Parsing of SMTP reply lines into code, text and enhanced status code.
// The lines arrive already split by the transport; this file only interprets them.
#include "mail/SMTPReply.h"

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int ToInt(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

bool TIdSMTPEnhancedCode::TryParse(std::string_view word, TIdSMTPEnhancedCode& code) {
  std::size_t dot1 = word.find('.');
  if (dot1 == std::string_view::npos) return false;
  std::size_t dot2 = word.find('.', dot1 + 1);
  if (dot2 == std::string_view::npos) return false;
  std::string_view cls = word.substr(0, dot1);
  std::string_view subject = word.substr(dot1 + 1, dot2 - dot1 - 1);
  std::string_view detail = word.substr(dot2 + 1);
  if (cls.size() != 1 || (cls[0] != '2' && cls[0] != '4' && cls[0] != '5')) return false;
  // Numbers of at most nine digits: a longer one is no status code and would overflow.
  if (!AllDigits(subject) || !AllDigits(detail) || subject.size() > 9 || detail.size() > 9)
    return false;
  code = {true, cls[0] - '0', ToInt(subject), ToInt(detail)};
  return true;
}

std::string TIdSMTPEnhancedCode::Text() const {
  if (!Available) return {};
  return Format("%d.%d.%d", {StatusClass, Subject, Details});
}

bool TIdReplySMTP::IsLastLine(std::string_view line) noexcept {
  return line.size() < 4 || line[3] == ' ';
}

void TIdReplySMTP::SetFromLines(const std::vector<std::string>& lines) {
  std::string code = lines.empty() ? std::string() : Trim(std::string_view(lines[0]).substr(0, 4));
  if (code.size() == 4 && code[3] == '-') code.resize(3);
  int numeric = 0;
  if (!code.empty()) {
    if (!AllDigits(code) || code.size() > 3 || ToInt(code) < 100)
      throw EIdException(Format(kMsgReplyCodeInvalid, {code}));
    numeric = ToInt(code);
  }
  std::vector<std::string> text;
  TIdSMTPEnhancedCode enhanced;
  for (const auto& line : lines) {
    std::string lineText = line.size() > 4 ? line.substr(4) : std::string();
    if (lineText.empty()) {
      enhanced = {};
    } else {
      std::size_t space = lineText.find(' ');
      TIdSMTPEnhancedCode found;
      if (TIdSMTPEnhancedCode::TryParse(std::string_view(lineText).substr(0, space), found)) {
        enhanced = found;
        lineText.erase(0, space == std::string::npos ? lineText.size() : space + 1);
      }
    }
    text.push_back(std::move(lineText));
  }
  code_ = std::move(code);
  numericCode_ = numeric;
  text_ = std::move(text);
  enhanced_ = enhanced;
}

std::string TIdReplySMTP::FormattedText() const {
  std::string out;
  for (const auto& line : text_) out.append(line).append("\r\n");
  return out;
}

}  // namespace qx
