// The service behind requestqx-host over loopback: a whole session on one keep-alive
// connection, a proxy's forwarded address, and the internal pictures.
#include <gtest/gtest.h>

#include "HostService.h"

namespace qx {
namespace {

TEST_F(HostService, ASessionRunsOnOneKeepAliveConnection) {
  HttpClient client(host_.Port());
  ASSERT_TRUE(client.Connected());
  std::optional<HttpReply> root = Get(client, "/");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->Header("Location").value_or("").find("/RequestQX9"), 0u);

  const std::string appID = StartSession(client);
  ASSERT_EQ(appID.size(), 28u);
  std::optional<HttpReply> page = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "L%E1mpara", 1));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->Header("Content-Type"), "text/html; charset=windows-1252");
  EXPECT_NE(page->body.find("NAME=\"EDTPASSWORD\" VALUE=\"L\xE1" "mpara\""), std::string::npos);

  // The expired session's page is the host's own file.
  std::optional<HttpReply> stop = Get(client, "/RequestQX9/STOP/2/" + appID);
  ASSERT_TRUE(stop);
  std::optional<HttpReply> expired = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "x", 2));
  ASSERT_TRUE(expired);
  EXPECT_NE(expired->body.find("\"/files/SessionEnd.htm\""), std::string::npos);
  std::optional<HttpReply> end = Get(client, "/files/SessionEnd.htm");
  ASSERT_TRUE(end);
  EXPECT_EQ(end->body, "<p>Session ended</p>");
}

TEST_F(HostService, AForwardedAddressIsTheSessionsAddress) {
  HttpClient client(host_.Port());
  const std::string appID = StartSession(client);
  std::optional<HttpReply> foreign = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "a", 1),
                                          "X-Forwarded-For: 192.0.2.44\r\n");
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->status, 500);
  EXPECT_NE(foreign->body.find("The IP you are using is different"), std::string::npos);
  std::optional<HttpReply> own = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "b", 1));
  ASSERT_TRUE(own);
  EXPECT_EQ(own->status, 200);
  EXPECT_NE(own->body.find("NAME=\"EDTPASSWORD\" VALUE=\"b\""), std::string::npos);
}

TEST_F(HostService, PicturesAnswerConditionalRequests) {
  HttpClient client(host_.Port());
  std::optional<HttpReply> gif = Get(client, "/RequestQX9/gfx/Tp.gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->status, 200);
  EXPECT_EQ(gif->Header("Content-Type"), "image/gif");
  std::optional<std::string> modified = gif->Header("Last-Modified");
  ASSERT_TRUE(modified);
  std::optional<HttpReply> again = Get(client, "/RequestQX9/gfx/Tp.gif", "If-Modified-Since: " + *modified + "\r\n");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->status, 304);
  EXPECT_EQ(again->body, "");
}

}  // namespace
}  // namespace qx
