// The worker pool: who takes a job, in what order queued jobs start, and what Stop lets run.
#include "host/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <latch>
#include <set>
#include <vector>

namespace qx::host {
namespace {

std::thread::id RunOne(WorkerPool& pool) {
  std::promise<std::thread::id> ran;
  pool.Post([&] { ran.set_value(std::this_thread::get_id()); });
  return ran.get_future().get();
}

TEST(WorkerPoolTest, AJobGoesToTheWorkerIdleTheShortestTime) {
  WorkerPool pool(8);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // every worker idle
  const std::thread::id first = RunOne(pool);
  // One job at a time: each finds the worker that ran the one before it, not the next in turn.
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // it has gone idle again
    EXPECT_EQ(RunOne(pool), first);
  }
}

TEST(WorkerPoolTest, QueuedJobsStartInOrderAndStopRunsThemAll) {
  std::vector<int> order;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  {
    WorkerPool pool(1);
    std::promise<void> busy;
    pool.Post([&] {
      busy.set_value();
      released.wait();
    });
    busy.get_future().wait();  // the one worker held: what comes now queues
    for (int i = 0; i < 50; ++i) pool.Post([&, i] { order.push_back(i); });
    release.set_value();
    pool.Stop();
    pool.Post([&] { order.push_back(-1); });  // after Stop: dropped
  }
  std::vector<int> expected(50);
  for (int i = 0; i < 50; ++i) expected[i] = i;
  EXPECT_EQ(order, expected);
}

TEST(WorkerPoolTest, EveryWorkerRunsJobsAtOnceUnderLoad) {
  WorkerPool pool(4);
  std::latch all(4);
  std::set<std::thread::id> threads;
  std::mutex mutex;
  for (int i = 0; i < 4; ++i)
    pool.Post([&] {
      {
        std::lock_guard lock(mutex);
        threads.insert(std::this_thread::get_id());
      }
      all.arrive_and_wait();  // returns only when four run together
    });
  pool.Stop();
  EXPECT_EQ(threads.size(), 4u);
}

}  // namespace
}  // namespace qx::host
