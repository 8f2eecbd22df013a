// The service behind a real nginx on loopback with the site make install ships: pages, posts
// and /files/ go through it, the session is bound to the address nginx saw, and a client that
// names another address in its own headers cannot take that address's session. nginx runs as
// a child of the test with its own configuration and folders (its workers as nobody when the
// test runs as root).
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "HostService.h"
#include "support/ChildProcess.h"
#include "support/LoopbackPort.h"

namespace qx {
namespace {

constexpr const char* kNginx = "/usr/sbin/nginx";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class ProxyTest : public HostService {
 protected:
  void SetUp() override {
    if (::access(kNginx, X_OK) != 0) {
      if (::geteuid() != 0) GTEST_SKIP() << "nginx is not installed";
      FAIL() << "nginx is missing: scripts/setup.sh installs it";
    }
    HostService::SetUp();
    const std::string prefix = dir_ / "nginx/";
    ASSERT_TRUE(ForceDirectories(prefix + "tmp"));
    // The shipped site, listening on a free loopback port and proxying to this test's host.
    std::ifstream shipped(QX_SOURCE_DIR "/deploy/nginx/requestqx.conf");
    std::stringstream site;
    site << shipped.rdbuf();
    std::string text = Replaced(site.str(), "    listen [::]:80;\n", "");
    port_ = test::UnusedLoopbackPort();
    text = Replaced(text, "listen 80;", "listen 127.0.0.1:" + std::to_string(port_) + ";");
    text = Replaced(text, "127.0.0.1:8081", "127.0.0.1:" + std::to_string(host_.Port()));
    ASSERT_TRUE(WriteFileBytes(prefix + "site.conf", text));
    std::string workers;
    if (::geteuid() == 0) {
      // Workers as nobody need to pass through the test's folder to their temporary files.
      ::chmod(dir_.path().c_str(), 0755);
      workers = "user nobody nogroup;\n";
    }
    ASSERT_TRUE(WriteFileBytes(prefix + "nginx.conf",
        workers + "daemon off;\nworker_processes 1;\npid " + prefix + "nginx.pid;\n"
        "error_log " + prefix + "error.log warn;\nevents { worker_connections 64; }\n"
        "http {\n  access_log " + prefix + "access.log;\n"
        "  client_body_temp_path " + prefix + "tmp/body;\n  proxy_temp_path " + prefix + "tmp/proxy;\n"
        "  fastcgi_temp_path " + prefix + "tmp/fastcgi;\n  uwsgi_temp_path " + prefix + "tmp/uwsgi;\n"
        "  scgi_temp_path " + prefix + "tmp/scgi;\n  include " + prefix + "site.conf;\n}\n"));
    nginx_ = std::make_unique<test::ChildProcess>(
        kNginx, std::vector<std::string>{"-p", prefix, "-e", prefix + "error.log", "-c",
                                         prefix + "nginx.conf"});
    for (int i = 0; i < 200; ++i) {
      if (test::HttpClient(port_).Connected()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    FAIL() << "nginx did not start: " << ReadFileBytes(prefix + "error.log").value_or("");
  }
  void TearDown() override {
    if (nginx_) {
      // A fast stop of the master ends its workers too.
      ::kill(nginx_->Pid(), SIGTERM);
      EXPECT_EQ(nginx_->Wait(), 0) << nginx_->Err();
    }
    if (host_.server) HostService::TearDown();
  }

  int port_ = 0;
  std::unique_ptr<test::ChildProcess> nginx_;
};

TEST_F(ProxyTest, TheSessionKeepsTheAddressNginxSaw) {
  HttpClient client(static_cast<std::uint16_t>(port_), "127.0.0.2");
  std::optional<HttpReply> root = Get(client, "/");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->status, 302);
  EXPECT_EQ(root->Header("Location"), "/RequestQX9");
  std::optional<HttpReply> end = Get(client, "/files/SessionEnd.htm");
  ASSERT_TRUE(end);
  EXPECT_EQ(end->body, "<p>Session ended</p>");

  const std::string appID = StartSession(client);
  ASSERT_EQ(appID.size(), 28u);
  std::optional<HttpReply> page = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "L%E1mpara", 1));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("NAME=\"EDTPASSWORD\" VALUE=\"L\xE1" "mpara\""), std::string::npos);

  // Another address, plain or naming the session's own address in every header a client
  // could try, is refused and leaves the session as it was.
  HttpClient other(static_cast<std::uint16_t>(port_), "127.0.0.3");
  for (const std::string& claims :
       {std::string(), std::string("X-Forwarded-For: 127.0.0.2\r\nX-Real-IP: 127.0.0.2\r\n"
                                   "Client-IP: 127.0.0.2\r\n")}) {
    std::optional<HttpReply> foreign =
        Post(other, "/RequestQX9/EXEC", AcceptFields(appID, "taken", 2), claims);
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->status, 500) << claims;
    EXPECT_NE(foreign->body.find("The IP you are using is different"), std::string::npos);
  }
  std::optional<HttpReply> own = Post(client, "/RequestQX9/EXEC", AcceptFields(appID, "mine", 2));
  ASSERT_TRUE(own);
  EXPECT_EQ(own->status, 200);
  EXPECT_NE(own->body.find("NAME=\"EDTPASSWORD\" VALUE=\"mine\""), std::string::npos);
}

}  // namespace
}  // namespace qx
