// Shared server state: trusted proxies, in-flight request count, live connections.
#include "host/HostContext.h"

#include <algorithm>

#include <boost/asio/ip/address.hpp>

#include "runtime/Files.h"

namespace qx::host {

HostContext::HostContext(const HostOptions& options, const Extension& extension,
                         WorkerPool& workers)
    : options_(options),
      extension_(extension),
      workers_(workers),
      files_(options.filesRoot, ExtractFilePath(extension.Path()).empty()
                                    ? std::string("./")
                                    : ExtractFilePath(extension.Path())) {
  for (const auto& text : options.trustedProxies) {
    boost::system::error_code ec;
    auto address = boost::asio::ip::make_address(text, ec);
    if (!ec) trusted_.push_back(address.to_string());
  }
}

bool HostContext::IsTrustedProxy(const std::string& address) const {
  return std::find(trusted_.begin(), trusted_.end(), address) != trusted_.end();
}

void HostContext::RequestStarted() {
  std::lock_guard lock(requestMutex_);
  ++inFlight_;
}

void HostContext::RequestFinished() {
  std::lock_guard lock(requestMutex_);
  if (inFlight_ > 0 && --inFlight_ == 0) idle_.notify_all();
}

bool HostContext::WaitForIdle(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(requestMutex_);
  return idle_.wait_until(lock, deadline, [this] { return inFlight_ == 0; });
}

unsigned HostContext::RequestsInFlight() {
  std::lock_guard lock(requestMutex_);
  return inFlight_;
}

void HostContext::AddConnection(Connection* key, std::weak_ptr<Connection> connection) {
  std::lock_guard lock(connectionMutex_);
  connections_.emplace(key, std::move(connection));
}

void HostContext::RemoveConnection(Connection* key) {
  std::lock_guard lock(connectionMutex_);
  connections_.erase(key);
}

std::vector<std::shared_ptr<Connection>> HostContext::Connections() {
  std::lock_guard lock(connectionMutex_);
  std::vector<std::shared_ptr<Connection>> live;
  live.reserve(connections_.size());
  for (auto& [key, weak] : connections_) {
    if (auto c = weak.lock()) live.push_back(std::move(c));
  }
  return live;
}

std::size_t HostContext::ConnectionCount() {
  std::lock_guard lock(connectionMutex_);
  return connections_.size();
}

}  // namespace qx::host
