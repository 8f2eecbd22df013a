// The worker threads that call into the service library. Library calls may block (database,
// mail, reads and synchronous writes to the client), so they never run on the I/O threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
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

  // Hands a job to the worker that went idle last, or queues it when none is idle; queued jobs
  // start in the order queued. Jobs posted after Stop are dropped.
  void Post(std::function<void()> job);
  // Lets the queued jobs run, then joins every thread. Idempotent.
  void Stop();

 private:
  struct Worker {
    std::condition_variable wake;
    std::function<void()> job;  // handed over by Post while the worker is idle
  };

  void Run(Worker& worker);

  static constexpr std::chrono::seconds kReleaseMemoryAfter{2};

  std::mutex mutex_;  // guards queue_, idle_, stopping_ and every worker's job
  std::deque<std::function<void()>> queue_;
  // The idle workers, the one that went idle last at the back: it takes the next job, so the
  // few workers a light load needs keep their caches and their allocator's memory warm, where
  // waking them in turn would run every job on cold memory.
  std::vector<Worker*> idle_;
  bool stopping_ = false;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::vector<std::thread> threads_;
};

}  // namespace qx::host
