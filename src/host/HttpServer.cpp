// Listening, accepting with the connection cap, the I/O threads, and the graceful stop.
#include "host/HttpServer.h"

#include <pthread.h>

#include <boost/asio/post.hpp>

#include "host/Connection.h"
#include "runtime/Format.h"

namespace qx::host {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

constexpr const char* kCannotListen = "cannot listen on %s port %d: %s";
// After an accept failure such as running out of descriptors, wait before the next try
// instead of spinning.
constexpr auto kAcceptRetryDelay = std::chrono::milliseconds(50);
// After the stop deadline, how long closed connections get to let their requests end.
constexpr auto kAbortGrace = std::chrono::seconds(2);

}  // namespace

HttpServer::HttpServer(HostOptions options, Extension& extension)
    : options_(std::move(options)),
      extension_(extension),
      workers_(options_.workers),
      context_(options_, extension_, workers_),
      acceptStrand_(asio::make_strand(io_)),
      acceptor_(acceptStrand_),
      acceptRetry_(acceptStrand_) {}

HttpServer::~HttpServer() {
  if (started_) Stop();
}

void HttpServer::Start() {
  boost::system::error_code ec;
  auto address = asio::ip::make_address(options_.bindAddress, ec);
  tcp::endpoint endpoint(address, options_.port);
  auto fail = [&](const boost::system::error_code& e) {
    throw EServerStart(Format(kCannotListen, {options_.bindAddress, options_.port, e.message()}));
  };
  if (ec) fail(ec);
  acceptor_.open(endpoint.protocol(), ec);
  if (ec) fail(ec);
  acceptor_.set_option(tcp::acceptor::reuse_address(true), ec);
  acceptor_.bind(endpoint, ec);
  if (ec) fail(ec);
  acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) fail(ec);
  port_ = acceptor_.local_endpoint().port();

  work_.emplace(io_.get_executor());
  for (unsigned i = 0; i < options_.ioThreads; ++i) {
    ioThreads_.emplace_back([this] { io_.run(); });
    ::pthread_setname_np(ioThreads_.back().native_handle(), "qx-io");
  }
  started_ = true;
  asio::post(acceptStrand_, [this] { Accept(); });
}

void HttpServer::Accept() {
  if (!acceptor_.is_open()) return;
  acceptor_.async_accept(
      asio::make_strand(io_), [this](boost::system::error_code ec, StrandSocket socket) {
        if (ec == asio::error::operation_aborted || !acceptor_.is_open()) return;
        if (ec) {
          // Out of descriptors or a connection reset while queued: try again shortly.
          acceptRetry_.expires_after(kAcceptRetryDelay);
          acceptRetry_.async_wait([this](boost::system::error_code e) {
            if (!e) Accept();
          });
          return;
        }
        bool overloaded = context_.ConnectionCount() >= options_.maxConnections;
        std::make_shared<Connection>(context_, std::move(socket))->Start(overloaded);
        Accept();
      });
}

bool HttpServer::Stop() {
  if (!started_ || stopped_) return true;
  stopped_ = true;
  context_.SetStopping();
  asio::post(acceptStrand_, [this] {
    boost::system::error_code ec;
    acceptor_.close(ec);
    acceptRetry_.cancel();
  });
  for (auto& connection : context_.Connections()) connection->Shutdown();

  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options_.stopTimeoutSeconds);
  bool clean = context_.WaitForIdle(deadline);
  if (!clean) {
    for (auto& connection : context_.Connections()) connection->Abort();
    clean = context_.WaitForIdle(std::chrono::steady_clock::now() + kAbortGrace);
  }
  extension_.Terminate();
  if (!clean) return false;

  workers_.Stop();
  for (auto& connection : context_.Connections()) connection->Abort();
  work_.reset();
  io_.stop();
  for (auto& t : ioThreads_) t.join();
  return true;
}

}  // namespace qx::host
