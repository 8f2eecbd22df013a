// The three exports of the library: version, request entry on both server kinds, termination.
#include "entry/ExtensionProc.h"

#include <atomic>
#include <cstring>

#include "entry/ISAPIApplication.h"
#include "entry/IWISAPIRequest.h"
#include "entry/ServerControllerClass.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/HtmlText.h"

namespace qx {

const char* const kFallbackErrorBody =
    "<html><title>Internal Server Error 500</title>\r\n<h1>Internal Server Error 500</h1><hr>\r\n"
    "Exception: %s<br>\r\nMessage: %s<br></html>\r\n";
const char* const kFallbackErrorHeaders = "Content-Type: text/html\r\nContent-Length: %d\r\n\r\n";

namespace {

constexpr char kAsyncServerPrefix[] = "Microsoft-IIS";
constexpr char kDroppedRequest[] = "HttpExtensionProc dropped a request";
constexpr std::uint32_t kExtensionVersion = 0x00020000;

// Written without a lock by whichever request comes first; every writer stores the same value.
std::atomic<int> serverKind{skUnknown};

TWebRequestHandler& Handler() {
  TISAPIApplication* app = Application();
  if (!app) throw Exception(kNoDataModules);
  return app->RequestHandler();
}

int DetectServerKind(QxConnectionBlock& block) {
  char buffer[4096];
  std::uint32_t size = sizeof buffer;
  bool async = block.GetServerVariable(block.ConnID, "SERVER_SOFTWARE", buffer, &size) &&
               std::strncmp(buffer, kAsyncServerPrefix, sizeof kAsyncServerPrefix - 1) == 0;
  return async ? skAsync : skOther;
}

std::uint32_t OtherServerRequest(QxConnectionBlock& block) {
  try {
    TISAPIRequest request(block);
    TISAPIResponse response(request);
    return Handler().HandleRequest(request, response) ? QX_STATUS_SUCCESS : QX_STATUS_ERROR;
  } catch (const std::exception& failure) {
    SendFallbackErrorReply(block, failure);
  } catch (...) {
    SendFallbackErrorReply(block, Exception("Unknown failure"));
  }
  return QX_STATUS_ERROR;
}

std::uint32_t AsyncServerRequest(QxConnectionBlock& block) {
  bool asyncStarted = false;
  bool failed = false;
  try {
    TIWISAPIRequest request(block);
    TIWISAPIResponse response(request);
    request.SetResponse(&response);
    // Records the flag however the handler ends, before the response goes.
    struct Started {
      const TIWISAPIResponse& response;
      bool& started;
      ~Started() { started = response.AsyncStarted(); }
    } started{response, asyncStarted};
    Handler().HandleRequest(request, response);
  } catch (...) {
    // The server gets only a result for this request, so the reason goes to the log.
    failed = true;
    LogCurrentFailure(kDroppedRequest);
  }
  // Once a write is under way the request ends with the completion routine's done-with-
  // session, so the result must be "pending" whatever else happened: reporting an error as
  // well would let the server end the request twice.
  if (asyncStarted) return QX_STATUS_PENDING;
  return failed ? QX_STATUS_ERROR : QX_STATUS_SUCCESS;
}

}  // namespace

int ServerKind() noexcept { return serverKind.load(std::memory_order_relaxed); }

void SendFallbackErrorReply(QxConnectionBlock& block, const std::exception& failure) noexcept {
  try {
    std::string message = failure.what();
    std::string body = Format(kFallbackErrorBody, {ExceptionClassName(failure), HtmlText(message)});
    std::string headers = Format(kFallbackErrorHeaders, {body.size()});
    std::string status = "500 ";
    for (char c : message)
      if (c != '\r' && c != '\n') status += c;
    block.dwHttpStatusCode = 500;
    auto size = static_cast<std::uint32_t>(status.size());
    block.ServerSupportFunction(block.ConnID, QX_REQ_SEND_RESPONSE_HEADER, status.data(), &size,
                                headers.data());
    auto length = static_cast<std::uint32_t>(body.size());
    block.WriteClient(block.ConnID, body.data(), &length, QX_IO_SYNC);
  } catch (...) {
    // Nothing more can be told to a client whose error reply itself failed.
  }
}

}  // namespace qx

extern "C" int GetExtensionVersion(QxExtensionVersion* version) {
  if (!version) return 0;
  version->dwExtensionVersion = qx::kExtensionVersion;
  const qx::TISAPIApplication* app = qx::Application();
  std::string title = app ? app->Title() : std::string();
  std::size_t n = std::min(title.size(), sizeof version->lpszExtensionDesc - 1);
  std::memcpy(version->lpszExtensionDesc, title.data(), n);
  version->lpszExtensionDesc[n] = '\0';
  return 1;
}

extern "C" std::uint32_t HttpExtensionProc(QxConnectionBlock* block) {
  if (!block) return QX_STATUS_ERROR;
  int kind = qx::serverKind.load(std::memory_order_relaxed);
  if (kind == qx::skUnknown) {
    kind = qx::DetectServerKind(*block);
    qx::serverKind.store(kind, std::memory_order_relaxed);
  }
  return kind == qx::skAsync ? qx::AsyncServerRequest(*block) : qx::OtherServerRequest(*block);
}

extern "C" int TerminateExtension(std::uint32_t /*flags*/) {
  if (qx::TISAPIApplication* app = qx::Application()) app->DestroyServerController();
  return 1;
}
