// Serving one connection: its life, request heads and their limits, the host's own replies,
// and the end of each request (keep-alive with the unread body drained, or close).
#include "host/Connection.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>

#include "host/AccessLog.h"
#include "host/ConnectionShared.h"
#include "host/ExtensionRequest.h"
#include "host/HostContext.h"
#include "runtime/Strings.h"

namespace qx::host {

using namespace connection;

namespace {

// An unread request body up to this size is read and dropped to keep the connection.
constexpr std::uint64_t kDrainLimit = 256 * 1024;

std::string RemoteText(const asio::ip::address& a) {
  if (a.is_v6() && a.to_v6().is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, a.to_v6()).to_string();
  }
  return a.to_string();
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
    // A request whose body is still arriving has not reached the library: it just ends.
    if (self->state_ == State::kReadingHead || self->body_) self->CloseSocket();
  });
}

void Connection::Abort() {
  asio::post(socket_.get_executor(), [self = shared_from_this()] { self->CloseSocket(); });
}

bool Connection::InStrand() const { return strand_.running_in_this_thread(); }

bool Connection::WantsKeepAlive() const {
  if (!keepAlive_ || stopping_ || host_.Stopping() || state_ == State::kClosed) return false;
  if (parser_ && !parser_->is_done()) {
    if (expectContinue_ && !continueSent_) return false;  // the body may never come
    if (contentLength_ - bodyRead_ > kDrainLimit) return false;
  }
  return true;
}

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

  auto parsed = ParseRequestTarget(target);
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
  body_.reset();
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

}  // namespace qx::host
