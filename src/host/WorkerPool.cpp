// A fixed set of named threads taking jobs from one queue.
#include "host/WorkerPool.h"

#include <pthread.h>

namespace qx::host {

WorkerPool::WorkerPool(unsigned threads) {
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) {
    threads_.emplace_back([this] { Run(); });
    ::pthread_setname_np(threads_.back().native_handle(), "qx-worker");
  }
}

WorkerPool::~WorkerPool() { Stop(); }

void WorkerPool::Post(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    queue_.push_back(std::move(job));
  }
  ready_.notify_one();
}

void WorkerPool::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  ready_.notify_all();
  for (auto& t : threads_) {
    if (t.joinable()) t.join();
  }
}

void WorkerPool::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping and nothing left
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job();
  }
}

}  // namespace qx::host
