// TIWFlexLock: a session's lock. Re-entrant, so the thread that holds it may take it again,
// with a try-lock so that a lookup can refuse to wait while it holds the registry's lock.
#pragma once

#include <mutex>

namespace qx {

class TIWFlexLock {
 public:
  void Lock() { mutex_.lock(); }
  // Takes the lock when it is free or already held by this thread; never waits.
  bool TryLock() { return mutex_.try_lock(); }
  void Unlock() { mutex_.unlock(); }

  // The standard names, so that std::unique_lock and std::scoped_lock work with it.
  void lock() { Lock(); }
  bool try_lock() { return TryLock(); }
  void unlock() { Unlock(); }

 private:
  std::recursive_mutex mutex_;
};

}  // namespace qx
