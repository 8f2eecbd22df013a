// The interval thread's loop: wait one interval (ended early by a stop request), run, repeat.
#include "server/IntervalThread.h"

#include <pthread.h>

#include "entry/ServerControllerClass.h"

namespace qx {

TIntervalThread::~TIntervalThread() { Stop(); }

void TIntervalThread::Start() {
  if (thread_.joinable()) return;
  thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
  ::pthread_setname_np(thread_.native_handle(), name_.substr(0, 15).c_str());
}

void TIntervalThread::Stop() noexcept {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void TIntervalThread::Loop(std::stop_token stop) {
  for (;;) {
    {
      std::unique_lock lock(waitLock_);
      // Returns early, with the stop requested, when Stop() is called.
      wake_.wait_for(lock, stop, interval_, [] { return false; });
    }
    if (stop.stop_requested()) return;
    try {
      Run();
    } catch (...) {
      // A failed run changes nothing and the next one tries again; the log keeps its reason.
      LogCurrentFailure(name_);
    }
  }
}

}  // namespace qx
