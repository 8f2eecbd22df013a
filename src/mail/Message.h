// TIdMessage: a plain-text mail (addresses, subject, priority, body lines) and its writer,
// which builds the header block and hands the message to a sink one line at a time.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "mail/EmailAddress.h"
#include "mail/HeaderList.h"
#include "runtime/DateTime.h"
#include "runtime/StringList.h"

namespace qx {

enum TIdMessagePriority { mpHighest = 0, mpHigh = 1, mpNormal = 2, mpLow = 3, mpLowest = 4 };
enum TIdMessageEncoding { meDefault = 0, meMIME = 1, mePlainText = 2 };

// Raised (as EIdMessageNotSupported) for the MIME forms this writer does not produce.
inline constexpr const char* kMsgOnlyPlainText =
    "Only plain-text messages without transfer encoding can be written.";

// Receives one line of the message at a time, without its line end.
using TIdLineSink = std::function<void(std::string_view line)>;

class TIdMessage {
 public:
  // The first item of FromList, created on first use.
  TIdEMailAddressItem& From();
  TIdEMailAddressList& FromList() noexcept { return fromList_; }
  TIdEMailAddressList& ReplyTo() noexcept { return replyTo_; }
  TIdEMailAddressList& Recipients() noexcept { return recipients_; }
  TIdEMailAddressList& CCList() noexcept { return ccList_; }
  TIdEMailAddressList& BccList() noexcept { return bccList_; }
  const TIdEMailAddressList& Recipients() const noexcept { return recipients_; }
  const TIdEMailAddressList& CCList() const noexcept { return ccList_; }
  const TIdEMailAddressList& BccList() const noexcept { return bccList_; }
  TIdEMailAddressItem& ReceiptRecipient() noexcept { return receiptRecipient_; }
  TIdEMailAddressItem& Sender() noexcept { return sender_; }

  const std::string& Subject() const noexcept { return subject_; }
  void SetSubject(std::string value) { subject_ = std::move(value); }
  TStringList& Body() noexcept { return body_; }
  TIdMessagePriority Priority() const noexcept { return priority_; }
  void SetPriority(TIdMessagePriority value) noexcept { priority_ = value; }
  const std::string& Organization() const noexcept { return organization_; }
  void SetOrganization(std::string value) { organization_ = std::move(value); }
  const std::string& References() const noexcept { return references_; }
  void SetReferences(std::string value) { references_ = std::move(value); }
  const std::string& InReplyTo() const noexcept { return inReplyTo_; }
  void SetInReplyTo(std::string value) { inReplyTo_ = std::move(value); }
  TStringList& NewsGroups() noexcept { return newsGroups_; }
  // Local date-time of the mail; 0 means the moment it is written.
  TDateTime Date() const noexcept { return date_; }
  void SetDate(TDateTime value) noexcept { date_ = value; }
  bool UseNowForDate() const noexcept { return date_ == 0; }
  const std::string& ContentType() const noexcept { return contentType_; }
  void SetContentType(std::string value) { contentType_ = std::move(value); }
  const std::string& ContentTransferEncoding() const noexcept { return transferEncoding_; }
  void SetContentTransferEncoding(std::string value) { transferEncoding_ = std::move(value); }
  TIdMessageEncoding Encoding() const noexcept { return encoding_; }
  void SetEncoding(TIdMessageEncoding value) noexcept { encoding_ = value; }
  TIdHeaderList& ExtraHeaders() noexcept { return extraHeaders_; }
  const TIdHeaderList& LastGeneratedHeaders() const noexcept { return lastGeneratedHeaders_; }

  // Rebuilds LastGeneratedHeaders: From, Subject, To, Cc, Newsgroups, Content-Transfer-
  // Encoding, Content-Type, Sender, Reply-To, Organization, Disposition-Notification-To,
  // References, Date, X-Priority (those with a value), then ExtraHeaders and In-Reply-To.
  void BuildHeaders();
  // Writes the headers, an empty line, the body (a leading "." doubled, embedded line breaks
  // split into lines of their own) and a closing empty line. Fails with
  // EIdMessageNotSupported before writing anything when the message asks for MIME.
  void WriteMessage(const TIdLineSink& sink);

 private:
  TIdEMailAddressList fromList_, replyTo_, recipients_, ccList_, bccList_;
  TIdEMailAddressItem receiptRecipient_, sender_;
  std::string subject_, organization_, references_, inReplyTo_;
  std::string contentType_, transferEncoding_;
  TStringList body_, newsGroups_;
  TIdMessagePriority priority_ = mpNormal;
  TIdMessageEncoding encoding_ = meDefault;
  TDateTime date_ = 0;
  TIdHeaderList extraHeaders_, lastGeneratedHeaders_;
};

}  // namespace qx
