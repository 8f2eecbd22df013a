// The message catalogue and its input checks: every character a description may hold, the
// e-mail rules in their order, the day window's numbers, and the texts with placeholders,
// line breaks and quotes as the screens build them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/qxconsts.h"
#include "runtime/Format.h"

namespace qx::test {
namespace {

struct Case {
  std::string input;
  const char* reason;  // nullptr: the check passes
};

// Runs `check` on every case, starting each with a stale reason that must not survive a pass.
template <class Check>
void ExpectCases(const std::vector<Case>& cases, Check check) {
  for (const Case& c : cases) {
    std::string reason = "stale";
    const bool ok = check(c.input, reason);
    EXPECT_EQ(ok, c.reason == nullptr) << '"' << c.input << '"';
    EXPECT_EQ(reason, c.reason ? c.reason : "") << '"' << c.input << '"';
  }
}

TEST(ValidateDescription, AcceptsExactlyTheNinetyThreeCharacters) {
  const std::string allowed =
      " (),-./0123456789:;ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
      "\xC0\xC1\xC8\xC9\xCC\xCD\xD1\xD2\xD3\xD9\xDA\xE0\xE1\xE8\xE9\xEC\xED\xF1\xF2\xF3\xF9\xFA";
  ASSERT_EQ(allowed.size(), 93u);
  int passed = 0;
  for (int code = 0; code < 256; ++code) {
    // Each character alone and after allowed text, so that the whole text is checked.
    for (const std::string& text : {std::string(1, static_cast<char>(code)),
                                   "Luz fundida " + std::string(1, static_cast<char>(code))}) {
      std::string reason = "stale";
      const bool expected = allowed.find(static_cast<char>(code)) != std::string::npos;
      EXPECT_EQ(ValidateDescription(text, reason), expected) << "code " << code;
      EXPECT_EQ(reason, expected ? "" : kMsgDescriptionCharacters) << "code " << code;
    }
    std::string reason;
    if (ValidateDescription(std::string(1, static_cast<char>(code)), reason)) ++passed;
  }
  EXPECT_EQ(passed, 93);

  ExpectCases({{"", kMsgDescriptionEmpty},
               {"Ba\xF1o de la planta 2 (ala norte): grifo roto; ver 3/4, r\xE1pido.", nullptr},
               {"100% roto", kMsgDescriptionCharacters},
               {"\xBFroto?", kMsgDescriptionCharacters},
               {"l'ascensor", kMsgDescriptionCharacters},
               {"dice \"no\"", kMsgDescriptionCharacters},
               {"uno\tdos", kMsgDescriptionCharacters},
               {"uno\r\ndos", kMsgDescriptionCharacters},
               {"ping\xFCino", kMsgDescriptionCharacters},  // u with diaeresis
               {"Fa\xE7" "ade", kMsgDescriptionCharacters},  // c with cedilla
               {"d\xEAs", kMsgDescriptionCharacters}},       // e with circumflex
              [](const std::string& text, std::string& reason) {
                return ValidateDescription(text, reason);
              });
}

TEST(ValidateEmail, ChecksLengthAtSignAndDotInOrderWithoutTrimming) {
  const std::string local(248, 'a');
  ExpectCases(
      {{"", kMsgEmailEmpty},
       {"a@b.c", kMsgEmailTooShort},
       {"a.b", kMsgEmailTooShort},                    // length comes before the at sign
       {"ab@c.d", nullptr},                           // six characters, dot two after the at sign
       {"a@.bcd", kMsgEmailIncorrect},                // dot right after the at sign
       {"ab.c@d", kMsgEmailIncorrect},                // dot only before the at sign
       {"abc@defg", kMsgEmailIncorrect},              // no dot at all
       {local + "@b.cde", nullptr},                   // 254 characters
       {local + "@b.cdef", kMsgEmailTooLong},         // 255 characters
       {std::string(300, 'x'), kMsgEmailTooLong},     // length comes before the at sign
       {"abcdef.gh", kMsgEmailAtSign},                // none
       {"a@@b.cd", kMsgEmailAtSign},                  // two
       {"a@b@.cd", kMsgEmailAtSign},                  // counted before the dot rule
       {" a@b.c ", nullptr},                          // spaces count and are kept
       {"a b@c d.", nullptr},                         // spaces, a dot at the end
       {"ana@mail..es", nullptr},                     // several dots
       {"ana@mail.es\r\nDATA", kMsgEmailIncorrect},   // a line break would start a command
       {"ana@mail.es\t", kMsgEmailIncorrect},
       {std::string("ana@ma\0l.es", 11), kMsgEmailIncorrect}},
      [](const std::string& address, std::string& reason) {
        return ValidateEmail(address, reason);
      });
}

TEST(ValidateDays, TakesZeroToOneHundredEightyInDigitsOnly) {
  struct DaysCase {
    std::string text;
    const char* reason;
    int days;
  };
  const std::vector<DaysCase> cases = {
      {"", kMsgDaysEmpty, 0},
      {"0", nullptr, 0},
      {"180", nullptr, 180},
      {"007", nullptr, 7},
      {"000000000000000000000000000012", nullptr, 12},  // leading zeros never overflow
      {"181", kMsgDaysMaximum, 0},
      {"2147483647", kMsgDaysMaximum, 0},              // fits 32 bits
      {"2147483648", kMsgDaysNumbersOnly, 0},          // does not
      {"99999999999999999999999", kMsgDaysNumbersOnly, 0},
      {"-5", kMsgDaysNumbersOnly, 0},
      {"+5", kMsgDaysNumbersOnly, 0},
      {"1.5", kMsgDaysNumbersOnly, 0},
      {" 5", kMsgDaysNumbersOnly, 0},
      {"5 ", kMsgDaysNumbersOnly, 0},
      {"$1F", kMsgDaysNumbersOnly, 0},
      {"1e2", kMsgDaysNumbersOnly, 0},
  };
  for (const DaysCase& c : cases) {
    std::string reason = "stale";
    int days = -1;  // left alone by a failure
    EXPECT_EQ(ValidateDays(c.text, days, reason), c.reason == nullptr) << '"' << c.text << '"';
    EXPECT_EQ(reason, c.reason ? c.reason : "") << '"' << c.text << '"';
    EXPECT_EQ(days, c.reason ? -1 : c.days) << '"' << c.text << '"';
  }
}

TEST(MessageCatalogue, TextsFillTheirPlaceholdersAndKeepTheirLineBreaks) {
  EXPECT_EQ(CountCharacters(""), "0 characters (with spaces)");
  EXPECT_EQ(CountCharacters("Ba\xF1o roto\r\n"), "11 characters (with spaces)");
  EXPECT_EQ(Format(kMsgUserNotFound, {"Jos\xE9"}), "User Jos\xE9 was not found in the Database.");
  EXPECT_EQ(Format(kMsgWelcome, {"Ana"}), "Welcome Ana");
  EXPECT_EQ(Format(kMsgRepairNotice, {"ana@mail.es"}),
            "Send me a message to my E-mail ana@mail.es when the request has been performed.");
  EXPECT_EQ(Format(kMsgMailSubject, {42}) + "Luz fundida", "QX Request 42: Luz fundida");
  EXPECT_EQ(Format(kMsgMailNote, {"a@b.es, c@d.es", "Luz fundida"}),
            "To: a@b.es, c@d.es\r\nSubject: Luz fundida");
  EXPECT_EQ(Format(kMsgConfirmReminder, {7}),
            "Are you sure you want to send a reminder for the request 7?");
  EXPECT_EQ(Format(kMsgReminderError, {7}),
            "There was an error sending a reminder of the request 7.");
  EXPECT_EQ(Format(kMsgConfirmCancel, {7}), "Are you sure you want to cancel the request 7?");
  EXPECT_EQ(Format(kMsgCancelError, {7}), "There was an error canceling request 7.");
  EXPECT_EQ(Format(kMsgRequestGridFrom, {"01/12/2026"}),
            "Pending requests [All] and Requests Dealt with or Canceled [from 01/12/2026]");
  EXPECT_EQ(std::string(kMsgRequestErrorPrefix) + kMsgRequestStoreError,
            "There was an error generating the request: \r\n"
            "There was an error generating the request.");
  // Mail readiness: the opening text joined directly to the detail, whose two lines are CR LF.
  EXPECT_EQ(std::string(kMsgEmailNotEnabled) + kMsgNoEmailRegistered,
            "The sending by E-mail is not enabled.You have no E-mail address registered in the "
            "database.\r\nYou must register the E-mail from the \"Derurid Avaru Rarivad\".");
  EXPECT_EQ(std::string(kMsgEmailWronglyTyped),
            "The E-mail account is wrongly typed.\r\nYou must correct the E-mail from the "
            "\"Derurid Avaru Rarivad\".");
  EXPECT_EQ(std::string(kMsgSmtpNotSetUp),
            "The SMTP server has not been set up.\r\nYou must complete this configuration from the "
            "\"Zodiravo Roruder\".");
}

}  // namespace
}  // namespace qx::test
