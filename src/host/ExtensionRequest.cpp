// The callbacks of the connection block. Each looks its request up by connection id, checks
// what the library handed over, and turns the call into work on the connection.
#include "host/ExtensionRequest.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <unordered_map>

#include "host/Connection.h"
#include "host/Extension.h"
#include "host/ExtensionReply.h"
#include "host/StaticFiles.h"
#include "runtime/Exceptions.h"

namespace qx::host {
namespace {

// Upper bounds for strings the library passes without a length.
constexpr std::size_t kMaxStatusText = 4096;
constexpr std::size_t kMaxHeaderBlock = 64 * 1024;
constexpr std::size_t kMaxUrl = 8192;
constexpr std::size_t kMaxVariableName = 256;

// Live requests by connection id. Ids are never reused, so a late callback from a finished
// request finds nothing rather than another request.
class Registry {
 public:
  std::uintptr_t Add(const std::shared_ptr<ExtensionRequest>& request) {
    std::lock_guard lock(mutex_);
    std::uintptr_t id = ++lastId_;
    live_.emplace(id, request);
    return id;
  }
  void Remove(std::uintptr_t id) {
    std::shared_ptr<ExtensionRequest> last;  // freed after the lock is released
    std::lock_guard lock(mutex_);
    auto it = live_.find(id);
    if (it == live_.end()) return;
    last = std::move(it->second);
    live_.erase(it);
  }
  std::shared_ptr<ExtensionRequest> Find(void* conn) {
    std::lock_guard lock(mutex_);
    auto it = live_.find(reinterpret_cast<std::uintptr_t>(conn));
    return it == live_.end() ? nullptr : it->second;
  }

 private:
  std::mutex mutex_;
  std::uintptr_t lastId_ = 0;
  std::unordered_map<std::uintptr_t, std::shared_ptr<ExtensionRequest>> live_;
};

Registry& Requests() {
  static Registry registry;
  return registry;
}

int Fail(int error) {
  errno = error;
  return 0;
}

// Length of a NUL-terminated string of at most `limit` bytes; nothing when longer.
std::optional<std::size_t> BoundedLength(const char* s, std::size_t limit) {
  if (s == nullptr) return 0;
  std::size_t n = ::strnlen(s, limit + 1);
  if (n > limit) return std::nullopt;
  return n;
}

// Copies `value` with its NUL into the caller's buffer, or reports the size it needs.
int CopyOut(const std::string& value, char* buffer, std::uint32_t* size) {
  std::uint32_t needed = static_cast<std::uint32_t>(value.size() + 1);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return Fail(ENOBUFS);
  }
  std::memcpy(buffer, value.c_str(), needed);
  *size = needed;
  return 1;
}

void LogRefusal(const char* what, const std::string& why) {
  std::string line = std::string("requestqx-host: ") + what + ": " + why + "\n";
  std::fputs(line.c_str(), stderr);
}

}  // namespace

ExtensionRequest::ExtensionRequest(std::shared_ptr<Connection> connection, RequestInfo info,
                                   RequestBody body,
                                   const Extension& extension, const StaticFiles& files)
    : connection_(std::move(connection)),
      info_(std::move(info)),
      body_(std::move(body)),
      extension_(extension),
      files_(files),
      id_(0) {}

ExtensionRequest::~ExtensionRequest() = default;

void ExtensionRequest::Run() {
  id_ = Requests().Add(shared_from_this());
  block_.cbSize = sizeof(QxConnectionBlock);
  block_.dwVersion = 0x00020000;
  block_.ConnID = reinterpret_cast<void*>(id_);
  block_.dwHttpStatusCode = 200;
  block_.lpszMethod = info_.method.c_str();
  block_.lpszQueryString = info_.queryString.c_str();
  block_.lpszPathInfo = info_.pathInfo.c_str();
  block_.lpszPathTranslated = info_.pathTranslated.c_str();
  block_.cbTotalBytes = static_cast<std::uint32_t>(info_.contentLength);
  // The body is whole already (the connection read it before a worker took the request),
  // so ReadClient never waits for the client.
  block_.cbAvailable = static_cast<std::uint32_t>(body_.Preread().size());
  block_.lpbData = body_.Preread().data();
  block_.lpszContentType = info_.contentType.c_str();
  block_.GetServerVariable = &GetServerVariableCb;
  block_.WriteClient = &WriteClientCb;
  block_.ReadClient = &ReadClientCb;
  block_.ServerSupportFunction = &SupportCb;

  std::uint32_t result;
  try {
    result = extension_.HttpExtensionProc(&block_);
  } catch (const std::exception& e) {
    // A C entry point must not throw; if it does, the request fails and the host goes on.
    LogRefusal("HttpExtensionProc raised an exception", e.what());
    result = QX_STATUS_ERROR;
  } catch (...) {
    LogRefusal("HttpExtensionProc raised an exception", "unknown");
    result = QX_STATUS_ERROR;
  }
  std::lock_guard lock(mutex_);
  returned_ = true;
  result_ = result;
  FinishIfDoneLocked();
}

void ExtensionRequest::Unregister() { Requests().Remove(id_); }

void ExtensionRequest::FinishIfDoneLocked() {
  if (finishPosted_ || !returned_ || asyncBusy_ || inCompletion_) return;
  if (result_ == QX_STATUS_PENDING && !doneWithSession_) return;
  finishPosted_ = true;
  connection_->PostFinish(result_, badHeader_);
}

// --- the four callbacks ---------------------------------------------------------------

int ExtensionRequest::GetServerVariableCb(void* conn, const char* name, char* buffer,
                                          std::uint32_t* size) {
  auto r = Requests().Find(conn);
  if (!r) return Fail(EINVAL);
  return r->GetServerVariable(name, buffer, size);
}

int ExtensionRequest::WriteClientCb(void* conn, const void* buffer, std::uint32_t* bytes,
                                    std::uint32_t flags) {
  auto r = Requests().Find(conn);
  if (!r || bytes == nullptr || (buffer == nullptr && *bytes > 0)) return Fail(EINVAL);
  return (flags & QX_IO_ASYNC) ? r->WriteAsync(buffer, bytes) : r->WriteSync(buffer, bytes);
}

int ExtensionRequest::ReadClientCb(void* conn, void* buffer, std::uint32_t* size) {
  auto r = Requests().Find(conn);
  if (!r || size == nullptr || (buffer == nullptr && *size > 0)) return Fail(EINVAL);
  return r->ReadClient(buffer, size);
}

int ExtensionRequest::SupportCb(void* conn, std::uint32_t request, void* buffer,
                                std::uint32_t* size, void* data) {
  auto r = Requests().Find(conn);
  if (!r) return Fail(EINVAL);
  switch (request) {
    case QX_REQ_SEND_URL_REDIRECT_RESP:
      return r->SendRedirect(static_cast<const char*>(buffer));
    case QX_REQ_SEND_RESPONSE_HEADER:
      return r->SendResponseHeader(static_cast<const char*>(buffer),
                                   static_cast<const char*>(data));
    case QX_REQ_DONE_WITH_SESSION:
      return r->DoneWithSession();
    case QX_REQ_MAP_URL_TO_PATH:
      return r->MapUrlToPath(static_cast<char*>(buffer), size);
    case QX_REQ_IO_COMPLETION:
      return r->SetCompletion(buffer, data);
    default:
      return Fail(EINVAL);
  }
}

// --- the operations ---------------------------------------------------------------------

int ExtensionRequest::GetServerVariable(const char* name, char* buffer, std::uint32_t* size) {
  if (name == nullptr || size == nullptr) return Fail(EINVAL);
  auto length = BoundedLength(name, kMaxVariableName);
  if (!length) return Fail(EINVAL);
  auto value = ServerVariable(info_, std::string_view(name, *length));
  if (!value) return Fail(ENOENT);
  return CopyOut(*value, buffer, size);
}

int ExtensionRequest::WriteSync(const void* buffer, std::uint32_t* bytes) {
  {
    std::lock_guard lock(mutex_);
    if (asyncBusy_) return Fail(EBUSY);
  }
  // Waiting here on the connection's own strand would wait for ourselves.
  if (connection_->InStrand()) return Fail(EDEADLK);
  std::promise<bool> promise;
  auto written = promise.get_future();
  connection_->PostBody(buffer, *bytes, [&promise](bool ok, std::size_t, int) {
    promise.set_value(ok);
  });
  if (!written.get()) return Fail(EPIPE);
  return 1;
}

int ExtensionRequest::WriteAsync(const void* buffer, std::uint32_t* bytes) {
  {
    std::lock_guard lock(mutex_);
    if (completion_ == nullptr || asyncBusy_) return Fail(completion_ ? EBUSY : EINVAL);
    asyncBusy_ = true;
  }
  // Even when the client is gone the write is accepted: its failure then arrives through the
  // completion routine, which is where the library releases the reply and ends the session.
  connection_->PostBody(buffer, *bytes,
                        [self = shared_from_this()](bool ok, std::size_t n, int error) {
                          self->AsyncWritten(ok, n, error);
                        });
  return 1;
}

void ExtensionRequest::AsyncWritten(bool ok, std::size_t bytes, int error) {
  QxIoCompletion routine;
  void* context;
  {
    std::lock_guard lock(mutex_);
    asyncBusy_ = false;
    inCompletion_ = true;
    routine = completion_;
    context = completionContext_;
  }
  routine(&block_, context, static_cast<std::uint32_t>(bytes),
          ok ? 0u : static_cast<std::uint32_t>(error ? error : EIO));
  std::lock_guard lock(mutex_);
  inCompletion_ = false;
  FinishIfDoneLocked();
}

int ExtensionRequest::ReadClient(void* buffer, std::uint32_t* size) {
  std::lock_guard lock(mutex_);
  std::optional<std::size_t> n = body_.ReadRest(buffer, *size);
  if (!n) return Fail(EIO);
  *size = static_cast<std::uint32_t>(*n);
  return 1;
}

int ExtensionRequest::SendResponseHeader(const char* statusText, const char* headerBlock) {
  auto statusLength = BoundedLength(statusText, kMaxStatusText);
  auto blockLength = BoundedLength(headerBlock, kMaxHeaderBlock);
  std::optional<ExtensionReply> reply;
  std::string why;
  if (!statusLength || !blockLength) {
    why = "status text or header block too long or not terminated";
  } else {
    try {
      reply = ParseExtensionReply(std::string_view(statusText ? statusText : "", *statusLength),
                                  std::string_view(headerBlock ? headerBlock : "", *blockLength),
                                  block_.dwHttpStatusCode);
    } catch (const EBadReplyHeader& e) {
      why = e.Message();
    }
  }
  std::lock_guard lock(mutex_);
  if (headerSent_) return Fail(EALREADY);
  if (!reply) {
    LogRefusal("refused the library's response header", why);
    badHeader_ = true;
    return Fail(EINVAL);
  }
  headerSent_ = true;
  connection_->PostHead(std::move(*reply));
  return 1;
}

int ExtensionRequest::SendRedirect(const char* url) {
  auto length = BoundedLength(url, kMaxUrl);
  if (url == nullptr || !length || *length == 0) return Fail(EINVAL);
  for (std::size_t i = 0; i < *length; ++i) {
    unsigned char c = static_cast<unsigned char>(url[i]);
    if (c < 0x20 || c == 0x7F) return Fail(EINVAL);
  }
  std::lock_guard lock(mutex_);
  if (headerSent_) return Fail(EALREADY);
  headerSent_ = true;
  connection_->PostRedirect(std::string(url, *length));
  return 1;
}

int ExtensionRequest::DoneWithSession() {
  std::lock_guard lock(mutex_);
  doneWithSession_ = true;
  FinishIfDoneLocked();
  return 1;
}

int ExtensionRequest::MapUrlToPath(char* buffer, std::uint32_t* size) {
  if (buffer == nullptr || size == nullptr || *size == 0) return Fail(EINVAL);
  std::size_t length = ::strnlen(buffer, std::min<std::size_t>(*size, kMaxUrl));
  auto path = files_.MapUrlToPath(std::string_view(buffer, length));
  if (!path) return Fail(EINVAL);
  return CopyOut(*path, buffer, size);
}

int ExtensionRequest::SetCompletion(void* routine, void* context) {
  if (routine == nullptr) return Fail(EINVAL);
  std::lock_guard lock(mutex_);
  completion_ = reinterpret_cast<QxIoCompletion>(routine);
  completionContext_ = context;
  return 1;
}

}  // namespace qx::host
