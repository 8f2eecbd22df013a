// SMTP reply parsing: codes, multi-line text, enhanced status codes and the reply error.
#include <gtest/gtest.h>

#include "mail/SMTPReply.h"

namespace qx {
namespace {

TIdReplySMTP Parse(std::vector<std::string> lines) {
  TIdReplySMTP reply;
  reply.SetFromLines(lines);
  return reply;
}

TEST(SMTPReply, CodeAndTextLines) {
  TIdReplySMTP r = Parse({"250 OK"});
  EXPECT_EQ(r.Code(), "250");
  EXPECT_EQ(r.NumericCode(), 250);
  EXPECT_EQ(r.Text(), std::vector<std::string>{"OK"});

  r = Parse({"250-a", "250 b"});
  EXPECT_EQ(r.Text(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(r.FormattedText(), "a\r\nb\r\n");

  r = Parse({"250"});
  EXPECT_EQ(r.NumericCode(), 250);
  EXPECT_EQ(r.Text(), std::vector<std::string>{""});
}

TEST(SMTPReply, EnhancedStatusCodeIsTakenFromTheText) {
  TIdReplySMTP r = Parse({"550 5.1.1 User unknown"});
  EXPECT_EQ(r.FormattedText(), "User unknown\r\n");
  EXPECT_TRUE(r.EnhancedCode().Available);
  EXPECT_EQ(r.EnhancedCode().Text(), "5.1.1");

  r = Parse({"250-2.0.0 first", "250 second"});  // the last line with a code decides
  EXPECT_EQ(r.Text(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(r.EnhancedCode().Text(), "2.0.0");

  r = Parse({"250-2.0.0 first", "250 4.7.1 later"});
  EXPECT_EQ(r.EnhancedCode().Text(), "4.7.1");

  r = Parse({"250-2.0.0 first", "250"});  // a line without text clears it
  EXPECT_FALSE(r.EnhancedCode().Available);

  r = Parse({"220 3.1.1 not a class"});
  EXPECT_FALSE(r.EnhancedCode().Available);
  EXPECT_EQ(r.Text(), std::vector<std::string>{"3.1.1 not a class"});

  r = Parse({"235 2.7.0"});  // the code alone: the text becomes empty
  EXPECT_TRUE(r.EnhancedCode().Available);
  EXPECT_EQ(r.Text(), std::vector<std::string>{""});
}

TEST(SMTPReply, EnhancedCodeForm) {
  TIdSMTPEnhancedCode c;
  EXPECT_TRUE(TIdSMTPEnhancedCode::TryParse("4.4.2", c));
  EXPECT_EQ(c.StatusClass, 4);
  EXPECT_EQ(c.Subject, 4);
  EXPECT_EQ(c.Details, 2);
  EXPECT_TRUE(TIdSMTPEnhancedCode::TryParse("5.7.100", c));
  EXPECT_EQ(c.Details, 100);
  for (const char* bad : {"3.0.0", "5.1", "5.a.1", "25.1.1", "5..1", "5.1.", "", "5.1.1.1",
                          "5.1.12345678901"})
    EXPECT_FALSE(TIdSMTPEnhancedCode::TryParse(bad, c)) << bad;
}

TEST(SMTPReply, InvalidCodesAreRefused) {
  auto message = [](std::vector<std::string> lines) {
    try {
      Parse(lines);
    } catch (const EIdException& e) {
      EXPECT_STREQ(e.ClassName(), "EIdException");
      return e.Message();
    }
    return std::string("no failure");
  };
  EXPECT_EQ(message({"abc hello"}), "Reply Code is not valid: abc");
  EXPECT_EQ(message({"099 x"}), "Reply Code is not valid: 099");
  EXPECT_EQ(message({"2500 x"}), "Reply Code is not valid: 2500");
  EXPECT_EQ(message({"25"}), "Reply Code is not valid: 25");
}

TEST(SMTPReply, LastLineDetection) {
  EXPECT_TRUE(TIdReplySMTP::IsLastLine("250 OK"));
  EXPECT_TRUE(TIdReplySMTP::IsLastLine("250"));
  EXPECT_TRUE(TIdReplySMTP::IsLastLine(""));
  EXPECT_FALSE(TIdReplySMTP::IsLastLine("250-more"));
  EXPECT_FALSE(TIdReplySMTP::IsLastLine("250x"));
}

TEST(SMTPReply, ReplyErrorCarriesTextCodeAndEnhancedCode) {
  EIdSMTPReplyError e(Parse({"550-5.1.1 User unknown", "550 5.1.1 Try another"}));
  EXPECT_STREQ(e.ClassName(), "EIdSMTPReplyError");
  EXPECT_EQ(e.Message(), "User unknown\r\nTry another\r\n");
  EXPECT_EQ(e.ErrorCode(), 550);
  EXPECT_EQ(e.EnhancedCode().Text(), "5.1.1");
}

}  // namespace
}  // namespace qx
