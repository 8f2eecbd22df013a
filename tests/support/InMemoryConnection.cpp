// The in-memory connection: connection block callbacks over recorded state.
#include "support/InMemoryConnection.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qx::test {
namespace {

InMemoryConnection& Self(void* conn) { return *static_cast<InMemoryConnection*>(conn); }

bool SameTextAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

InMemoryConnection::InMemoryConnection() {
  variables_ = {
      {"SERVER_SOFTWARE", kAsyncServerSoftware},
      {"SERVER_PROTOCOL", "HTTP/1.1"},
      {"SCRIPT_NAME", "/RequestQX9"},
      {"URL", "/RequestQX9"},
      {"REMOTE_ADDR", "127.0.0.1"},
      {"REMOTE_HOST", "127.0.0.1"},
      {"SERVER_PORT", "8081"},
      {"HTTP_HOST", "127.0.0.1:8081"},
  };
  block_.cbSize = sizeof block_;
  block_.dwVersion = 0x00020000;
  block_.ConnID = this;
  block_.GetServerVariable = &InMemoryConnection::GetServerVariable;
  block_.WriteClient = &InMemoryConnection::WriteClient;
  block_.ReadClient = &InMemoryConnection::ReadClient;
  block_.ServerSupportFunction = &InMemoryConnection::ServerSupportFunction;
  Refresh();
  thread_ = std::thread([this] { CompletionThread(); });
}

InMemoryConnection::~InMemoryConnection() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void InMemoryConnection::Refresh() {
  variables_["REQUEST_METHOD"] = method_;
  variables_["PATH_INFO"] = pathInfo_;
  variables_["QUERY_STRING"] = query_;
  if (contentType_.empty()) variables_.erase("CONTENT_TYPE");
  else variables_["CONTENT_TYPE"] = contentType_;
  block_.lpszMethod = method_.c_str();
  block_.lpszQueryString = query_.c_str();
  block_.lpszPathInfo = pathInfo_.c_str();
  block_.lpszPathTranslated = pathTranslated_.c_str();
  block_.lpszContentType = contentType_.c_str();
  block_.lpbData = reinterpret_cast<const unsigned char*>(body_.data());
  block_.cbAvailable = static_cast<std::uint32_t>(preRead_);
}

InMemoryConnection& InMemoryConnection::SetMethod(std::string method) {
  method_ = std::move(method);
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::SetPathInfo(std::string pathInfo) {
  pathInfo_ = std::move(pathInfo);
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::SetQueryString(std::string query) {
  query_ = std::move(query);
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::SetPathTranslated(std::string path) {
  pathTranslated_ = std::move(path);
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::SetContentType(std::string type) {
  contentType_ = std::move(type);
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::SetVariable(std::string name, std::string value) {
  variables_[std::move(name)] = std::move(value);
  return *this;
}

InMemoryConnection& InMemoryConnection::RemoveVariable(const std::string& name) {
  variables_.erase(name);
  return *this;
}

InMemoryConnection& InMemoryConnection::SetHeader(std::string_view name, std::string value) {
  std::string key = "HTTP_";
  for (char c : name) key += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  variables_[key] = std::move(value);
  return *this;
}

InMemoryConnection& InMemoryConnection::SetBody(std::string body, std::size_t preRead,
                                                std::size_t readChunk) {
  body_ = std::move(body);
  preRead_ = std::min(preRead, body_.size());
  readChunk_ = readChunk == 0 ? 1 : readChunk;
  readPos_ = preRead_;
  SetContentLength(static_cast<std::uint32_t>(body_.size()));
  Refresh();
  return *this;
}

InMemoryConnection& InMemoryConnection::PostForm(std::string urlEncodedFields) {
  SetMethod("POST");
  SetContentType("application/x-www-form-urlencoded");
  return SetBody(std::move(urlEncodedFields));
}

InMemoryConnection& InMemoryConnection::SetContentLength(std::uint32_t length) {
  block_.cbTotalBytes = length;
  variables_["CONTENT_LENGTH"] = std::to_string(length);
  return *this;
}

InMemoryConnection& InMemoryConnection::SetUrlMapper(
    std::function<std::optional<std::string>(std::string)> map) {
  mapper_ = std::move(map);
  return *this;
}

InMemoryConnection& InMemoryConnection::SetCompletionMode(CompletionMode mode) {
  std::lock_guard guard(lock_);
  mode_ = mode;
  return *this;
}

InMemoryConnection& InMemoryConnection::RefuseAsyncWrite(int n) {
  std::lock_guard guard(lock_);
  refuseAsyncWrite_ = n;
  return *this;
}

InMemoryConnection& InMemoryConnection::FailCompletion(int n, std::uint32_t error) {
  std::lock_guard guard(lock_);
  failCompletion_ = n;
  failError_ = error;
  return *this;
}

// --- Connection block callbacks.

int InMemoryConnection::GetServerVariable(void* conn, const char* name, char* buffer,
                                          std::uint32_t* size) {
  InMemoryConnection& self = Self(conn);
  auto it = self.variables_.find(name);
  if (it == self.variables_.end()) return 0;
  const std::string& value = it->second;
  if (value.size() + 1 > *size) {
    *size = static_cast<std::uint32_t>(value.size() + 1);
    return 0;
  }
  std::memcpy(buffer, value.c_str(), value.size() + 1);
  *size = static_cast<std::uint32_t>(value.size() + 1);
  return 1;
}

int InMemoryConnection::ReadClient(void* conn, void* buffer, std::uint32_t* size) {
  InMemoryConnection& self = Self(conn);
  std::lock_guard guard(self.lock_);
  ++self.readCalls_;
  std::size_t n = std::min({static_cast<std::size_t>(*size), self.readChunk_,
                            self.body_.size() - self.readPos_});
  std::memcpy(buffer, self.body_.data() + self.readPos_, n);
  self.readPos_ += n;
  *size = static_cast<std::uint32_t>(n);
  return 1;
}

int InMemoryConnection::WriteClient(void* conn, const void* buffer, std::uint32_t* bytes,
                                    std::uint32_t flags) {
  InMemoryConnection& self = Self(conn);
  std::unique_lock guard(self.lock_);
  bool async = flags == QX_IO_ASYNC;
  if (self.done_ > 0) self.violations_.push_back("write after done-with-session");
  if (!async) {
    self.written_.append(static_cast<const char*>(buffer), *bytes);
    self.writes_.push_back({false, *bytes});
    self.events_.push_back("write " + std::to_string(*bytes));
    return 1;
  }
  ++self.asyncWrites_;
  if (self.asyncWrites_ == self.refuseAsyncWrite_) {
    self.events_.push_back("refused-write " + std::to_string(*bytes));
    return 0;
  }
  if (!self.routine_) {
    self.violations_.push_back("asynchronous write without a completion routine");
    return 0;
  }
  if (!self.pending_.empty())
    self.violations_.push_back("second asynchronous write while one is pending");
  self.written_.append(static_cast<const char*>(buffer), *bytes);
  self.writes_.push_back({true, *bytes});
  self.events_.push_back("async-write " + std::to_string(*bytes));
  std::uint32_t error = 0;
  if (self.asyncWrites_ == self.failCompletion_) error = self.failError_;
  self.pending_.push_back({self.routine_, self.routineContext_, *bytes, error});
  guard.unlock();
  self.changed_.notify_all();
  return 1;
}

int InMemoryConnection::ServerSupportFunction(void* conn, std::uint32_t request, void* buffer,
                                              std::uint32_t* size, void* data) {
  InMemoryConnection& self = Self(conn);
  switch (request) {
    case QX_REQ_SEND_URL_REDIRECT_RESP: {
      std::lock_guard guard(self.lock_);
      self.redirect_ = static_cast<const char*>(buffer);
      self.events_.push_back("redirect");
      return 1;
    }
    case QX_REQ_SEND_RESPONSE_HEADER: {
      std::lock_guard guard(self.lock_);
      if (self.headersSent_) self.violations_.push_back("second response header");
      self.headersSent_ = true;
      self.statusText_ = buffer ? static_cast<const char*>(buffer) : "";
      self.headers_ = data ? static_cast<const char*>(data) : "";
      self.events_.push_back("headers");
      return 1;
    }
    case QX_REQ_DONE_WITH_SESSION: {
      {
        std::lock_guard guard(self.lock_);
        ++self.done_;
        if (self.done_ > 1) self.violations_.push_back("second done-with-session");
        self.events_.push_back("done");
      }
      self.changed_.notify_all();
      return 1;
    }
    case QX_REQ_MAP_URL_TO_PATH: {
      if (!self.mapper_ || !buffer || !size) return 0;
      auto path = self.mapper_(static_cast<const char*>(buffer));
      if (!path || path->size() + 1 > *size) return 0;
      std::memcpy(buffer, path->c_str(), path->size() + 1);
      *size = static_cast<std::uint32_t>(path->size() + 1);
      return 1;
    }
    case QX_REQ_IO_COMPLETION: {
      std::lock_guard guard(self.lock_);
      self.routine_ = reinterpret_cast<QxIoCompletion>(buffer);
      self.routineContext_ = data;
      return 1;
    }
    default:
      return 0;
  }
}

// --- Completions.

void InMemoryConnection::Complete(const Pending& pending) {
  pending.routine(&block_, pending.context, pending.bytes, pending.error);
  {
    std::lock_guard guard(lock_);
    completing_ = false;
  }
  changed_.notify_all();
}

bool InMemoryConnection::RunCompletion() {
  Pending next;
  {
    std::lock_guard guard(lock_);
    if (pending_.empty()) return false;
    next = pending_.front();
    pending_.pop_front();
    completing_ = true;
    ++completions_;
    events_.push_back("completion " + std::to_string(next.bytes));
  }
  Complete(next);
  return true;
}

void InMemoryConnection::CompletionThread() {
  std::unique_lock guard(lock_);
  for (;;) {
    changed_.wait(guard, [this] {
      return stopping_ || (mode_ == CompletionMode::OnThread && !pending_.empty());
    });
    if (mode_ != CompletionMode::OnThread || pending_.empty()) {
      if (stopping_) return;
      continue;
    }
    Pending next = pending_.front();
    pending_.pop_front();
    completing_ = true;
    ++completions_;
    events_.push_back("completion " + std::to_string(next.bytes));
    guard.unlock();
    Complete(next);
    guard.lock();
  }
}

int InMemoryConnection::PendingCompletions() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(pending_.size());
}

bool InMemoryConnection::WaitForDone(std::chrono::milliseconds timeout) const {
  std::unique_lock guard(lock_);
  return changed_.wait_for(guard, timeout, [this] { return done_ > 0; });
}

bool InMemoryConnection::WaitForIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock guard(lock_);
  return changed_.wait_for(guard, timeout, [this] { return pending_.empty() && !completing_; });
}

// --- Recorded state.

std::uint32_t InMemoryConnection::StatusCode() const {
  std::lock_guard guard(lock_);
  return block_.dwHttpStatusCode;
}

bool InMemoryConnection::HeadersSent() const {
  std::lock_guard guard(lock_);
  return headersSent_;
}

std::string InMemoryConnection::StatusText() const {
  std::lock_guard guard(lock_);
  return statusText_;
}

std::string InMemoryConnection::Headers() const {
  std::lock_guard guard(lock_);
  return headers_;
}

std::optional<std::string> InMemoryConnection::HeaderValue(std::string_view name) const {
  std::string headers = Headers();
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find("\r\n", start);
    if (end == std::string::npos) end = headers.size();
    std::string_view line(headers.data() + start, end - start);
    start = end + 2;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (SameTextAscii(line.substr(0, colon), name)) {
      std::string_view value = line.substr(colon + 1);
      if (!value.empty() && value[0] == ' ') value.remove_prefix(1);
      return std::string(value);
    }
  }
  return std::nullopt;
}

std::string InMemoryConnection::Body() const {
  std::lock_guard guard(lock_);
  return written_;
}

std::vector<InMemoryConnection::Write> InMemoryConnection::Writes() const {
  std::lock_guard guard(lock_);
  return writes_;
}

std::vector<std::size_t> InMemoryConnection::AsyncWriteSizes() const {
  std::lock_guard guard(lock_);
  std::vector<std::size_t> sizes;
  for (const Write& w : writes_)
    if (w.async) sizes.push_back(w.size);
  return sizes;
}

std::string InMemoryConnection::RedirectUrl() const {
  std::lock_guard guard(lock_);
  return redirect_;
}

int InMemoryConnection::DoneWithSessionCount() const {
  std::lock_guard guard(lock_);
  return done_;
}

int InMemoryConnection::CompletionCount() const {
  std::lock_guard guard(lock_);
  return completions_;
}

std::vector<std::string> InMemoryConnection::Events() const {
  std::lock_guard guard(lock_);
  return events_;
}

std::vector<std::string> InMemoryConnection::Violations() const {
  std::lock_guard guard(lock_);
  return violations_;
}

std::size_t InMemoryConnection::BytesRead() const {
  std::lock_guard guard(lock_);
  return readPos_ - preRead_;
}

int InMemoryConnection::ReadCalls() const {
  std::lock_guard guard(lock_);
  return readCalls_;
}

}  // namespace qx::test
