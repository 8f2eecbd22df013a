// Building the header block of a plain-text mail and writing the whole message line by line.
// Headers are rebuilt from the message's fields each time it is written.
#include "mail/Message.h"

#include <ctime>

#include "mail/HeaderCoding.h"
#include "mail/MailDate.h"
#include "mail/MailExceptions.h"
#include "runtime/Strings.h"

namespace qx {

TIdEMailAddressItem& TIdMessage::From() {
  if (fromList_.Empty()) return fromList_.Add();
  return fromList_[0];
}

void TIdMessage::BuildHeaders() {
  if (encoding_ == meDefault) encoding_ = mePlainText;  // no parts: plain text
  TIdHeaderList& h = lastGeneratedHeaders_;
  h.Clear();  // so "Bcc" is never among them: blind copies stay blind
  THeaderCharset cs = HeaderCharset();

  std::string newsGroups;
  for (const auto& group : newsGroups_) {
    if (!newsGroups.empty()) newsGroups += ',';
    newsGroups += group;
  }
  h.PutHeader("From", EncodeAddressList(fromList_, true, cs));
  h.PutHeader("Subject", EncodeHeaderText(subject_, "", cs));
  h.PutHeader("To", EncodeAddressList(recipients_, false, cs));
  h.PutHeader("Cc", EncodeAddressList(ccList_, false, cs));
  h.PutHeader("Newsgroups", newsGroups);
  h.PutHeader("Content-Transfer-Encoding", transferEncoding_);
  h.PutHeader("Content-Type", contentType_);
  h.PutHeader("Sender", sender_.Text());
  h.PutHeader("Reply-To", EncodeAddressList(replyTo_, false, cs));
  h.PutHeader("Organization", EncodeHeaderText(organization_, "", cs));
  h.PutHeader("Disposition-Notification-To", EncodeAddressItem(receiptRecipient_, false, cs));
  h.PutHeader("References", references_);
  h.PutHeader("Date", date_ == 0 ? MailDateText(std::time(nullptr)) : MailDateTextOfLocal(date_));
  h.PutHeader("X-Priority", priority_ == mpNormal ? std::string() : IntToStr(priority_ + 1));
  for (const auto& line : extraHeaders_) h.Add(line);

  if (!inReplyTo_.empty()) {
    bool wrapped = inReplyTo_.front() == '<' && inReplyTo_.back() == '>';
    h.PutHeader("In-Reply-To", wrapped ? inReplyTo_ : "<" + inReplyTo_ + ">");
  } else {
    std::string messageId = h.HeaderValue("Message-ID");
    if (!messageId.empty()) h.PutHeader("In-Reply-To", messageId);
  }
}

void TIdMessage::WriteMessage(const TIdLineSink& sink) {
  if (encoding_ == meMIME || SameText(transferEncoding_, "base64") ||
      SameText(transferEncoding_, "quoted-printable"))
    throw EIdMessageNotSupported(kMsgOnlyPlainText);
  BuildHeaders();
  for (const auto& line : lastGeneratedHeaders_) sink(line);
  sink("");
  bool japanese = IsJapaneseCharset(HeaderCharset().Charset);
  for (const auto& bodyLine : body_) {
    // A line break inside a body line would let the text end the data early: each piece
    // between CR LF, CR or LF goes out as a line of its own.
    std::string_view rest = bodyLine;
    while (true) {
      std::size_t brk = rest.find_first_of("\r\n");
      std::string line(rest.substr(0, brk));
      if (japanese) line = ConvertToISO2022JP(line);
      if (!line.empty() && line[0] == '.') line.insert(line.begin(), '.');
      sink(line);
      if (brk == std::string_view::npos) break;
      brk += rest.compare(brk, 2, "\r\n") == 0 ? 2 : 1;
      rest.remove_prefix(brk);
    }
  }
  sink("");
}

}  // namespace qx
