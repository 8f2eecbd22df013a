// Serving one connection: request heads and their limits, the host's own replies and public
// files, and the reads and writes of library requests with the framing of their replies.
#include "host/Connection.h"

#include <sys/sendfile.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>

#include "entry/ConnectionBlock.h"
#include "host/AccessLog.h"
#include "host/ExtensionRequest.h"
#include "host/HostContext.h"
#include "runtime/Strings.h"

namespace qx::host {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

// Texts of the host's own replies.
constexpr std::string_view kTimeoutText = "The request did not arrive in time.";
constexpr std::string_view kLineTooLongText = "The request line is too long.";
constexpr std::string_view kHeaderTooLargeText = "The request header is too large.";
constexpr std::string_view kBodyTooLargeText = "The request body is too large.";
constexpr std::string_view kMalformedText = "The request is malformed.";
constexpr std::string_view kLengthRequiredText =
    "Request bodies must be sent with a Content-Length.";
constexpr std::string_view kCodingText = "The request's transfer coding is not supported.";
constexpr std::string_view kVersionText = "Only HTTP/1.0 and HTTP/1.1 are served.";
constexpr std::string_view kNotFoundText = "There is nothing at this address.";
constexpr std::string_view kFileNotFoundText = "The file was not found.";
constexpr std::string_view kMethodText = "Files can only be read (GET or HEAD).";
constexpr std::string_view kMovedText = "The service is at ";
constexpr std::string_view kOverloadedText = "The server is busy; please try again later.";
constexpr std::string_view kLibraryFailedText = "The service could not process the request.";
constexpr std::string_view kFileReadText = "The file could not be read.";

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
// Files up to this size go out in the same write as the head.
constexpr std::uint64_t kInlineFileBytes = 64 * 1024;
// An unread request body up to this size is read and dropped to keep the connection.
constexpr std::uint64_t kDrainLimit = 256 * 1024;
// After a reply that closes the connection, what the client still sends is read and dropped
// for this long, so that its unread data cannot reset the connection before the reply
// arrives.
constexpr unsigned kLingerSeconds = 2;
constexpr std::size_t kLingerBytes = 1024 * 1024;
constexpr std::size_t kScratchBytes = 16 * 1024;

int ErrorNumber(const boost::system::error_code& ec) {
  if (ec.category() == boost::system::system_category() && ec.value() != 0) return ec.value();
  return EIO;
}

std::string RemoteText(const asio::ip::address& a) {
  if (a.is_v6() && a.to_v6().is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, a.to_v6()).to_string();
  }
  return a.to_string();
}

std::string HostWithoutPort(std::string_view host) {
  if (!host.empty() && host.front() == '[') {
    auto close = host.find(']');
    return std::string(host.substr(0, close == std::string_view::npos ? host.size() : close + 1));
  }
  return std::string(host.substr(0, host.find(':')));
}

std::string_view View(boost::beast::string_view v) { return {v.data(), v.size()}; }

std::string Hex(std::size_t n) {
  char text[20];
  int length = std::snprintf(text, sizeof text, "%zx", n);
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

Connection::Connection(HostContext& host, StrandSocket socket)
    : host_(host),
      socket_(std::move(socket)),
      strand_(socket_.get_executor()),
      timer_(strand_) {
  boost::system::error_code ec;
  auto remote = socket_.remote_endpoint(ec);
  if (!ec) remoteAddress_ = RemoteText(remote.address());
  auto local = socket_.local_endpoint(ec);
  if (!ec) {
    localAddress_ = RemoteText(local.address());
    localPort_ = std::to_string(local.port());
  }
  trustedPeer_ = host_.IsTrustedProxy(remoteAddress_);
  socket_.set_option(tcp::no_delay(true), ec);
}

Connection::~Connection() {
  if (requestCounted_) host_.RequestFinished();
  if (registered_) host_.RemoveConnection(this);
}

void Connection::Start(bool overloaded) {
  if (!overloaded) {
    host_.AddConnection(this, weak_from_this());
    registered_ = true;
  }
  asio::post(socket_.get_executor(), [self = shared_from_this(), overloaded] {
    if (overloaded) {
      self->Reply(503, kOverloadedText, true);
    } else {
      self->ReadHead();
    }
  });
}

void Connection::Shutdown() {
  asio::post(socket_.get_executor(), [self = shared_from_this()] {
    self->stopping_ = true;
    if (self->state_ == State::kReadingHead) self->CloseSocket();
  });
}

void Connection::Abort() {
  asio::post(socket_.get_executor(), [self = shared_from_this()] { self->CloseSocket(); });
}

bool Connection::InStrand() const { return strand_.running_in_this_thread(); }

// --- timers and closing -------------------------------------------------------------------

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

bool Connection::WantsKeepAlive() const {
  if (!keepAlive_ || stopping_ || host_.Stopping() || state_ == State::kClosed) return false;
  if (parser_ && !parser_->is_done()) {
    if (expectContinue_ && !continueSent_) return false;  // the body may never come
    if (contentLength_ - bodyRead_ > kDrainLimit) return false;
  }
  return true;
}

// --- request heads ------------------------------------------------------------------------

void Connection::BeginRequest() {
  state_ = State::kBusy;
  started_ = std::chrono::steady_clock::now();
  host_.RequestStarted();
  requestCounted_ = true;
}

void Connection::ReadHead() {
  if (stopping_ || host_.Stopping()) return CloseSocket();
  state_ = State::kReadingHead;
  method_.clear();
  logPath_.clear();
  headRequest_ = http10_ = expectContinue_ = continueSent_ = false;
  keepAlive_ = true;
  contentLength_ = bodyRead_ = 0;
  logStatus_ = 0;
  logBytes_ = 0;
  parser_.emplace();
  parser_->header_limit(host_.Options().maxHeaderBytes);
  parser_->body_limit(host_.Options().maxBodyBytes);
  Arm(host_.Options().readTimeoutSeconds, false);
  http::async_read_header(socket_, buffer_, *parser_,
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                            self->OnHead(ec);
                          });
}

void Connection::OnHead(beast::error_code ec) {
  Disarm();
  if (state_ == State::kClosed) return;
  if (timedOut_) {
    // An idle keep-alive connection just ends; a request that stalled half-way is told why.
    if (buffer_.size() == 0) return CloseSocket();
    BeginRequest();
    return Reply(408, kTimeoutText, true);
  }
  if (ec == http::error::header_limit) {
    // The parser takes the request line off the buffer once it is complete, so the buffer
    // starts either with header fields ("Name:") or with the unfinished request line.
    std::string_view data(static_cast<const char*>(buffer_.data().data()), buffer_.size());
    std::size_t tokenEnd = data.find_first_of(": \r\n");
    bool startsWithField = tokenEnd != std::string_view::npos && data[tokenEnd] == ':';
    std::size_t eol = data.find('\n');
    bool lineTooLong = !startsWithField &&
                       (eol == std::string_view::npos ? data.size() : eol) >
                           host_.Options().maxRequestLine;
    BeginRequest();
    return lineTooLong ? Reply(414, kLineTooLongText, true)
                       : Reply(431, kHeaderTooLargeText, true);
  }
  if (ec == http::error::body_limit) {
    BeginRequest();
    return Reply(413, kBodyTooLargeText, true);
  }
  if (ec == http::error::bad_version) {
    BeginRequest();
    return Reply(505, kVersionText, true);
  }
  if (ec == http::error::bad_transfer_encoding) {
    BeginRequest();
    return Reply(400, kCodingText, true);
  }
  if (ec && ec.category() == http::make_error_code(http::error::bad_method).category() &&
      ec != http::error::end_of_stream && ec != http::error::partial_message) {
    BeginRequest();
    return Reply(400, kMalformedText, true);
  }
  if (ec) return CloseSocket();  // the client went away
  BeginRequest();
  HandleRequest();
}

void Connection::HandleRequest() {
  auto& request = parser_->get();
  method_ = std::string(request.method_string());
  std::string_view target = View(request.target());
  logPath_ = std::string(target.substr(0, target.find('?')));
  http10_ = request.version() == 10;
  headRequest_ = request.method() == http::verb::head;
  keepAlive_ = request.keep_alive();
  const auto& options = host_.Options();

  if (request.version() != 10 && request.version() != 11) {
    return Reply(505, kVersionText, true);
  }
  if (method_.size() + target.size() + 10 > options.maxRequestLine) {
    return Reply(414, kLineTooLongText, true);
  }
  if (auto te = request.find(http::field::transfer_encoding); te != request.end()) {
    // The library needs the body's length before it starts.
    return SameText(TrimView(View(te->value())), "chunked") ? Reply(411, kLengthRequiredText, true)
                                                      : Reply(400, kCodingText, true);
  }
  contentLength_ = parser_->content_length().value_or(0);
  if (contentLength_ > options.maxBodyBytes) return Reply(413, kBodyTooLargeText, true);
  if (auto expect = request.find(http::field::expect); expect != request.end()) {
    expectContinue_ = SameText(TrimView(View(expect->value())), "100-continue");
  }

  auto parsed = ParseTarget(target);
  if (!parsed) return Reply(400, kMalformedText, true);
  std::string rest;
  switch (RouteOf(parsed->path, options.mount, rest)) {
    case Route::kRedirectToMount:
      return Reply(302, std::string(kMovedText) + options.mount, false,
                   "Location: " + options.mount + "\r\n");
    case Route::kFiles:
      return ServeFile(rest);
    case Route::kExtension:
      return StartLibraryRequest(*parsed, rest);
    case Route::kNotFound:
      return Reply(404, kNotFoundText, false);
  }
}

// --- the host's own replies ---------------------------------------------------------------

void Connection::Reply(unsigned status, std::string_view detail, bool close,
                       std::string_view extraFields) {
  bool keep = !close && WantsKeepAlive();
  wire_ = HostReply(status, detail, keep, http10_, headRequest_, extraFields);
  logStatus_ = status;
  std::size_t headEnd = wire_.find("\r\n\r\n");
  WriteAndEnd(headEnd == std::string::npos ? 0 : wire_.size() - headEnd - 4, keep);
}

void Connection::WriteAndEnd(std::size_t bodyBytes, bool keepAlive) {
  if (state_ == State::kClosed) return EndRequest(false);
  Arm(host_.Options().writeTimeoutSeconds, true);
  asio::async_write(socket_, asio::buffer(wire_),
                    [self = shared_from_this(), bodyBytes, keepAlive](
                        boost::system::error_code ec, std::size_t) {
                      self->Disarm();
                      if (!ec) self->logBytes_ += bodyBytes;
                      self->EndRequest(!ec && keepAlive);
                    });
}

void Connection::EndRequest(bool keepAlive) {
  if (requestCounted_) {
    if (host_.AccessLogEnabled()) {
      auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - started_)
                        .count();
      WriteAccessLine(AccessRecord{remoteAddress_, method_, logPath_, logStatus_, logBytes_,
                                   static_cast<std::uint64_t>(micros)});
    }
    requestCounted_ = false;
    host_.RequestFinished();
  }
  if (library_) {
    library_->Unregister();
    library_.reset();
  }
  file_.reset();
  output_.clear();
  wire_.clear();
  if (!keepAlive || !WantsKeepAlive()) return LingerThenClose();
  DrainThenContinue();
}

void Connection::DrainThenContinue() {
  if (!parser_ || parser_->is_done()) return ReadHead();
  Read(Scratch().data(), Scratch().size(),
       [self = shared_from_this()](bool ok, std::size_t, int) {
         if (!ok) return self->CloseSocket();
         self->DrainThenContinue();
       });
}

// --- public files -------------------------------------------------------------------------

void Connection::ServeFile(const std::string& name) {
  auto& request = parser_->get();
  if (request.method() != http::verb::get && !headRequest_) {
    return Reply(405, kMethodText, false, "Allow: GET, HEAD\r\n");
  }
  auto file = host_.Files().Open(name);
  if (!file) return Reply(404, kFileNotFoundText, false);
  bool keep = WantsKeepAlive();
  std::string fields = StaticFiles::Fields(*file);
  wire_.clear();
  if (StaticFiles::NotModifiedSince(file->Modified(), View(request[http::field::if_modified_since]))) {
    logStatus_ = 304;
    AppendHead(wire_, ReplyHead{.status = 304, .fields = fields, .framing = Framing::kNone,
                               .keepAlive = keep, .http10 = http10_});
    return WriteAndEnd(0, keep);
  }
  logStatus_ = 200;
  std::uint64_t size = file->Size();
  wire_.reserve(256 + fields.size() + (size <= kInlineFileBytes ? size : 0));
  AppendHead(wire_, ReplyHead{.status = 200, .fields = fields, .framing = Framing::kLength,
                             .contentLength = size, .keepAlive = keep, .http10 = http10_});
  if (headRequest_) return WriteAndEnd(0, keep);
  if (size <= kInlineFileBytes) {
    std::size_t headSize = wire_.size();
    wire_.resize(headSize + size);
    std::uint64_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(file->Fd(), wire_.data() + headSize + done, size - done,
                          static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        wire_.clear();
        return Reply(500, kFileReadText, true);
      }
      done += static_cast<std::uint64_t>(n);
    }
    return WriteAndEnd(size, keep);
  }
  // Larger files: the head, then the kernel copies the file to the socket.
  file_.emplace(std::move(*file));
  fileOffset_ = 0;
  fileKeepAlive_ = keep;
  Arm(host_.Options().writeTimeoutSeconds, true);
  asio::async_write(socket_, asio::buffer(wire_),
                    [self = shared_from_this()](boost::system::error_code ec, std::size_t) {
                      self->Disarm();
                      if (ec) return self->EndRequest(false);
                      self->SendFileBody();
                    });
}

void Connection::SendFileBody() {
  if (state_ == State::kClosed) return EndRequest(false);
  boost::system::error_code ec;
  socket_.native_non_blocking(true, ec);
  std::uint64_t size = file_->Size();
  while (fileOffset_ < size) {
    off_t offset = static_cast<off_t>(fileOffset_);
    ssize_t n = ::sendfile(socket_.native_handle(), file_->Fd(), &offset,
                           static_cast<std::size_t>(std::min<std::uint64_t>(size - fileOffset_,
                                                                            1u << 20)));
    if (n > 0) {
      fileOffset_ += static_cast<std::uint64_t>(n);
      logBytes_ += static_cast<std::uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      Arm(host_.Options().writeTimeoutSeconds, true);
      socket_.async_wait(tcp::socket::wait_write,
                         [self = shared_from_this()](boost::system::error_code ec) {
                           self->Disarm();
                           if (ec) return self->EndRequest(false);
                           self->SendFileBody();
                         });
      return;
    }
    return EndRequest(false);  // the file shrank or the client went away
  }
  EndRequest(fileKeepAlive_);
}

// --- library requests ---------------------------------------------------------------------

void Connection::StartLibraryRequest(const Target& target, const std::string& pathInfo) {
  auto& request = parser_->get();
  const auto& options = host_.Options();
  info_ = RequestInfo{};
  info_.method = method_;
  info_.protocol = http10_ ? "HTTP/1.0" : "HTTP/1.1";
  info_.url = target.path;
  info_.queryString = target.query;
  info_.scriptName = options.mount;
  info_.pathInfo = pathInfo;
  info_.pathTranslated = host_.Files().MapUrlToPath(pathInfo).value_or(std::string());
  info_.remoteAddress = remoteAddress_;
  auto hostField = request.find(http::field::host);
  info_.serverName = hostField != request.end() && !hostField->value().empty()
                         ? HostWithoutPort(View(hostField->value()))
                         : localAddress_;
  info_.serverPort = localPort_;
  info_.contentType = std::string(request[http::field::content_type]);
  info_.contentLength = contentLength_;
  std::vector<std::pair<std::string, std::string>> received;
  for (const auto& field : request) {
    received.emplace_back(std::string(field.name_string()), std::string(field.value()));
  }
  info_.headers = ExposedHeaders(received, trustedPeer_);

  std::size_t want = static_cast<std::size_t>(
      std::min<std::uint64_t>(contentLength_, options.prereadBytes));
  preread_.assign(want, 0);

  // Read sends "100 Continue" first when the client waits for it.
  Preread(0, want);
}

// Reads the first `want` body bytes into preread_, then hands the request to a worker.
void Connection::Preread(std::size_t got, std::size_t want) {
  if (got >= want) return Dispatch();
  Read(preread_.data() + got, want - got,
       [self = shared_from_this(), got, want](bool ok, std::size_t n, int) {
         if (!ok || n == 0) {
           if (self->timedOut_) return self->Reply(408, kTimeoutText, true);
           self->CloseSocket();  // the client left before its body arrived
           return self->EndRequest(false);
         }
         self->Preread(got + n, want);
       });
}

void Connection::Dispatch() {
  reply_ = ReplyState{};
  replyKeepAlive_ = false;
  output_.clear();
  writing_ = false;
  library_ = std::make_shared<ExtensionRequest>(shared_from_this(), std::move(info_),
                                                std::move(preread_), host_.Library(),
                                                host_.Files());
  host_.Workers().Post([request = library_] { request->Run(); });
}

void Connection::PostRead(void* buffer, std::size_t size, IoDone done) {
  asio::post(socket_.get_executor(),
             [self = shared_from_this(), buffer, size, done = std::move(done)]() mutable {
               self->Read(buffer, size, std::move(done));
             });
}

// Reads body bytes into `buffer`: returns as soon as some arrived, (true, 0) at the end.
void Connection::Read(void* buffer, std::size_t size, IoDone done) {
  if (state_ == State::kClosed) return done(false, 0, ECONNRESET);
  if (!parser_ || parser_->is_done() || size == 0) return done(true, 0, 0);
  if (expectContinue_ && !continueSent_ && !http10_) {
    // The client waits for this before it sends the body.
    continueSent_ = true;
    Arm(host_.Options().writeTimeoutSeconds, true);
    asio::async_write(socket_, asio::buffer(kContinue.data(), kContinue.size()),
                      [self = shared_from_this(), buffer, size, done = std::move(done)](
                          boost::system::error_code ec, std::size_t) mutable {
                        self->Disarm();
                        if (ec) return done(false, 0, ErrorNumber(ec));
                        self->Read(buffer, size, std::move(done));
                      });
    return;
  }
  auto& body = parser_->get().body();
  body.data = buffer;
  body.size = size;
  body.more = true;
  Arm(host_.Options().readTimeoutSeconds, false);
  http::async_read_some(
      socket_, buffer_, *parser_,
      [self = shared_from_this(), buffer, size, done = std::move(done)](beast::error_code ec,
                                                                         std::size_t) mutable {
        self->Disarm();
        auto& body = self->parser_->get().body();
        std::size_t got = size - body.size;
        body.data = nullptr;
        body.size = 0;
        self->bodyRead_ += got;
        if (ec == http::error::need_buffer) ec = {};
        if (ec) {
          self->keepAlive_ = false;
          if (got > 0) return done(true, got, 0);
          return done(false, 0, self->timedOut_ ? ETIMEDOUT : ErrorNumber(ec));
        }
        if (got == 0 && !self->parser_->is_done()) {
          return self->Read(buffer, size, std::move(done));
        }
        done(true, got, 0);
      });
}

void Connection::PostHead(ExtensionReply head) {
  OutputOp op{OutputOp::Kind::kHead};
  op.head = std::move(head);
  asio::post(socket_.get_executor(), [self = shared_from_this(), op = std::move(op)]() mutable {
    self->output_.push_back(std::move(op));
    self->Pump();
  });
}

void Connection::PostRedirect(std::string url) {
  OutputOp op{OutputOp::Kind::kRedirect};
  op.url = std::move(url);
  asio::post(socket_.get_executor(), [self = shared_from_this(), op = std::move(op)]() mutable {
    self->output_.push_back(std::move(op));
    self->Pump();
  });
}

void Connection::PostBody(const void* data, std::size_t size, IoDone done) {
  OutputOp op{OutputOp::Kind::kBody};
  op.data = data;
  op.size = size;
  op.done = std::move(done);
  asio::post(socket_.get_executor(), [self = shared_from_this(), op = std::move(op)]() mutable {
    self->output_.push_back(std::move(op));
    self->Pump();
  });
}

void Connection::PostFinish(std::uint32_t result, bool badHeader) {
  OutputOp op{OutputOp::Kind::kFinish};
  op.result = result;
  op.badHeader = badHeader;
  asio::post(socket_.get_executor(), [self = shared_from_this(), op = std::move(op)]() mutable {
    self->output_.push_back(std::move(op));
    self->Pump();
  });
}

// Runs the library's output in the order it was given, one write at a time.
void Connection::Pump() {
  while (!writing_ && !output_.empty()) {
    OutputOp op = std::move(output_.front());
    output_.pop_front();
    switch (op.kind) {
      case OutputOp::Kind::kHead:
        if (!reply_.headWritten) reply_.head = std::move(op.head);
        break;
      case OutputOp::Kind::kRedirect: {
        if (reply_.headWritten || reply_.broken) break;
        bool keep = WantsKeepAlive();
        wire_ = HostReply(302, std::string(kMovedText) + op.url, keep, http10_, headRequest_,
                          "Location: " + op.url + "\r\n");
        reply_.headWritten = true;
        reply_.bodyDone = true;
        reply_.status = 302;
        replyKeepAlive_ = keep;
        writing_ = true;
        Arm(host_.Options().writeTimeoutSeconds, true);
        asio::async_write(socket_, asio::buffer(wire_),
                          [self = shared_from_this()](boost::system::error_code ec, std::size_t) {
                            self->Disarm();
                            self->writing_ = false;
                            if (ec) self->reply_.broken = true;
                            self->Pump();
                          });
        return;
      }
      case OutputOp::Kind::kBody:
        WriteBody(op);
        break;
      case OutputOp::Kind::kFinish:
        return FinishLibraryReply(op);
    }
  }
}

void Connection::BuildLibraryHead(bool atFinish, std::string& out) {
  unsigned status = 200;
  ReplyHead head;
  std::optional<std::uint64_t> length;
  if (reply_.head) {
    status = reply_.head->status;
    head.reason = reply_.head->reason;
    head.fields = reply_.head->fields;
    head.addDate = !reply_.head->hasDate;
    length = reply_.head->contentLength;
  } else {
    // Body without a header: the status the library left in the block, no fields.
    status = library_->BlockStatus();
    if (status < 200 || status > 599) status = 200;
  }
  reply_.status = status;
  reply_.bodyAllowed = !(headRequest_ || status == 204 || status == 304);
  if (length) {
    head.framing = Framing::kLength;
    head.contentLength = *length;
    reply_.remaining = reply_.bodyAllowed ? *length : 0;
  } else if (!reply_.bodyAllowed) {
    head.framing = Framing::kNone;
  } else if (atFinish) {
    head.framing = Framing::kLength;  // an empty reply
    head.contentLength = 0;
  } else {
    head.framing = http10_ ? Framing::kClose : Framing::kChunked;
  }
  reply_.framing = head.framing;
  replyKeepAlive_ = WantsKeepAlive() && head.framing != Framing::kClose;
  head.status = status;
  head.keepAlive = replyKeepAlive_;
  head.http10 = http10_;
  AppendHead(out, head);
  reply_.headWritten = true;
}

void Connection::WriteBody(OutputOp& op) {
  if (reply_.broken || state_ == State::kClosed) return op.done(false, 0, EPIPE);
  headText_.clear();
  tailText_.clear();
  if (!reply_.headWritten) BuildLibraryHead(false, headText_);
  std::size_t n = op.size;
  if (!reply_.bodyAllowed || reply_.bodyDone) {
    n = 0;
  } else if (reply_.framing == Framing::kLength) {
    if (n > reply_.remaining) {
      // More than announced: the extra bytes would be read as the next reply.
      n = static_cast<std::size_t>(reply_.remaining);
      reply_.mustClose = true;
    }
    reply_.remaining -= n;
  } else if (reply_.framing == Framing::kChunked && n > 0) {
    headText_ += Hex(n);
    headText_ += "\r\n";
    tailText_ = "\r\n";
  }
  if (headText_.empty() && n == 0) return op.done(true, op.size, 0);
  logBytes_ += n;
  std::array<asio::const_buffer, 3> buffers{asio::buffer(headText_), asio::buffer(op.data, n),
                                            asio::buffer(tailText_)};
  writing_ = true;
  Arm(host_.Options().writeTimeoutSeconds, true);
  asio::async_write(socket_, buffers,
                    [self = shared_from_this(), done = std::move(op.done), size = op.size](
                        boost::system::error_code ec, std::size_t) {
                      self->Disarm();
                      self->writing_ = false;
                      if (ec) {
                        self->reply_.broken = true;
                        self->CloseSocket();
                        done(false, 0, self->timedOut_ ? ETIMEDOUT : ErrorNumber(ec));
                      } else {
                        done(true, size, 0);
                      }
                      self->Pump();
                    });
}

void Connection::FinishLibraryReply(const OutputOp& op) {
  headText_.clear();
  if (!reply_.broken && state_ != State::kClosed) {
    if (!reply_.headWritten) {
      if (!reply_.head && ((op.result != QX_STATUS_SUCCESS && op.result != QX_STATUS_PENDING) ||
                           op.badHeader)) {
        // The library failed before it said anything: the client still gets an answer.
        return Reply(500, kLibraryFailedText, false);
      }
      BuildLibraryHead(true, headText_);
    } else if (reply_.framing == Framing::kChunked) {
      headText_ = "0\r\n\r\n";
    } else if (reply_.framing == Framing::kLength && reply_.remaining > 0) {
      reply_.mustClose = true;  // fewer bytes than announced
    }
  }
  logStatus_ = reply_.status;
  bool keep = replyKeepAlive_ && !reply_.mustClose && !reply_.broken;
  if (headText_.empty()) return EndRequest(keep);
  Arm(host_.Options().writeTimeoutSeconds, true);
  asio::async_write(socket_, asio::buffer(headText_),
                    [self = shared_from_this(), keep](boost::system::error_code ec, std::size_t) {
                      self->Disarm();
                      self->EndRequest(!ec && keep);
                    });
}

}  // namespace qx::host
