// One client connection: reads requests (HTTP/1.1, keep-alive, pipelining), enforces the
// limits, answers /files/ and the host's own replies, and carries a library request's reads
// and writes, framing its reply.
//
// The work is split by job over four files, each owning the members in its section below:
//   Connection.cpp         the connection's life, request heads and their limits, the host's
//                          own replies and the end of each request (keep-alive or close);
//   ConnectionFiles.cpp    public files under /files/;
//   ConnectionLibrary.cpp  library requests: the body read whole before a worker takes the
//                          request, the queue of the library's writes and the framing of
//                          its reply;
//   ConnectionTimers.cpp   time limits, closing, and lingering before a close.
//
// Threads: everything runs on the connection's strand (one I/O thread at a time), except
// Start (the acceptor's I/O thread, before any other work), Shutdown and Abort (the thread
// that stops the server) and the Post* members (the worker threads and whatever threads the
// library calls from); these only queue work onto the strand, in call order. The library's
// IoDone callbacks run on the strand.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/buffer_body.hpp>
#include <boost/beast/http/parser.hpp>

#include "host/ExtensionReply.h"
#include "host/HttpText.h"
#include "host/RequestBody.h"
#include "host/Routing.h"
#include "host/ServerVariables.h"
#include "host/StaticFiles.h"

namespace qx::host {

class HostContext;
class ExtensionRequest;

using Strand = boost::asio::strand<boost::asio::io_context::executor_type>;
using StrandSocket = boost::asio::basic_stream_socket<boost::asio::ip::tcp, Strand>;

// The end of a read or write done for the library: success, the byte count, and an error
// number (0 on success) for the completion routine.
using IoDone = std::function<void(bool ok, std::size_t bytes, int error)>;

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(HostContext& host, StrandSocket socket);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Begins serving; `overloaded` connections get one 503 reply and are closed.
  void Start(bool overloaded);
  // Stop after the request in progress (any thread).
  void Shutdown();
  // Close at once; operations under way fail (any thread).
  void Abort();

  // For the library request in progress (any thread).
  void PostHead(ExtensionReply head);
  void PostRedirect(std::string url);
  void PostBody(const void* data, std::size_t size, IoDone done);
  void PostFinish(std::uint32_t result, bool badHeader);
  bool InStrand() const;

 private:
  enum class State { kReadingHead, kBusy, kClosed };

  // --- Connection.cpp: heads, limits, the host's own replies, the end of a request.
  void BeginRequest();
  void ReadHead();
  void OnHead(boost::beast::error_code ec);
  void HandleRequest();
  // A reply of the host's own; `close` ends the connection after it.
  void Reply(unsigned status, std::string_view detail, bool close,
             std::string_view extraFields = {});
  // Writes wire_ (the host's own bytes, `bodyBytes` of them body), then ends the request.
  void WriteAndEnd(std::size_t bodyBytes, bool keepAlive);
  void EndRequest(bool keepAlive);
  void DrainThenContinue();
  bool WantsKeepAlive() const;

  HostContext& host_;
  StrandSocket socket_;
  Strand strand_;
  boost::beast::flat_buffer buffer_;
  std::optional<boost::beast::http::request_parser<boost::beast::http::buffer_body>> parser_;
  State state_ = State::kReadingHead;
  bool stopping_ = false;
  bool registered_ = false;
  std::string remoteAddress_;
  bool trustedPeer_ = false;
  std::string localAddress_;
  std::string localPort_;
  // The request in progress.
  bool requestCounted_ = false;
  std::chrono::steady_clock::time_point started_;
  std::string method_;
  std::string logPath_;
  bool headRequest_ = false;
  bool http10_ = false;
  bool keepAlive_ = true;
  bool expectContinue_ = false;
  bool continueSent_ = false;
  std::uint64_t contentLength_ = 0;
  std::uint64_t bodyRead_ = 0;  // body bytes taken from the parser so far
  unsigned logStatus_ = 0;
  std::uint64_t logBytes_ = 0;
  std::string wire_;            // bytes being written by the host itself

  // --- ConnectionFiles.cpp: a public file.
  void ServeFile(const std::string& name);
  void SendFileBody();

  std::optional<OpenFile> file_;
  std::uint64_t fileOffset_ = 0;
  bool fileKeepAlive_ = false;

  // --- ConnectionLibrary.cpp: the library request in progress.
  struct OutputOp {
    enum class Kind { kHead, kRedirect, kBody, kFinish } kind;
    std::optional<ExtensionReply> head = {};
    std::string url = {};
    const void* data = nullptr;
    std::size_t size = 0;
    IoDone done = {};
    std::uint32_t result = 0;
    bool badHeader = false;
  };

  // Framing of the library's reply, decided when its head goes out.
  struct ReplyState {
    std::optional<ExtensionReply> head;
    bool headWritten = false;
    bool bodyDone = false;      // a redirect was sent whole; later writes are dropped
    bool bodyAllowed = true;    // false for HEAD, 204, 304
    Framing framing = Framing::kLength;
    std::uint64_t remaining = 0;  // kLength: body bytes still expected
    bool broken = false;        // a write failed: nothing more goes out
    bool mustClose = false;     // the reply's end cannot be delimited any more
    unsigned status = 0;
  };

  void StartLibraryRequest(const Target& target, const std::string& pathInfo);
  // Reads the rest of the body into body_, then hands the request to a worker.
  void ReceiveBody();
  void Dispatch();
  void Read(void* buffer, std::size_t size, IoDone done);
  // Queues one of the library's operations from any thread; the strand runs it in order.
  void PostOutput(OutputOp op);
  // On the strand: moves the posted operations to output_ and runs them.
  void TakePosted();
  void Pump();
  void WriteRedirect(const std::string& url);
  void BuildLibraryHead(bool atFinish, std::string& out);
  void WriteBody(OutputOp& op);
  void FinishLibraryReply(const OutputOp& op);

  std::shared_ptr<ExtensionRequest> library_;
  RequestInfo info_;
  std::optional<RequestBody> body_;  // while it arrives, before a worker takes the request
  std::deque<OutputOp> output_;
  // Operations posted and not yet taken by the strand. One strand job takes all that arrived
  // before it ran, so a head and a body posted together wake an I/O thread once.
  std::mutex postedMutex_;
  std::vector<OutputOp> posted_;
  bool takePosted_ = false;
  bool writing_ = false;
  ReplyState reply_;
  bool replyKeepAlive_ = false;
  std::string headText_;        // head and chunk framing for the write under way
  std::string tailText_;

  // --- ConnectionTimers.cpp: one time limit at a time, closing, lingering.
  // A time limit for the operation about to start: when it passes, the socket's operations
  // are cancelled (timedOut_ tells why) or, with closeOnExpiry, the socket is closed.
  void Arm(unsigned seconds, bool closeOnExpiry);
  void Disarm();
  void StartTimer();
  void OnTimer(boost::system::error_code ec, std::uint64_t generation);
  void CloseSocket();
  // After a reply that closes the connection: stop sending, read and drop what the client
  // still sends for a while, then close.
  void LingerThenClose();
  void LingerRead();
  // A buffer for bytes read only to be discarded (drained bodies, lingering).
  std::vector<char>& Scratch();

  boost::asio::steady_timer timer_;
  std::uint64_t timerGeneration_ = 0;
  std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
  bool timerRunning_ = false;
  bool closeOnExpiry_ = false;
  bool timedOut_ = false;
  std::vector<char> scratch_;
  std::size_t lingered_ = 0;
};

}  // namespace qx::host
