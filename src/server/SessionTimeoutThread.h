// TSessionTimeoutThread ("Session Timeout"): sweeps the session registry once a minute and
// frees every session idle for longer than its time-out.
#pragma once

#include <chrono>

#include "server/IntervalThread.h"

namespace qx {

class TIWSessions;

class TSessionTimeoutThread : public TIntervalThread {
 public:
  static constexpr std::chrono::milliseconds kSweepInterval{60000};

  explicit TSessionTimeoutThread(TIWSessions& sessions,
                                 std::chrono::milliseconds interval = kSweepInterval)
      : TIntervalThread("Session Timeout", interval), sessions_(sessions) {}
  ~TSessionTimeoutThread() override { Stop(); }

  // One sweep: the expired sessions are unregistered under the registry's lock, then freed
  // outside it, each as the current application; failures while freeing are ignored.
  static void Sweep(TIWSessions& sessions);

 protected:
  void Run() override { Sweep(sessions_); }

 private:
  TIWSessions& sessions_;
};

}  // namespace qx
