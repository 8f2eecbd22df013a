// The built service library served by requestqx-host in the test process over loopback, beside
// an empty install database and a Files folder, with a browser's requests: a page, a post, a
// new session and the login screen's Accept.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ServiceClient.h"
#include "runtime/Files.h"
#include "support/HttpClient.h"
#include "support/LoadedLibrary.h"
#include "support/LoopbackHost.h"
#include "support/TempDir.h"

namespace qx {

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
  std::string AcceptFields(const std::string& appID, const std::string& text, int track) {
    return "EDTPASSWORD=" + text + "&IW_Action=BTNACEPTAR&IW_ActionParam=&IW_SessionID_=" + appID +
           "&IW_TrackID_=" + std::to_string(track);
  }

  test::TempDir dir_;
  test::LoopbackHost host_;
};

}  // namespace qx
