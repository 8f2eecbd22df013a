// Address items and lists: parsing the forms users type, writing them back, and refusing
// an address text with an at sign after its closing bracket without losing the old value.
#include <gtest/gtest.h>

#include "mail/EmailAddress.h"
#include "mail/MailExceptions.h"

namespace qx {
namespace {

TEST(EmailAddressItem, ParsesBareAndBracketedForms) {
  TIdEMailAddressItem bare(" juan@example.com ");
  EXPECT_EQ(bare.Address(), "juan@example.com");
  EXPECT_EQ(bare.Name(), "");
  EXPECT_EQ(bare.Text(), "juan@example.com");

  TIdEMailAddressItem named("Juan P\xE9rez <juan@example.com>");
  EXPECT_EQ(named.Name(), "Juan P\xE9rez");
  EXPECT_EQ(named.Address(), "juan@example.com");

  TIdEMailAddressItem quoted("\"P\xE9rez, Juan \\\"JP\\\"\" <jp@example.com>");
  EXPECT_EQ(quoted.Name(), "P\xE9rez, Juan \"JP\"");
  EXPECT_EQ(quoted.Address(), "jp@example.com");

  TIdEMailAddressItem spaced("Ana <  ana . lopez@mail . example.com >");
  EXPECT_EQ(spaced.Address(), "ana.lopez@mail.example.com");
}

TEST(EmailAddressItem, DropsComments) {
  TIdEMailAddressItem item("juan@example.com (Juan (the boss))");
  EXPECT_EQ(item.Address(), "juan@example.com");
  EXPECT_EQ(item.Name(), "");
  TIdEMailAddressItem inName("Juan (maintenance) <juan@example.com>");
  EXPECT_EQ(inName.Name(), "Juan");
  // Parentheses inside a quoted name are text, not a comment.
  TIdEMailAddressItem quotedParens("\"Juan (JP)\" <juan@example.com>");
  EXPECT_EQ(quotedParens.Name(), "Juan (JP)");
}

TEST(EmailAddressItem, AtSignAfterClosingBracketFailsAndKeepsTheOldValue) {
  TIdEMailAddressItem item("Old <old@example.com>");
  try {
    item.SetText("Juan <juan@example.com> evil@example.com");
    FAIL() << "no failure";
  } catch (const EIdEmailParseError& e) {
    EXPECT_STREQ(e.ClassName(), "EIdEmailParseError");
    EXPECT_EQ(e.Message(), "@ Outside address");
  }
  EXPECT_EQ(item.Address(), "old@example.com");
  EXPECT_EQ(item.Name(), "Old");
  // Text after ">" without an at sign is tolerated.
  item.SetText("Juan <juan@example.com> trailing");
  EXPECT_EQ(item.Address(), "juan@example.com");
}

TEST(EmailAddressItem, TextQuotesNamesThatNeedIt) {
  TIdEMailAddressItem item;
  item.SetAddress("a@example.com");
  item.SetName("Plain Name-1 {ok}");
  EXPECT_EQ(item.Text(), "Plain Name-1 {ok} <a@example.com>");
  item.SetName("Doe, John");
  EXPECT_EQ(item.Text(), "\"Doe, John\" <a@example.com>");
  item.SetName("Say \"hi\" \\ bye");
  EXPECT_EQ(item.Text(), "\"Say \\\"hi\\\" \\\\ bye\" <a@example.com>");
  item.SetName("P\xE9rez");
  EXPECT_EQ(item.Text(), "\"P\xE9rez\" <a@example.com>");
  // What Text writes, SetText reads back unchanged.
  TIdEMailAddressItem back(item.Text());
  EXPECT_EQ(back.Name(), item.Name());
  EXPECT_EQ(back.Address(), item.Address());
  item.SetName("Say \"hi\" \\ bye");
  back.SetText(item.Text());
  EXPECT_EQ(back.Name(), "Say \"hi\" \\ bye");
}

std::vector<std::string> Addresses(const TIdEMailAddressList& list) {
  std::vector<std::string> out;
  for (const auto& item : list) out.push_back(item.Address());
  return out;
}

TEST(EmailAddressList, SplitsOnCommasAndSemicolonsAndSkipsEmptyEntries) {
  using V = std::vector<std::string>;
  TIdEMailAddressList list;
  list.SetAddressListText("a@example.com, b@example.com");
  EXPECT_EQ(Addresses(list), (V{"a@example.com", "b@example.com"}));
  list.SetAddressListText("a@example.com;b@example.com");
  EXPECT_EQ(Addresses(list), (V{"a@example.com", "b@example.com"}));
  list.SetAddressListText("a@example.com,, b@example.com, , ");
  EXPECT_EQ(Addresses(list), (V{"a@example.com", "b@example.com"}));
  list.SetAddressListText("<>, a@example.com");
  EXPECT_EQ(Addresses(list), (V{"a@example.com"}));
  list.SetAddressListText("single@example.com");
  EXPECT_EQ(Addresses(list), (V{"single@example.com"}));
  list.SetAddressListText("   ");
  EXPECT_TRUE(list.Empty());
}

TEST(EmailAddressList, KeepsQuotedCommasAndDropsGroupNames) {
  TIdEMailAddressList list;
  list.SetAddressListText(
      "\"P\xE9rez, Juan\" <jp@example.com>, Maintenance: x@example.com, y@example.com;");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0].Name(), "P\xE9rez, Juan");
  EXPECT_EQ(list[0].Address(), "jp@example.com");
  EXPECT_EQ(list[1].Address(), "x@example.com");
  EXPECT_EQ(list[2].Address(), "y@example.com");
  EXPECT_EQ(list.AddressListText(),
            "\"P\xE9rez, Juan\" <jp@example.com>, x@example.com, y@example.com");
}

TEST(EmailAddressList, ParseErrorLeavesTheListAsItWas) {
  TIdEMailAddressList list;
  list.SetAddressListText("a@example.com, b@example.com");
  EXPECT_THROW(list.SetAddressListText("c@example.com, X <x@example.com> y@example.com"),
               EIdEmailParseError);
  EXPECT_EQ(list.AddressListText(), "a@example.com, b@example.com");
}

}  // namespace
}  // namespace qx
