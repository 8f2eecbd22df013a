// The web server: listens, runs the I/O threads and the worker threads, hands connections
// their work, and stops gracefully. Tests start and stop it in-process; main runs it until a
// signal arrives.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>

#include "host/Extension.h"
#include "host/HostContext.h"
#include "host/Options.h"
#include "host/WorkerPool.h"
#include "runtime/Exceptions.h"

namespace qx::host {

// The server cannot listen (address in use, bad address, no permission).
QX_EXCEPTION_CLASS(EServerStart, Exception);

class HttpServer {
 public:
  // The extension must outlive the server; the server calls its TerminateExtension at stop.
  HttpServer(HostOptions options, Extension& extension);
  // Stops if still running.
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and listens, then starts the threads. Fails with EServerStart.
  void Start();
  // The port actually bound (useful with port 0).
  std::uint16_t Port() const noexcept { return port_; }
  // Turns the per-request access log on standard error on or off (on by default).
  void SetAccessLog(bool on) noexcept { context_.SetAccessLogEnabled(on); }
  // Requests between a complete head and the end of their reply.
  unsigned RequestsInFlight() { return context_.RequestsInFlight(); }

  // Stops accepting, closes idle connections, waits up to the stop timeout for requests in
  // flight, calls TerminateExtension and joins the threads. Returns false when requests were
  // still running at the deadline: their threads are then left running (the caller should
  // end the process).
  bool Stop();

 private:
  void Accept();

  HostOptions options_;
  Extension& extension_;
  WorkerPool workers_;
  HostContext context_;
  // Declared after context_: connections still queued in the I/O context refer to it when
  // they are destroyed along with the context.
  boost::asio::io_context io_;
  std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> work_;
  boost::asio::strand<boost::asio::io_context::executor_type> acceptStrand_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::steady_timer acceptRetry_;
  std::vector<std::thread> ioThreads_;
  std::uint16_t port_ = 0;
  bool started_ = false;
  bool stopped_ = false;
};

}  // namespace qx::host
