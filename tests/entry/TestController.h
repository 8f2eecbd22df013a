// A server controller for the entry layer's tests: its cache folder is a test's own folder.
#pragma once

#include <string>

#include "entry/ServerControllerClass.h"

namespace qx::test {

class TestController : public TCustomServerController {
 public:
  explicit TestController(std::string cacheDir) : cacheDir_(std::move(cacheDir)) {}
  std::string CacheDir() const override { return cacheDir_; }

 private:
  std::string cacheDir_;
};

}  // namespace qx::test
