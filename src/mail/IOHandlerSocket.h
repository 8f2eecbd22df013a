// TIdIOHandlerSocket: a blocking-style TCP client connection for line protocols, with limits
// on connect, read and write time. The socket itself is non-blocking and waited on with poll.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

enum TIdMaxLineAction { maException, maSplit };

inline constexpr const char* kMsgNotConnected = "Not connected.";
inline constexpr const char* kMsgConnClosedGracefully = "Connection Closed Gracefully.";
inline constexpr const char* kMsgMaxLineLengthExceeded = "Max line length exceeded.";
inline constexpr const char* kMsgReadTimeout = "Read timed out.";
inline constexpr const char* kMsgSocketError = "Socket Error # %d\r\n%s";

// The text of a system socket error number, ending with a full stop ("Connection refused.").
std::string SocketErrorText(int error);
// Raises EIdSocketError "Socket Error # <error>\r\n<text>".
[[noreturn]] void RaiseSocketError(int error);

// One TCP connection. Not shared between threads: each mail has its own.
// Every failure while connected (socket error, time-out, peer closing, over-long line)
// closes the connection before it is raised: after it the byte stream is of no further use.
class TIdIOHandlerSocket {
 public:
  using Clock = std::chrono::steady_clock;
  using Deadline = std::optional<Clock::time_point>;

  TIdIOHandlerSocket() = default;
  virtual ~TIdIOHandlerSocket();
  TIdIOHandlerSocket(const TIdIOHandlerSocket&) = delete;
  TIdIOHandlerSocket& operator=(const TIdIOHandlerSocket&) = delete;

  // Limits in milliseconds; zero or less waits without limit.
  int ConnectTimeout() const noexcept { return connectTimeout_; }
  void SetConnectTimeout(int ms) noexcept { connectTimeout_ = ms; }
  int ReadTimeout() const noexcept { return readTimeout_; }
  void SetReadTimeout(int ms) noexcept { readTimeout_ = ms; }
  TIdMaxLineAction MaxLineAction() const noexcept { return maxLineAction_; }
  void SetMaxLineAction(TIdMaxLineAction value) noexcept { maxLineAction_ = value; }
  std::size_t MaxLineLength() const noexcept { return maxLineLength_; }
  void SetMaxLineLength(std::size_t value) noexcept { maxLineLength_ = value; }
  std::size_t RecvBufferSize() const noexcept { return recvBufferSize_; }
  void SetRecvBufferSize(std::size_t value) noexcept { recvBufferSize_ = value ? value : 1; }

  // Resolves `host` (an IPv4 address is used as it is) and connects. Fails with
  // EIdSocketError; nothing stays open then.
  virtual void Open(const std::string& host, int port);
  virtual void Close() noexcept;
  bool Connected() const noexcept { return fd_ >= 0; }

  // Sends every byte before returning.
  void Write(std::string_view data);
  // One line up to LF, without its CR LF. Fails with EIdConnClosedGracefully when the peer
  // closes first, EIdReadTimeout after ReadTimeout, EIdReadLnMaxLineLengthExceeded for a
  // line longer than MaxLineLength under maException (maSplit returns it in pieces).
  std::string ReadLn();

 protected:
  int Socket() const noexcept { return fd_; }
  Deadline DeadlineFromNow(int ms) const;
  // Waits until the socket is ready for `events` (poll flags); EIdReadTimeout after deadline.
  void WaitFor(short events, const Deadline& deadline) const;
  // Reads some bytes; 0 means the peer closed the connection.
  virtual std::size_t ReadSome(char* buffer, std::size_t size, const Deadline& deadline);
  virtual void WriteAll(std::string_view data, const Deadline& deadline);

 private:
  int fd_ = -1;
  std::string input_;  // bytes received and not yet taken as lines
  int connectTimeout_ = 0;
  int readTimeout_ = -1;
  TIdMaxLineAction maxLineAction_ = maException;
  std::size_t maxLineLength_ = 16384;
  std::size_t recvBufferSize_ = 32768;
};

}  // namespace qx
