// What every connection of one server shares: options, the loaded library, the worker
// threads, the public files, the trusted proxies, and the bookkeeping a stop waits on.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/Extension.h"
#include "host/Options.h"
#include "host/StaticFiles.h"
#include "host/WorkerPool.h"

namespace qx::host {

class Connection;

class HostContext {
 public:
  HostContext(const HostOptions& options, const Extension& extension, WorkerPool& workers);

  const HostOptions& Options() const noexcept { return options_; }
  const Extension& Library() const noexcept { return extension_; }
  WorkerPool& Workers() noexcept { return workers_; }
  const StaticFiles& Files() const noexcept { return files_; }
  bool AccessLogEnabled() const noexcept { return accessLog_; }
  void SetAccessLogEnabled(bool on) noexcept { accessLog_ = on; }

  // Whether X-Forwarded-For and Client-IP from this peer address may reach the library.
  bool IsTrustedProxy(const std::string& address) const;

  bool Stopping() const noexcept { return stopping_.load(std::memory_order_acquire); }
  void SetStopping() noexcept { stopping_.store(true, std::memory_order_release); }

  // Requests between a complete head and the end of their reply. Guarded by requestMutex_.
  void RequestStarted();
  void RequestFinished();
  // True when no request is in flight, waiting until `deadline` at most.
  bool WaitForIdle(std::chrono::steady_clock::time_point deadline);
  unsigned RequestsInFlight();

  // Live connections, for stopping them. Guarded by connectionMutex_ (never held while a
  // connection's own work runs).
  void AddConnection(Connection* key, std::weak_ptr<Connection> connection);
  void RemoveConnection(Connection* key);
  std::vector<std::shared_ptr<Connection>> Connections();
  std::size_t ConnectionCount();

 private:
  const HostOptions& options_;
  const Extension& extension_;
  WorkerPool& workers_;
  StaticFiles files_;
  std::vector<std::string> trusted_;
  bool accessLog_ = true;
  std::atomic<bool> stopping_{false};

  std::mutex requestMutex_;
  std::condition_variable idle_;
  unsigned inFlight_ = 0;

  std::mutex connectionMutex_;
  std::unordered_map<Connection*, std::weak_ptr<Connection>> connections_;
};

}  // namespace qx::host
