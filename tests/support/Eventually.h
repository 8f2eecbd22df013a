// Waiting for what another thread or process makes true, with a limit so that a fault fails
// the test instead of hanging it.
#pragma once

#include <chrono>
#include <thread>

namespace qx::test {

// Polls `condition` every few milliseconds; false when it is still false after `limit`.
template <class F>
bool Eventually(F condition, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace qx::test
