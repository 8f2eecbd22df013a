// A server controller for the entry layer's tests: its cache folder is a test's own folder,
// and the failures it is asked to log are kept for the test to read.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "entry/ServerControllerClass.h"

namespace qx::test {

class TestController : public TCustomServerController {
 public:
  explicit TestController(std::string cacheDir) : cacheDir_(std::move(cacheDir)) {}
  std::string CacheDir() const override { return cacheDir_; }

  void LogFailure(std::string_view text) const noexcept override {
    std::lock_guard guard(lock_);
    failures_.emplace_back(text);
  }
  std::vector<std::string> Failures() const {
    std::lock_guard guard(lock_);
    return failures_;
  }

 private:
  std::string cacheDir_;
  mutable std::mutex lock_;
  mutable std::vector<std::string> failures_;
};

}  // namespace qx::test
