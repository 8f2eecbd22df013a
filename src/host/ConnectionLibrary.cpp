// A library request on a connection: the request's variables, its body read whole (with
// "100 Continue") before a worker takes the request, and the library's head, redirect, body
// writes and finish, queued from any thread and run in order on the strand, with the reply's
// framing (Content-Length, chunked, or close for HTTP/1.0).
#include "host/Connection.h"

#include <array>
#include <cerrno>
#include <cstdio>

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>

#include "entry/ConnectionBlock.h"
#include "host/ConnectionShared.h"
#include "host/ExtensionRequest.h"
#include "host/HostContext.h"

namespace qx::host {

using namespace connection;

namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

std::string HostWithoutPort(std::string_view host) {
  if (!host.empty() && host.front() == '[') {
    auto close = host.find(']');
    return std::string(host.substr(0, close == std::string_view::npos ? host.size() : close + 1));
  }
  return std::string(host.substr(0, host.find(':')));
}

std::string Hex(std::size_t n) {
  char text[20];
  int length = std::snprintf(text, sizeof text, "%zx", n);
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

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
  // An absolute target's authority replaces whatever Host header came with it.
  std::string_view host = target.authority;
  auto hostField = request.find(http::field::host);
  if (host.empty() && hostField != request.end()) host = View(hostField->value());
  info_.serverName = host.empty() ? localAddress_ : HostWithoutPort(host);
  info_.serverPort = localPort_;
  info_.contentType = std::string(request[http::field::content_type]);
  info_.contentLength = contentLength_;
  std::vector<std::pair<std::string, std::string>> received;
  if (!target.authority.empty()) received.emplace_back("Host", target.authority);
  for (const auto& field : request) {
    if (!target.authority.empty() && field.name() == http::field::host) continue;
    received.emplace_back(std::string(field.name_string()), std::string(field.value()));
  }
  info_.headers = ExposedHeaders(received, trustedPeer_);

  body_.emplace(contentLength_, options.prereadBytes);
  ReceiveBody();
}

// A worker takes the request only once its body is here: a slow or stalled client holds its
// own connection until the read time-out, never a worker.
void Connection::ReceiveBody() {
  if (body_->Complete()) return Dispatch();
  std::vector<char>& scratch = Scratch();
  std::size_t want = static_cast<std::size_t>(
      std::min<std::uint64_t>(scratch.size(), body_->Length() - body_->Received()));
  // Read sends "100 Continue" first when the client waits for it.
  Read(scratch.data(), want, [self = shared_from_this()](bool ok, std::size_t n, int) {
    if (!ok || n == 0) {
      if (self->timedOut_) return self->Reply(408, kTimeoutText, true);
      self->CloseSocket();  // the client left before its body arrived
      return self->EndRequest(false);
    }
    if (!self->body_->Append(reinterpret_cast<const unsigned char*>(self->Scratch().data()), n)) {
      return self->Reply(500, kBodyStoreText, true);
    }
    self->ReceiveBody();
  });
}

void Connection::Dispatch() {
  reply_ = ReplyState{};
  replyKeepAlive_ = false;
  output_.clear();
  writing_ = false;
  library_ = std::make_shared<ExtensionRequest>(shared_from_this(), std::move(info_),
                                                std::move(*body_), host_.Library(),
                                                host_.Files());
  body_.reset();
  host_.Workers().Post([request = library_] { request->Run(); });
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
  PostOutput(std::move(op));
}

void Connection::PostRedirect(std::string url) {
  OutputOp op{OutputOp::Kind::kRedirect};
  op.url = std::move(url);
  PostOutput(std::move(op));
}

void Connection::PostBody(const void* data, std::size_t size, IoDone done) {
  OutputOp op{OutputOp::Kind::kBody};
  op.data = data;
  op.size = size;
  op.done = std::move(done);
  PostOutput(std::move(op));
}

void Connection::PostFinish(std::uint32_t result, bool badHeader) {
  OutputOp op{OutputOp::Kind::kFinish};
  op.result = result;
  op.badHeader = badHeader;
  PostOutput(std::move(op));
}

void Connection::PostOutput(OutputOp op) {
  {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(op));
    if (takePosted_) return;  // the job on its way takes this one too
    takePosted_ = true;
  }
  asio::post(socket_.get_executor(), [self = shared_from_this()] { self->TakePosted(); });
}

void Connection::TakePosted() {
  std::vector<OutputOp> taken;
  {
    std::lock_guard lock(postedMutex_);
    taken.swap(posted_);
    takePosted_ = false;
  }
  for (OutputOp& op : taken) output_.push_back(std::move(op));
  Pump();
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
      case OutputOp::Kind::kRedirect:
        if (reply_.headWritten || reply_.broken) break;
        return WriteRedirect(op.url);
      case OutputOp::Kind::kBody:
        WriteBody(op);
        break;
      case OutputOp::Kind::kFinish:
        return FinishLibraryReply(op);
    }
  }
}

// The whole reply to a redirect, written by the host; the library's later writes are dropped.
void Connection::WriteRedirect(const std::string& url) {
  bool keep = WantsKeepAlive();
  wire_ = HostReply(302, std::string(kMovedText) + url, keep, http10_, headRequest_,
                    "Location: " + url + "\r\n");
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
