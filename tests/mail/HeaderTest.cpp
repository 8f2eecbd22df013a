// Header text: encoded words (Q and B, run joining, length limit), the locale's charset,
// folding of long lines, the header list and the date text with its UTC offset.
#include <gtest/gtest.h>

#include "EnvOverride.h"
#include "mail/HeaderCoding.h"
#include "mail/HeaderList.h"
#include "mail/MailDate.h"
#include "mail/MailExceptions.h"
#include "runtime/Strings.h"

namespace qx {
namespace {

const THeaderCharset kLatin{"ISO-8859-1", 'Q'};

std::string Q(std::string_view text, std::string_view specials = "") {
  return EncodeHeaderText(text, specials, kLatin);
}

TEST(EncodeHeaderText, EncodesOnlyTheWordsThatNeedIt) {
  EXPECT_EQ(Q("QX Request 5: L\xE1mpara rota ya"),
            "QX Request 5: =?ISO-8859-1?Q?L=E1mpara?= rota ya");
  EXPECT_EQ(Q("L\xE1mpara \xF1o\xF1" "a"), "=?ISO-8859-1?Q?L=E1mpara_=F1o=F1a?=");
  EXPECT_EQ(Q("Roto?"), "Roto?");
  EXPECT_EQ(Q("\xBFRoto? s\xED"), "=?ISO-8859-1?Q?=BFRoto=3F_s=ED?=");
  EXPECT_EQ(Q("a_b=c \xE9_x=y"), "a_b=c =?ISO-8859-1?Q?=E9=5Fx=3Dy?=");
  EXPECT_EQ(Q("  plain text  "), "  plain text  ");
  EXPECT_EQ(Q(""), "");
  // Whitespace inside a run is encoded; a tab forces encoding itself.
  EXPECT_EQ(Q("\xE1\t\xE9"), "=?ISO-8859-1?Q?=E1=09=E9?=");
}

TEST(EncodeHeaderText, SplitsLongRunsIntoWordsOfAtMost75Characters) {
  std::string run(40, '\xE1');  // each becomes "=E1": far more than one word holds
  std::string encoded = Q("Asunto " + run);
  ASSERT_EQ(encoded.rfind("Asunto =?ISO-8859-1?Q?", 0), 0u) << encoded;
  std::size_t decoded = 0;
  std::size_t start = 7;
  while (start < encoded.size()) {
    std::size_t end = encoded.find("\r\n ", start);
    std::string word = encoded.substr(start, end == std::string::npos ? std::string::npos
                                                                       : end - start);
    EXPECT_LE(word.size(), 75u) << word;
    EXPECT_EQ(word.rfind("=?ISO-8859-1?Q?", 0), 0u) << word;
    EXPECT_EQ(word.substr(word.size() - 2), "?=");
    for (std::size_t i = 0; (i = word.find("=E1", i)) != std::string::npos; i += 3) ++decoded;
    if (end == std::string::npos) break;
    start = end + 3;
  }
  EXPECT_EQ(decoded, 40u);
  EXPECT_GT(encoded.find("\r\n =?ISO-8859-1?Q?"), 0u);
}

TEST(EncodeHeaderText, BEncodingAndSpecials) {
  THeaderCharset koi = HeaderCharsetForLocale("ru_RU.UTF-8");
  EXPECT_EQ(EncodeHeaderText("A\xF1 ok", "", koi), "=?KOI8-R?B?QfE=?= ok");
  EXPECT_EQ(EncodeHeaderText("\xE1\xE9\xED\xF3", "", koi), "=?KOI8-R?B?4ent8w==?=");
  // Address specials force encoding of an otherwise plain word.
  EXPECT_EQ(Q("J. P\xE9rez", "()[]<>:;.,@\\\""), "=?ISO-8859-1?Q?J=2E_P=E9rez?=");
}

TEST(EncodeHeaderText, TextThatAlreadyLooksEncodedIsProtected) {
  // Written as it is, a reader would decode it into something else: "=" now forces encoding.
  EXPECT_EQ(Q("=?ISO-8859-1?Q?abc?= x"), "=?ISO-8859-1?Q?=3D=3FISO-8859-1=3FQ=3Fabc=3F=3D?= x");
  // Not a well-formed encoded word: left alone.
  EXPECT_EQ(Q("=?ISO-8859-1 x"), "=?ISO-8859-1 x");
}

TEST(HeaderCharset, FollowsThePrimaryLanguageOfTheLocale) {
  auto check = [](const char* locale, const char* charset, char letter) {
    THeaderCharset cs = HeaderCharsetForLocale(locale);
    EXPECT_EQ(cs.Charset, charset) << locale;
    EXPECT_EQ(cs.Encoding, letter) << locale;
  };
  check("es_ES.UTF-8", "ISO-8859-1", 'Q');
  check("pt_BR", "ISO-8859-1", 'Q');
  check("C", "ISO-8859-1", 'Q');
  check("", "ISO-8859-1", 'Q');
  check("ja_JP.UTF-8", "ISO-2022-JP", 'B');
  check("ko_KR.EUC-KR", "csEUCKR", 'B');
  check("zh_CN.UTF-8", "GB2312", 'B');
  check("zh_SG", "GB2312", 'B');
  check("zh_TW.Big5", "Big5", 'B');
  check("ru_RU.KOI8-R", "KOI8-R", 'B');
  check("uk_UA.UTF-8", "windows-1251", 'B');

  test::EnvOverride env;
  env.Set("LC_ALL", "");
  env.Set("LC_CTYPE", "");
  env.Set("LANG", "ru_RU.UTF-8");
  EXPECT_EQ(HeaderCharset().Charset, "KOI8-R");
  env.Set("LC_ALL", "es_ES.UTF-8");
  EXPECT_EQ(HeaderCharset().Charset, "ISO-8859-1");
}

TEST(HeaderCharset, JapaneseConversionKeepsAsciiAndMarksWhatItCannotHold) {
  EXPECT_EQ(ConvertToISO2022JP("plain"), "plain");
  EXPECT_EQ(ConvertToISO2022JP("a\xD7" "b\xE1" "c"), "a\x1B$B!_\x1B(Bb?c");
  THeaderCharset jis = HeaderCharsetForLocale("ja_JP");
  // The escape sequences are control characters: the converted word is sent as base64.
  EXPECT_EQ(EncodeHeaderText("x \xD7", "", jis), "x =?ISO-2022-JP?B?GyRCIV8bKEI=?=");
}

TEST(EncodeAddressItem, QuotesOrEncodesTheName) {
  TIdEMailAddressItem item("juan@example.com");
  EXPECT_EQ(EncodeAddressItem(item, false, kLatin), "juan@example.com");
  EXPECT_EQ(EncodeAddressItem(item, true, kLatin), "\"juan@example.com\" <juan@example.com>");
  EXPECT_EQ(item.Name(), "juan@example.com");  // the name was taken from the address

  item.SetName("Juan \"JP\" P\\");
  EXPECT_EQ(EncodeAddressItem(item, false, kLatin),
            "\"Juan \\\"JP\\\" P\\\\\" <juan@example.com>");
  item.SetName("Juan P\xE9rez");
  EXPECT_EQ(EncodeAddressItem(item, false, kLatin),
            "Juan =?ISO-8859-1?Q?P=E9rez?= <juan@example.com>");

  TIdEMailAddressList list;
  list.SetAddressListText("a@example.com, B <b@example.com>");
  EXPECT_EQ(EncodeAddressList(list, false, kLatin), "a@example.com, \"B\" <b@example.com>");
}

TEST(FoldHeaderLine, BreaksAfterSpacesOrCommasNearColumn78) {
  std::string to = "To: ";
  for (int i = 0; i < 12; ++i) to += (i ? ", " : "") + std::string("user") + char('a' + i) + "@example.com";
  std::vector<std::string> lines = FoldHeaderLine(to);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), i == 0 ? 78u : 79u) << lines[i];
    if (i > 0) {
      EXPECT_EQ(lines[i][0], ' ');
      EXPECT_NE(lines[i][1], ' ');
    }
    EXPECT_NE(lines[i].back(), ' ');
    joined += (i ? " " : "") + lines[i].substr(i ? 1 : 0);
  }
  // Nothing is lost: unfolding gives the same addresses.
  EXPECT_EQ(joined, to);

  EXPECT_EQ(FoldHeaderLine("Subject: short"), std::vector<std::string>{"Subject: short"});
}

TEST(FoldHeaderLine, KeepsQuotedStretchesAndUnbreakableLinesWhole) {
  std::string longWord(100, 'x');
  EXPECT_EQ(FoldHeaderLine("X-Long:" + longWord),
            std::vector<std::string>{"X-Long:" + longWord});
  // The only break is right after the name: the long value goes on a line of its own.
  EXPECT_EQ(FoldHeaderLine("X-Long: " + longWord),
            (std::vector<std::string>{"X-Long:", " " + longWord}));

  std::string quotedName = "\"" + std::string(40, 'n') + " " + std::string(40, 'm') + "\"";
  std::vector<std::string> lines = FoldHeaderLine("From: " + quotedName + " <a@example.com>");
  ASSERT_GT(lines.size(), 1u);
  bool whole = false;
  for (const auto& line : lines) whole = whole || line.find(quotedName) != std::string::npos;
  EXPECT_TRUE(whole) << "the quoted name was broken";
  EXPECT_EQ(lines.back(), " <a@example.com>");

  // An existing fold is kept as it is.
  EXPECT_EQ(FoldHeaderLine("Subject: =?a?Q?b?=\r\n =?a?Q?c?="),
            (std::vector<std::string>{"Subject: =?a?Q?b?=", " =?a?Q?c?="}));
}

TEST(HeaderList, PutFindAndReadHeaders) {
  TIdHeaderList h;
  h.PutHeader("From", "a@example.com");
  h.PutHeader("Subject", "first");
  h.PutHeader("To", "b@example.com");
  EXPECT_EQ(h.FindHeader("subject"), 1);
  EXPECT_EQ(h.FindHeader("Cc"), -1);
  h.PutHeader("SUBJECT", "second");
  EXPECT_EQ(h.Lines(), (std::vector<std::string>{"From: a@example.com", "SUBJECT: second",
                                                  "To: b@example.com"}));
  // A folded value is replaced whole, continuation lines included.
  std::string many;
  for (int i = 0; i < 10; ++i) many += "word" + std::to_string(i) + "-abcdefghij ";
  h.PutHeader("Subject", many);
  EXPECT_GT(h.Count(), 3);
  EXPECT_EQ(h.HeaderValue("subject"), Trim(many));
  h.PutHeader("Subject", "");
  EXPECT_EQ(h.Lines(), (std::vector<std::string>{"From: a@example.com", "To: b@example.com"}));
  EXPECT_EQ(h.HeaderValue("Subject"), "");
}

TEST(HeaderList, LineBreaksInAValueCannotAddHeadersOrEndTheMessage) {
  TIdHeaderList h;
  h.PutHeader("Subject", "Hi\r\nBcc: victim@example.com\r\n.\r\nMAIL FROM:<x@example.com>\n\r");
  EXPECT_EQ(h.FindHeader("Bcc"), -1);
  EXPECT_EQ(h.FindHeader("MAIL FROM"), -1);
  for (const auto& line : h) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_NE(line, ".");
    EXPECT_FALSE(line.empty());
  }
  EXPECT_NE(h.HeaderValue("Subject").find("Bcc: victim@example.com"), std::string::npos);
  // A blank continuation line would end the header block: it is left out.
  h.PutHeader("X-Test", "a\r\n \r\n b");
  for (const auto& line : h) EXPECT_FALSE(Trim(line).empty());
}

TEST(MailDate, WritesEnglishNamesAndTheOffsetInForce) {
  const std::time_t winter = 1764592496;  // 2025-12-01 12:34:56 UTC, a Monday
  const std::time_t summer = 1752566709;  // 2025-07-15 08:05:09 UTC, a Tuesday
  test::EnvOverride env("TZ", "UTC0");
  EXPECT_EQ(MailDateText(winter), "Mon, 1 Dec 2025 12:34:56 +0000");
  env.Set("TZ", "<-03>3");
  EXPECT_EQ(MailDateText(winter), "Mon, 1 Dec 2025 09:34:56 -0300");
  env.Set("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_EQ(MailDateText(winter), "Mon, 1 Dec 2025 13:34:56 +0100");
  EXPECT_EQ(MailDateText(summer), "Tue, 15 Jul 2025 10:05:09 +0200");
  env.Set("TZ", "<+0530>-5:30");
  EXPECT_EQ(MailDateText(summer), "Tue, 15 Jul 2025 13:35:09 +0530");
  EXPECT_EQ(MailDateTextOfLocal(EncodeDateTime({2025, 7, 15, 13, 35, 9, 0})),
            "Tue, 15 Jul 2025 13:35:09 +0530");
  EXPECT_THROW(MailDateText(static_cast<std::time_t>(-1)), EIdFailedToRetrieveTimeZoneInfo);
}

}  // namespace
}  // namespace qx
