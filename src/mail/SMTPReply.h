// SMTP replies: the three-digit code, the text lines and the enhanced status code
// (class.subject.detail), and the error raised for a reply the client did not expect.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mail/MailExceptions.h"

namespace qx {

inline constexpr const char* kMsgReplyCodeInvalid = "Reply Code is not valid: %s";

struct TIdSMTPEnhancedCode {
  bool Available = false;
  int StatusClass = 0;  // 2, 4 or 5
  int Subject = 0;
  int Details = 0;

  // Reads "class.subject.detail" with class 2, 4 or 5 and numeric subject and detail.
  static bool TryParse(std::string_view word, TIdSMTPEnhancedCode& code);
  std::string Text() const;  // "5.1.1"; empty when not available
};

class TIdReplySMTP {
 public:
  const std::string& Code() const noexcept { return code_; }
  int NumericCode() const noexcept { return numericCode_; }
  const std::vector<std::string>& Text() const noexcept { return text_; }
  const TIdSMTPEnhancedCode& EnhancedCode() const noexcept { return enhanced_; }

  // True when `line` ends a reply: shorter than 4 characters or a space in the fourth place.
  static bool IsLastLine(std::string_view line) noexcept;
  // Builds the reply from its raw lines (the first already trimmed). Fails with EIdException
  // "Reply Code is not valid: <code>" unless the code is empty or 100 to 999.
  void SetFromLines(const std::vector<std::string>& lines);
  // The text lines, each followed by CR LF.
  std::string FormattedText() const;

 private:
  std::string code_;
  int numericCode_ = 0;
  std::vector<std::string> text_;
  TIdSMTPEnhancedCode enhanced_;
};

// A reply with a code the command does not accept. The message is the reply's text lines
// (enhanced code removed), each followed by CR LF.
class EIdSMTPReplyError : public EIdException {
 public:
  explicit EIdSMTPReplyError(const TIdReplySMTP& reply)
      : EIdException(reply.FormattedText()),
        errorCode_(reply.NumericCode()),
        enhancedCode_(reply.EnhancedCode()) {}
  int ErrorCode() const noexcept { return errorCode_; }
  const TIdSMTPEnhancedCode& EnhancedCode() const noexcept { return enhancedCode_; }
  const char* ClassName() const noexcept override { return "EIdSMTPReplyError"; }

 private:
  int errorCode_;
  TIdSMTPEnhancedCode enhancedCode_;
};

}  // namespace qx
