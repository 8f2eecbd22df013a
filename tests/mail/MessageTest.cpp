// The written message: header order and content for the service's mails, priority, blind
// copies, dot-doubling, line breaks inside body lines and refusal of MIME forms.
#include <gtest/gtest.h>

#include "EnvOverride.h"
#include "mail/MailExceptions.h"
#include "mail/Message.h"

namespace qx {
namespace {

std::vector<std::string> Written(TIdMessage& message) {
  std::vector<std::string> lines;
  message.WriteMessage([&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::vector<std::string> HeaderNames(const TIdMessage& message) {
  std::vector<std::string> names;
  for (const auto& line : message.LastGeneratedHeaders())
    if (line[0] != ' ') names.push_back(line.substr(0, line.find(':')));
  return names;
}

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseWesternLocale(env_);
    env_.Set("TZ", "UTC0");
  }
  test::EnvOverride env_;
};

TEST_F(MessageTest, ServiceMailHasFromSubjectToReplyToDateInThatOrder) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.ReplyTo().SetAddressListText("a@example.com");
  m.Recipients().SetAddressListText("b@example.com, c@example.com");
  m.SetSubject("QX Request 5: Luz fundida");
  m.Body().Add("Description: Luz fundida");
  std::vector<std::string> lines = Written(m);

  EXPECT_EQ(HeaderNames(m),
            (std::vector<std::string>{"From", "Subject", "To", "Reply-To", "Date"}));
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "From: \"a@example.com\" <a@example.com>");
  EXPECT_EQ(lines[1], "Subject: QX Request 5: Luz fundida");
  EXPECT_EQ(lines[2], "To: b@example.com, c@example.com");
  EXPECT_EQ(lines[3], "Reply-To: a@example.com");
  EXPECT_EQ(lines[4].rfind("Date: ", 0), 0u);
  EXPECT_EQ(lines[4].substr(lines[4].size() - 6), " +0000");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "Description: Luz fundida");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines.size(), 8u);
  EXPECT_EQ(m.Encoding(), mePlainText);
  EXPECT_EQ(m.From().Name(), "a@example.com");
}

TEST_F(MessageTest, PriorityBecomesXPriorityExceptNormal) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.SetPriority(mpHighest);
  m.BuildHeaders();
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("X-Priority"), "1");
  EXPECT_EQ(HeaderNames(m).back(), "X-Priority");
  m.SetPriority(mpLow);
  m.BuildHeaders();
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("X-Priority"), "4");
  m.SetPriority(mpNormal);
  m.BuildHeaders();
  EXPECT_EQ(m.LastGeneratedHeaders().FindHeader("X-Priority"), -1);
}

TEST_F(MessageTest, BlindCopiesNeverAppearButCopiesDo) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.Recipients().SetAddressListText("b@example.com");
  m.CCList().SetAddressListText("c@example.com");
  m.BccList().SetAddressListText("hidden@example.com");
  m.ExtraHeaders().PutHeader("X-Mailer", "QX");
  m.SetDate(EncodeDateTime({2025, 12, 1, 9, 5, 0, 0}));
  std::vector<std::string> lines = Written(m);
  for (const auto& line : lines) EXPECT_EQ(line.find("hidden"), std::string::npos) << line;
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("Cc"), "c@example.com");
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("Date"), "Mon, 1 Dec 2025 09:05:00 +0000");
  EXPECT_EQ(HeaderNames(m).back(), "X-Mailer");
}

TEST_F(MessageTest, EncodesSubjectAndNamesButNotTheBody) {
  TIdMessage m;
  m.From().SetText("Jos\xE9 <jose@example.com>");
  m.SetSubject("QX Request 7: L\xE1mpara \xF1o\xF1" "a");
  m.Body().Add("L\xE1mpara");
  std::vector<std::string> lines = Written(m);
  EXPECT_EQ(lines[0], "From: =?ISO-8859-1?Q?Jos=E9?= <jose@example.com>");
  EXPECT_EQ(lines[1], "Subject: QX Request 7: =?ISO-8859-1?Q?L=E1mpara_=F1o=F1a?=");
  EXPECT_EQ(lines[lines.size() - 2], "L\xE1mpara");
}

TEST_F(MessageTest, BodyLinesAreDotDoubledAndSplitAtLineBreaks) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.Body().Add(".");
  m.Body().Add(".hidden");
  m.Body().Add("a.b");
  m.Body().Add("one\r\n.\r\ntwo\nthree\r");
  std::vector<std::string> lines = Written(m);
  auto blank = std::find(lines.begin(), lines.end(), "");
  ASSERT_NE(blank, lines.end());
  std::vector<std::string> body(blank + 1, lines.end());
  EXPECT_EQ(body, (std::vector<std::string>{"..", "..hidden", "a.b", "one", "..", "two",
                                             "three", "", ""}));
}

TEST_F(MessageTest, EmptyBodyStillHasTheSeparatorAndClosingLine) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  std::vector<std::string> lines = Written(m);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 1], "");
  EXPECT_EQ(lines[lines.size() - 2], "");
  EXPECT_NE(lines[lines.size() - 3], "");
}

TEST_F(MessageTest, InReplyToIsWrapped) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.SetInReplyTo("abc@host");
  m.BuildHeaders();
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("In-Reply-To"), "<abc@host>");
  m.SetInReplyTo("<def@host>");
  m.BuildHeaders();
  EXPECT_EQ(m.LastGeneratedHeaders().HeaderValue("In-Reply-To"), "<def@host>");
}

TEST_F(MessageTest, MimeFormsAreRefusedBeforeAnythingIsWritten) {
  TIdMessage m;
  m.From().SetText("a@example.com");
  m.SetContentTransferEncoding("base64");
  int written = 0;
  EXPECT_THROW(m.WriteMessage([&written](std::string_view) { ++written; }),
               EIdMessageNotSupported);
  EXPECT_EQ(written, 0);
  m.SetContentTransferEncoding("8bit");
  m.WriteMessage([&written](std::string_view) { ++written; });
  EXPECT_GT(written, 0);
}

}  // namespace
}  // namespace qx
