// The service behind requestqx-host over loopback: a whole session on one keep-alive
// connection, a proxy's forwarded address, and the internal pictures.
#include <gtest/gtest.h>

#include <filesystem>

#include "ServiceClient.h"
#include "runtime/Files.h"
#include "support/HttpClient.h"
#include "support/LoadedLibrary.h"
#include "support/LoopbackHost.h"
#include "support/TempDir.h"

namespace qx {
namespace {

using test::Capture;
using test::HttpClient;
using test::HttpReply;

class HostService : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(test::BuiltLibraryFile(), dir_ / "RequestQX9.so");
    test::CreateInstallDatabase(dir_.path());
    ASSERT_TRUE(ForceDirectories(dir_ / "Files"));
    ASSERT_TRUE(WriteFileBytes(dir_ / "Files/SessionEnd.htm", "<p>Session ended</p>"));
    host_.Start(test::LoopbackOptions(dir_ / "RequestQX9.so", dir_ / "Files", 1));
  }
  void TearDown() override { EXPECT_TRUE(host_.Stop()); }

  std::optional<HttpReply> Post(HttpClient& client, const std::string& target,
                                const std::string& fields, const std::string& extra = {}) {
    client.Send("POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " +
                test::kChromeAgent + "\r\n" + extra +
                "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                std::to_string(fields.size()) + "\r\n\r\n" + fields);
    return client.Read();
  }
  std::optional<HttpReply> Get(HttpClient& client, const std::string& target,
                               const std::string& extra = {}) {
    return client.Get(target, std::string("User-Agent: ") + test::kChromeAgent + "\r\n" + extra);
  }
  // A session started on `client`: its id after the probe post.
  std::string StartSession(HttpClient& client, const std::string& extra = {}) {
    std::optional<HttpReply> probe = Get(client, "/RequestQX9", extra);
    EXPECT_TRUE(probe);
    if (!probe) return {};
    const std::string appID = Capture(probe->body, "name=\"IW_SessionID_\" value=\"([0-9a-z]*)\"");
    std::optional<HttpReply> page =
        Post(client, "/RequestQX9/EXEC",
             "IW_width=900&IW_height=500&IW_SessionID_=" + appID + "&IW_TrackID_=0", extra);
    EXPECT_TRUE(page && page->status == 200);
    return appID;
  }
  std::string CopyFields(const std::string& appID, const std::string& text, int track) {
    return "EDTTEXT=" + text + "&IW_Action=BTNCOPY&IW_ActionParam=&IW_SessionID_=" + appID +
           "&IW_TrackID_=" + std::to_string(track);
  }

  test::TempDir dir_;
  test::LoopbackHost host_;
};

TEST_F(HostService, ASessionRunsOnOneKeepAliveConnection) {
  HttpClient client(host_.Port());
  ASSERT_TRUE(client.Connected());
  std::optional<HttpReply> root = Get(client, "/");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->Header("Location").value_or("").find("/RequestQX9"), 0u);

  const std::string appID = StartSession(client);
  ASSERT_EQ(appID.size(), 28u);
  std::optional<HttpReply> page = Post(client, "/RequestQX9/EXEC", CopyFields(appID, "L%E1mpara", 1));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->Header("Content-Type"), "text/html; charset=windows-1252");
  EXPECT_NE(page->body.find("ID=\"LBLECHO\">L\xE1" "mpara</span>"), std::string::npos);

  // The expired session's page is the host's own file.
  std::optional<HttpReply> stop = Get(client, "/RequestQX9/STOP/2/" + appID);
  ASSERT_TRUE(stop);
  std::optional<HttpReply> expired = Post(client, "/RequestQX9/EXEC", CopyFields(appID, "x", 2));
  ASSERT_TRUE(expired);
  EXPECT_NE(expired->body.find("\"/files/SessionEnd.htm\""), std::string::npos);
  std::optional<HttpReply> end = Get(client, "/files/SessionEnd.htm");
  ASSERT_TRUE(end);
  EXPECT_EQ(end->body, "<p>Session ended</p>");
}

TEST_F(HostService, AForwardedAddressIsTheSessionsAddress) {
  HttpClient client(host_.Port());
  const std::string appID = StartSession(client);
  std::optional<HttpReply> foreign = Post(client, "/RequestQX9/EXEC", CopyFields(appID, "a", 1),
                                          "X-Forwarded-For: 192.0.2.44\r\n");
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->status, 500);
  EXPECT_NE(foreign->body.find("The IP you are using is different"), std::string::npos);
  std::optional<HttpReply> own = Post(client, "/RequestQX9/EXEC", CopyFields(appID, "b", 1));
  ASSERT_TRUE(own);
  EXPECT_EQ(own->status, 200);
  EXPECT_NE(own->body.find("ID=\"LBLECHO\">b</span>"), std::string::npos);
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
