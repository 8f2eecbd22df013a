// Public files under /files/ on a connection: GET and HEAD, If-Modified-Since, small files
// in the head's write, larger ones copied by the kernel (sendfile) as the socket takes them.
#include "host/Connection.h"

#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>

#include <boost/asio/write.hpp>

#include "host/ConnectionShared.h"
#include "host/HostContext.h"

namespace qx::host {

using namespace connection;

namespace {

// Files up to this size go out in the same write as the head.
constexpr std::uint64_t kInlineFileBytes = 64 * 1024;

}  // namespace

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

}  // namespace qx::host
