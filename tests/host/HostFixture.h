// Starts requestqx-host in-process on a port chosen by the system, with the test extension
// and a Files folder of its own; stops it (and checks the stop was clean) at the end.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "TestExtension.h"
#include "runtime/Files.h"
#include "support/HttpClient.h"
#include "support/LoopbackHost.h"
#include "support/TempDir.h"

namespace qx::test {

// The bytes the test extension generates (and tests send): byte i of a pattern.
inline std::string Pattern(std::size_t n, std::size_t from = 0) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + ((from + i) * 7 + (from + i) / 1024) % 26);
  return s;
}

// The checksum the test extension's /body reports.
inline std::string Hash(const std::string& body) {
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : body) hash = (hash ^ c) * 1099511628211ull;
  return std::to_string(hash);
}

// The test extension's own hooks, looked up in the copy the host loaded.
struct ExtensionHooks {
  TestExtensionStatsGetFn stats = nullptr;
  TestExtensionResetFn reset = nullptr;
  TestExtensionWaitParkedFn waitParked = nullptr;
  TestExtensionReleaseParkedFn releaseParked = nullptr;
  TestExtensionWaitDoneFn waitDone = nullptr;

  static ExtensionHooks Load() {
    ExtensionHooks h;
    void* handle = ::dlopen(QX_TEST_EXTENSION, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return h;
    h.stats = reinterpret_cast<TestExtensionStatsGetFn>(::dlsym(handle, "TestExtensionStatsGet"));
    h.reset = reinterpret_cast<TestExtensionResetFn>(::dlsym(handle, "TestExtensionReset"));
    h.waitParked =
        reinterpret_cast<TestExtensionWaitParkedFn>(::dlsym(handle, "TestExtensionWaitParked"));
    h.releaseParked = reinterpret_cast<TestExtensionReleaseParkedFn>(
        ::dlsym(handle, "TestExtensionReleaseParked"));
    h.waitDone = reinterpret_cast<TestExtensionWaitDoneFn>(::dlsym(handle, "TestExtensionWaitDone"));
    ::dlclose(handle);  // drops only the reference taken here
    return h;
  }
  TestExtensionStats Stats() const {
    TestExtensionStats s{};
    stats(&s);
    return s;
  }
};

class HostFixture : public ::testing::Test {
 protected:
  // Tests adjust options_ before calling StartHost().
  void SetUp() override {
    ForceDirectories(dir_.path() + "Files");
    options_ = LoopbackOptions(QX_TEST_EXTENSION, dir_.path() + "Files", 2);
  }

  // Loads the extension, resets its counters, then serves it.
  void StartHost() {
    host_.Load(options_);
    hooks_ = ExtensionHooks::Load();
    ASSERT_NE(hooks_.stats, nullptr);
    hooks_.reset();
    host_.Serve();
  }

  void TearDown() override { EXPECT_TRUE(host_.Stop()) << "requests were still in flight at the stop"; }

  std::uint16_t Port() const { return host_.Port(); }
  void WriteFile(const std::string& name, const std::string& bytes) {
    ForceDirectories(ExtractFilePath(dir_.path() + "Files/" + name));
    ASSERT_TRUE(WriteFileBytes(dir_.path() + "Files/" + name, bytes));
  }

  TempDir dir_;
  host::HostOptions options_;
  LoopbackHost host_;
  ExtensionHooks hooks_;
};

}  // namespace qx::test
