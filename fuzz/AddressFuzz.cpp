// Fuzz target: the address-list parser and the header encoders. Any text becomes a list (or
// a parse failure that leaves the list as it was); each item with a plain address reads back
// from its text as the same address; encoded text holds nothing but printable ASCII and whitespace; and a message's header
// block built over such recipients and subject holds no line a header of the input's choosing
// could start (no line break inside a line, no empty line, no lone dot).
#include <cstdint>
#include <cstring>
#include <string>

#include "mail/EmailAddress.h"
#include "mail/HeaderCoding.h"
#include "mail/MailExceptions.h"
#include "mail/Message.h"

using namespace qx;

namespace {

void CheckEncoded(const std::string& text) {
  // Whitespace between words stays as it was (the header list makes line breaks folds).
  for (const unsigned char c : text)
    if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c > 0x7E) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TIdMessage message;
  TIdEMailAddressList& list = message.Recipients();
  list.SetAddressListText("before@example.org");
  const std::string before = list.AddressListText();
  try {
    list.SetAddressListText(text);
  } catch (const EIdException&) {
    if (list.AddressListText() != before) __builtin_trap();
  }
  for (const TIdEMailAddressItem& item : list) {
    // Only an address without the characters that delimit one can be told back from its text.
    bool plain = true;
    for (const unsigned char c : item.Address())
      plain = plain && c > 0x20 && c < 0x7F && !std::strchr("<>()\",;:\\[]", c);
    if (!plain) continue;
    TIdEMailAddressItem again;
    try {
      again.SetText(item.Text());
    } catch (const EIdException&) {
      continue;  // a name with an at sign after its address cannot be written back
    }
    if (again.Address() != item.Address()) __builtin_trap();
  }
  for (const char* locale : {"es_ES", "ja_JP", "ru_RU", "zh_TW"}) {
    const THeaderCharset cs = HeaderCharsetForLocale(locale);
    EncodeAddressList(list, size % 2 == 0, cs);
    CheckEncoded(EncodeHeaderText(text, "()<>@,;:\\\"./[]?=", cs));
  }
  message.From().SetText("Service <service@example.org>");
  message.SetSubject(text);
  message.BuildHeaders();
  for (const std::string& line : message.LastGeneratedHeaders())
    if (line.empty() || line == "." || line.find_first_of("\r\n") != std::string::npos)
      __builtin_trap();
  return 0;
}
