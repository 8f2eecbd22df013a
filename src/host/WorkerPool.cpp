// A fixed set of named threads: a job goes to the worker idle the shortest time, or waits in
// one queue for the first worker done.
#include "host/WorkerPool.h"

#include <pthread.h>

#include <chrono>

#include "host/ThreadMemory.h"

namespace qx::host {

WorkerPool::WorkerPool(unsigned threads) {
  workers_.reserve(threads);
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) {
    Worker& worker = *workers_.emplace_back(std::make_unique<Worker>());
    threads_.emplace_back([this, &worker] { Run(worker); });
    ::pthread_setname_np(threads_.back().native_handle(), "qx-worker");
  }
}

WorkerPool::~WorkerPool() { Stop(); }

void WorkerPool::Post(std::function<void()> job) {
  std::unique_lock lock(mutex_);
  if (stopping_) return;
  if (idle_.empty()) {
    queue_.push_back(std::move(job));
    return;
  }
  Worker* worker = idle_.back();
  idle_.pop_back();
  worker->job = std::move(job);
  lock.unlock();
  worker->wake.notify_one();
}

void WorkerPool::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (Worker* worker : idle_) worker->wake.notify_one();
  }
  for (auto& t : threads_) {
    if (t.joinable()) t.join();
  }
}

void WorkerPool::Run(Worker& worker) {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      if (!queue_.empty()) {
        job = std::move(queue_.front());
        queue_.pop_front();
      } else if (stopping_) {
        return;
      } else {
        idle_.push_back(&worker);
        // A worker idle for a while gives back what its allocator keeps for it alone; idle, it
        // frees nothing more, so once per idle spell is enough.
        const auto woken = [&] { return worker.job || stopping_; };
        if (!worker.wake.wait_for(lock, kReleaseMemoryAfter, woken)) {
          lock.unlock();
          ReleaseIdleThreadMemory();
          lock.lock();
          worker.wake.wait(lock, woken);
        }
        if (!worker.job) return;  // stopping: the queue is empty, or it would not be idle
        job = std::move(worker.job);
        worker.job = nullptr;
      }
    }
    job();
  }
}

}  // namespace qx::host
