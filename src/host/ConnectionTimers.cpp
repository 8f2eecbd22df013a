// A connection's time limits, its close, and the linger after a reply that closes it.
#include "host/Connection.h"

#include <boost/asio/buffer.hpp>

#include "host/ConnectionShared.h"
#include "host/HostContext.h"

namespace qx::host {

using namespace connection;

namespace {

// After a reply that closes the connection, what the client still sends is read and dropped
// for this long, so that its unread data cannot reset the connection before the reply
// arrives.
constexpr unsigned kLingerSeconds = 2;
constexpr std::size_t kLingerBytes = 1024 * 1024;
constexpr std::size_t kScratchBytes = 16 * 1024;

}  // namespace

// Arming only moves a deadline; the one timer wakes at most once per deadline and re-arms
// itself, so that the usual read-then-write of every request costs no timer operations.
void Connection::Arm(unsigned seconds, bool closeOnExpiry) {
  timedOut_ = false;
  closeOnExpiry_ = closeOnExpiry;
  deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  if (timerRunning_ && timer_.expiry() <= deadline_) return;
  StartTimer();
}

void Connection::Disarm() { deadline_ = std::chrono::steady_clock::time_point::max(); }

void Connection::StartTimer() {
  timerRunning_ = true;
  timer_.expires_at(deadline_);
  timer_.async_wait([self = shared_from_this(), generation = ++timerGeneration_](
                        boost::system::error_code ec) { self->OnTimer(ec, generation); });
}

void Connection::OnTimer(boost::system::error_code ec, std::uint64_t generation) {
  if (generation != timerGeneration_) return;  // replaced by an earlier deadline
  timerRunning_ = false;
  if (ec || state_ == State::kClosed) return;
  if (deadline_ == std::chrono::steady_clock::time_point::max()) return;  // disarmed
  if (std::chrono::steady_clock::now() < deadline_) return StartTimer();
  Disarm();
  timedOut_ = true;
  if (closeOnExpiry_) return CloseSocket();
  boost::system::error_code ignored;
  socket_.cancel(ignored);
}

void Connection::CloseSocket() {
  if (state_ == State::kClosed) return;
  state_ = State::kClosed;
  Disarm();
  timer_.cancel();
  boost::system::error_code ec;
  socket_.shutdown(tcp::socket::shutdown_both, ec);
  socket_.close(ec);
}

std::vector<char>& Connection::Scratch() {
  if (scratch_.empty()) scratch_.resize(kScratchBytes);
  return scratch_;
}

void Connection::LingerThenClose() {
  if (state_ == State::kClosed) return;
  boost::system::error_code ec;
  socket_.shutdown(tcp::socket::shutdown_send, ec);
  if (ec) return CloseSocket();
  state_ = State::kBusy;
  Arm(kLingerSeconds, true);
  lingered_ = 0;
  LingerRead();
}

void Connection::LingerRead() {
  socket_.async_read_some(asio::buffer(Scratch()),
                          [self = shared_from_this()](boost::system::error_code ec, std::size_t n) {
                            self->lingered_ += n;
                            if (ec || self->lingered_ > kLingerBytes) return self->CloseSocket();
                            self->LingerRead();
                          });
}

}  // namespace qx::host
