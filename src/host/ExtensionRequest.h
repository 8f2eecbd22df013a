// The connection block bridge: one library request, with the connection block the library
// sees and the callbacks behind it (server variables, reads, synchronous and asynchronous
// writes, the server support requests), translated into work on the client's connection.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "entry/ConnectionBlock.h"
#include "host/RequestBody.h"
#include "host/ServerVariables.h"

namespace qx::host {

class Connection;
class Extension;
class StaticFiles;

// Lifetime: created by the connection when a request for the library is complete enough to
// call it; registered under its connection id until the reply has ended, so that callbacks
// with a stale or forged id fail instead of touching freed memory.
//
// Threads: Run() on a worker thread; callbacks on whichever thread the library calls from
// (workers, I/O threads inside the completion routine, its own threads); AsyncWritten() on
// the connection's strand. mutex_ guards the request's state flags and the body's read
// position; it is never held while the library or the connection is called.
class ExtensionRequest : public std::enable_shared_from_this<ExtensionRequest> {
 public:
  ExtensionRequest(std::shared_ptr<Connection> connection, RequestInfo info,
                   RequestBody body, const Extension& extension,
                   const StaticFiles& files);
  ~ExtensionRequest();
  ExtensionRequest(const ExtensionRequest&) = delete;
  ExtensionRequest& operator=(const ExtensionRequest&) = delete;

  // Registers the request and calls HttpExtensionProc (on a worker thread).
  void Run();
  // Removes the id from the registry; callbacks after this fail. Called when the reply ended.
  void Unregister();

  const RequestInfo& Info() const noexcept { return info_; }
  // The status the library put into the connection block (used when it sent no header).
  std::uint32_t BlockStatus() const noexcept { return block_.dwHttpStatusCode; }

 private:
  static int GetServerVariableCb(void* conn, const char* name, char* buffer, std::uint32_t* size);
  static int WriteClientCb(void* conn, const void* buffer, std::uint32_t* bytes,
                           std::uint32_t flags);
  static int ReadClientCb(void* conn, void* buffer, std::uint32_t* size);
  static int SupportCb(void* conn, std::uint32_t request, void* buffer, std::uint32_t* size,
                       void* data);

  int GetServerVariable(const char* name, char* buffer, std::uint32_t* size);
  int WriteSync(const void* buffer, std::uint32_t* bytes);
  int WriteAsync(const void* buffer, std::uint32_t* bytes);
  int ReadClient(void* buffer, std::uint32_t* size);
  int SendResponseHeader(const char* statusText, const char* headerBlock);
  int SendRedirect(const char* url);
  int DoneWithSession();
  int MapUrlToPath(char* buffer, std::uint32_t* size);
  int SetCompletion(void* routine, void* context);

  // On the connection's strand when an asynchronous write has ended.
  void AsyncWritten(bool ok, std::size_t bytes, int error);
  // Posts the end of the reply once the library is done with it: HttpExtensionProc returned
  // (and, when it returned pending, done-with-session came), no asynchronous write is under
  // way and no completion routine is running. Called with mutex_ held.
  void FinishIfDoneLocked();

  std::shared_ptr<Connection> connection_;
  RequestInfo info_;
  RequestBody body_;  // whole; the library reads what follows the pre-read part
  const Extension& extension_;
  const StaticFiles& files_;
  std::uintptr_t id_;
  QxConnectionBlock block_{};

  std::mutex mutex_;
  bool returned_ = false;
  std::uint32_t result_ = 0;
  bool doneWithSession_ = false;
  bool headerSent_ = false;     // a response header or redirect went to the connection
  bool badHeader_ = false;      // the library's header was refused
  bool asyncBusy_ = false;      // an asynchronous write is under way
  bool inCompletion_ = false;   // the completion routine is running
  bool finishPosted_ = false;
  QxIoCompletion completion_ = nullptr;
  void* completionContext_ = nullptr;
};

}  // namespace qx::host
