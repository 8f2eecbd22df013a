// Test fixtures of the server layer: a started-enough controller in a folder of its own with
// the process-wide session registry, a request/response pair over an in-memory connection,
// a response's body and whether a session's lock is free.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "entry/ISAPIRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Files.h"
#include "runtime/Streams.h"
#include "server/InternalFiles.h"
#include "server/ServerControllerBase.h"
#include "server/Sessions.h"
#include "support/InMemoryConnection.h"
#include "support/TempDir.h"

namespace qx::test {

// A request served by an in-memory connection; configure `connection` before the first call
// of Request() or Response().
class TestRequest {
 public:
  InMemoryConnection connection;

  TISAPIRequest& Request() {
    if (!request_) {
      request_ = std::make_unique<TISAPIRequest>(*connection.Block());
      response_ = std::make_unique<TISAPIResponse>(*request_);
    }
    return *request_;
  }
  TISAPIResponse& Response() {
    Request();
    return *response_;
  }

 private:
  std::unique_ptr<TISAPIRequest> request_;
  std::unique_ptr<TISAPIResponse> response_;
};

// The body a response holds, as text or as a stream.
inline std::string BodyOf(TWebResponse& response) {
  if (!response.ContentStream()) return response.Content();
  response.ContentStream()->SetPosition(0);
  return response.ContentStream()->ReadRest();
}

// Whether another thread could take the session's lock right now.
inline bool LockIsFree(IIWApplication& session) {
  bool free = false;
  std::thread([&] {
    free = session.Lock().TryLock();
    if (free) session.Lock().Unlock();
  }).join();
  return free;
}

// A controller with its files, cache and template folders inside a temporary library folder,
// the internal files registered and a fresh session registry. The controller's shut-down frees
// the registry again when the test ends.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controller_ = std::make_unique<TIWServerControllerBase>(lib_ / "RequestQX9.so");
    controller_->SetCacheDir(lib_ / "Cache");
    controller_->SetTemplateDir(lib_ / "Templates/");
    controller_->SetDescription("Requests Service for the QX9");
    ASSERT_TRUE(ForceDirectories(controller_->FilesDir()));
    ASSERT_TRUE(ForceDirectories(controller_->CacheDir()));
    RegisterInternalFiles();
    CreateSessionRegistry();
  }
  void TearDown() override { controller_.reset(); }

  TIWServerControllerBase& Controller() { return *controller_; }
  TIWSessions& Sessions() { return *GSessions(); }

  TempDir lib_;
  std::unique_ptr<TIWServerControllerBase> controller_;
};

}  // namespace qx::test
