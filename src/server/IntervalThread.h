// TIntervalThread: a named background thread that runs one piece of work at a fixed interval
// until it is asked to stop. The session time-out and cache purge threads are made of it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qx {

class TIntervalThread {
 public:
  TIntervalThread(const TIntervalThread&) = delete;
  TIntervalThread& operator=(const TIntervalThread&) = delete;

  // Starts the thread; the first run comes one interval later.
  void Start();
  // Asks the thread to stop and waits for its end (a run under way finishes first). The wait
  // between runs ends at once. Derived classes call it in their destructors, before the
  // members their runs use are gone.
  void Stop() noexcept;
  bool Running() const noexcept { return thread_.joinable(); }
  std::chrono::milliseconds Interval() const noexcept { return interval_; }

 protected:
  // `name` is the thread's system name (at most 15 characters are kept).
  TIntervalThread(std::string name, std::chrono::milliseconds interval)
      : name_(std::move(name)), interval_(interval) {}
  virtual ~TIntervalThread();

  // One run. A failure that escapes it is written to the service's log under the thread's
  // name; the next run comes as usual.
  virtual void Run() = 0;

 private:
  void Loop(std::stop_token stop);

  std::string name_;
  std::chrono::milliseconds interval_;
  std::mutex waitLock_;
  std::condition_variable_any wake_;
  std::jthread thread_;
};

}  // namespace qx
