// The reply tail: caching headers for cacheable and other replies, HTTPS, headers already
// set, the last-modified date and the length of a body stream.
#include "server/ReplyTail.h"

#include <gtest/gtest.h>

#include "ServerFixture.h"
#include "runtime/HttpDate.h"

namespace qx {
namespace {

using test::TestRequest;

constexpr TDateTime kNow = 46000.5;  // a fixed moment, local time

TEST(ReplyTail, ACacheableReplyExpiresAfterTheCacheTime) {
  TestRequest r;
  r.Response().SetLastModified(kNow - 1.0);
  ReplyTail(r.Request(), r.Response(), true, 2, kNow);
  const TStringList& extra = r.Response().ExtraHeaders();
  EXPECT_EQ(extra.Values("Expires"), HttpDateFromLocal(kNow + 2.0 / kMinutesPerDay));
  EXPECT_EQ(extra.Values("Last-Modified"), HttpDateFromLocal(kNow - 1.0));
  EXPECT_EQ(extra.IndexOfName("Pragma"), -1);
  // The date moved into the extra header; the built-in line is not written as well.
  EXPECT_LE(r.Response().LastModified(), 0.0);
}

TEST(ReplyTail, AnyOtherReplyIsNotCachedAndLosesItsDate) {
  TestRequest r;
  r.Response().SetLastModified(kNow - 1.0);
  r.Response().ExtraHeaders().SetValue("Expires", "Thu, 1 Jan 2099 00:00:00 GMT");
  ReplyTail(r.Request(), r.Response(), false, 2, kNow);
  const TStringList& extra = r.Response().ExtraHeaders();
  EXPECT_EQ(extra.Values("Pragma"), "no-cache");
  EXPECT_EQ(extra.IndexOfName("Expires"), -1);
  EXPECT_EQ(extra.IndexOfName("Last-Modified"), -1);
}

TEST(ReplyTail, AnExpiresHeaderSetEarlierStaysOnACacheableReply) {
  TestRequest r;
  r.Response().ExtraHeaders().SetValue("Expires", "set by the handler");
  ReplyTail(r.Request(), r.Response(), true, 2, kNow);
  EXPECT_EQ(r.Response().ExtraHeaders().Values("Expires"), "set by the handler");
}

TEST(ReplyTail, HttpsRepliesCarryNoPragma) {
  TestRequest r;
  r.connection.SetVariable("HTTPS", "on");
  ReplyTail(r.Request(), r.Response(), false, 2, kNow);
  EXPECT_EQ(r.Response().ExtraHeaders().IndexOfName("Pragma"), -1);
}

TEST(ReplyTail, ABodyStreamIsRewoundAndGivesTheLength) {
  TestRequest r;
  auto stream = std::make_unique<TMemoryStream>(std::string(300, 'x'));
  stream->Seek(0, SeekOrigin::End);
  r.Response().SetContentStream(std::move(stream));
  r.Response().SetContentLength(0);
  ReplyTail(r.Request(), r.Response(), true, 2, kNow);
  EXPECT_EQ(r.Response().ContentLength(), 300);
  EXPECT_EQ(r.Response().ContentStream()->Position(), 0);
}

}  // namespace
}  // namespace qx
