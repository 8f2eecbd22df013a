// An in-memory web server connection for tests: it serves a request (server variables, body
// bytes) through a real connection block and records everything the extension does with it
// (status, header block, body writes, redirects, asynchronous writes and their completions,
// done-with-session). Completions run on the connection's own thread or on demand.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "entry/ConnectionBlock.h"

namespace qx::test {

// A SERVER_SOFTWARE that selects the asynchronous path, and one that does not.
inline constexpr char kAsyncServerSoftware[] = "Microsoft-IIS/10.0 (requestqx-test)";
inline constexpr char kOtherServerSoftware[] = "requestqx-test/1.0";

class InMemoryConnection {
 public:
  // When completion routines run: on the connection's own thread as soon as an asynchronous
  // write is started (like a server's I/O thread), or only when RunCompletion() is called.
  enum class CompletionMode { OnThread, OnDemand };

  struct Write {
    bool async;
    std::size_t size;
  };

  // A GET of the script "/RequestQX9" with empty path info over HTTP/1.1 from 127.0.0.1, with
  // kAsyncServerSoftware.
  InMemoryConnection();
  // Waits for the completion thread to finish what is queued.
  ~InMemoryConnection();
  InMemoryConnection(const InMemoryConnection&) = delete;
  InMemoryConnection& operator=(const InMemoryConnection&) = delete;

  // --- The request. Each setter keeps the connection block and the matching server
  // variable in step (REQUEST_METHOD, PATH_INFO, QUERY_STRING, CONTENT_TYPE, CONTENT_LENGTH).
  InMemoryConnection& SetMethod(std::string method);
  InMemoryConnection& SetPathInfo(std::string pathInfo);
  InMemoryConnection& SetQueryString(std::string query);
  InMemoryConnection& SetPathTranslated(std::string path);
  InMemoryConnection& SetContentType(std::string type);
  // Any server variable ("SERVER_SOFTWARE", "REMOTE_ADDR" ...).
  InMemoryConnection& SetVariable(std::string name, std::string value);
  InMemoryConnection& RemoveVariable(const std::string& name);
  // A request header, served as the variable "HTTP_" + the name upper-cased with '-' as '_'.
  InMemoryConnection& SetHeader(std::string_view name, std::string value);
  // The body: the first `preRead` bytes come with the block, the rest is served by read-client
  // calls of at most `readChunk` bytes each. Sets the content length to the body's size.
  InMemoryConnection& SetBody(std::string body, std::size_t preRead = SIZE_MAX,
                              std::size_t readChunk = SIZE_MAX);
  // A POST of an url-encoded form ("a=1&b=2"), as a browser submits a page.
  InMemoryConnection& PostForm(std::string urlEncodedFields);
  // Overrides the content length the block and CONTENT_LENGTH announce.
  InMemoryConnection& SetContentLength(std::uint32_t length);
  // URL-to-path mapping; without one the mapping request fails.
  InMemoryConnection& SetUrlMapper(std::function<std::optional<std::string>(std::string)> map);
  InMemoryConnection& SetCompletionMode(CompletionMode mode);
  // The n-th asynchronous write (counted from 1) is refused by write client.
  InMemoryConnection& RefuseAsyncWrite(int n);
  // The n-th completion (counted from 1) reports `error` instead of success.
  InMemoryConnection& FailCompletion(int n, std::uint32_t error);

  // The connection block to hand to HttpExtensionProc.
  QxConnectionBlock* Block() noexcept { return &block_; }

  // --- What the extension did.
  std::uint32_t StatusCode() const;
  bool HeadersSent() const;
  std::string StatusText() const;
  std::string Headers() const;
  // The value of the first header line named `name` (letter case ignored); nothing if absent.
  std::optional<std::string> HeaderValue(std::string_view name) const;
  std::string Body() const;
  std::vector<Write> Writes() const;
  std::vector<std::size_t> AsyncWriteSizes() const;
  std::string RedirectUrl() const;
  int DoneWithSessionCount() const;
  int CompletionCount() const;
  // Everything in order: "headers", "write N", "async-write N", "completion N", "redirect",
  // "done".
  std::vector<std::string> Events() const;
  // Things a server would not accept: a write after done-with-session, a second pending
  // asynchronous write, an asynchronous write without a completion routine.
  std::vector<std::string> Violations() const;
  // Body bytes served by read-client calls, and the number of those calls.
  std::size_t BytesRead() const;
  int ReadCalls() const;

  // --- Asynchronous completions.
  // Runs the completion of the oldest pending asynchronous write on the calling thread (in
  // OnDemand mode); false when none is pending.
  bool RunCompletion();
  int PendingCompletions() const;
  // Waits until done-with-session has been requested; false on time-out.
  bool WaitForDone(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Waits until no completion is pending or running (OnThread mode).
  bool WaitForIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

 private:
  struct Pending {
    QxIoCompletion routine;
    void* context;
    std::uint32_t bytes;
    std::uint32_t error;
  };

  static int GetServerVariable(void* conn, const char* name, char* buffer, std::uint32_t* size);
  static int WriteClient(void* conn, const void* buffer, std::uint32_t* bytes,
                         std::uint32_t flags);
  static int ReadClient(void* conn, void* buffer, std::uint32_t* size);
  static int ServerSupportFunction(void* conn, std::uint32_t request, void* buffer,
                                   std::uint32_t* size, void* data);

  void Refresh();
  void Complete(const Pending& pending);
  void CompletionThread();

  // The request members (method_ to mapper_) are set by the test before the request starts
  // and only read while it runs. lock_ guards everything after them except block_ and thread_;
  // completion routines are called without it.
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::string method_ = "GET";
  std::string pathInfo_;
  std::string query_;
  std::string pathTranslated_;
  std::string contentType_;
  std::map<std::string, std::string> variables_;
  std::string body_;
  std::size_t preRead_ = 0;
  std::size_t readChunk_ = SIZE_MAX;
  std::function<std::optional<std::string>(std::string)> mapper_;

  std::size_t readPos_ = 0;
  int readCalls_ = 0;
  CompletionMode mode_ = CompletionMode::OnThread;
  int refuseAsyncWrite_ = 0;
  int failCompletion_ = 0;
  std::uint32_t failError_ = 0;

  bool headersSent_ = false;
  std::string statusText_;
  std::string headers_;
  std::string written_;
  std::vector<Write> writes_;
  std::string redirect_;
  int done_ = 0;
  int asyncWrites_ = 0;
  int completions_ = 0;
  bool completing_ = false;
  std::vector<std::string> events_;
  std::vector<std::string> violations_;
  QxIoCompletion routine_ = nullptr;
  void* routineContext_ = nullptr;
  std::deque<Pending> pending_;
  bool stopping_ = false;

  QxConnectionBlock block_{};
  std::thread thread_;
};

}  // namespace qx::test
