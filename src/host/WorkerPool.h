// The worker threads that call into the service library. Library calls may block (database,
// mail, reads and synchronous writes to the client), so they never run on the I/O threads.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qx::host {

class WorkerPool {
 public:
  explicit WorkerPool(unsigned threads);
  // Stops and joins (see Stop).
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Queues a job; jobs start in the order queued. Jobs posted after Stop are dropped.
  void Post(std::function<void()> job);
  // Lets the queued jobs run, then joins every thread. Idempotent.
  void Stop();

 private:
  void Run();

  std::mutex mutex_;  // guards queue_ and stopping_
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace qx::host
