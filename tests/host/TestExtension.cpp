// A small service library for the host tests. Each path below its mount exercises one
// connection-block operation the way the real library does; the exported hooks report what
// the library side saw.
#include "TestExtension.h"

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "entry/ConnectionBlock.h"

namespace {

std::mutex gMutex;
std::condition_variable gChanged;
TestExtensionStats gStats{};
std::uint32_t gParked = 0;
std::uint64_t gReleaseGeneration = 0;

void Count(std::uint32_t TestExtensionStats::*field) {
  {
    std::lock_guard lock(gMutex);
    ++(gStats.*field);
  }
  gChanged.notify_all();
}

std::string Query(QxConnectionBlock* b) { return b->lpszQueryString ? b->lpszQueryString : ""; }

long QueryNumber(QxConnectionBlock* b, const char* key, long fallback) {
  std::string q = "&" + Query(b);
  std::string k = std::string("&") + key + "=";
  auto at = q.find(k);
  return at == std::string::npos ? fallback : std::atol(q.c_str() + at + k.size());
}

// Byte i of every generated body.
char Pattern(std::size_t i) { return static_cast<char>('a' + (i * 7 + i / 1024) % 26); }

std::string PatternText(std::size_t n, std::size_t from = 0) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = Pattern(from + i);
  return s;
}

bool SendHeader(QxConnectionBlock* b, const char* status, const std::string& block) {
  return b->ServerSupportFunction(b->ConnID, QX_REQ_SEND_RESPONSE_HEADER,
                                  const_cast<char*>(status), nullptr,
                                  const_cast<char*>(block.c_str())) != 0;
}

bool WriteSync(QxConnectionBlock* b, const std::string& data) {
  std::uint32_t n = static_cast<std::uint32_t>(data.size());
  return b->WriteClient(b->ConnID, data.data(), &n, QX_IO_SYNC) != 0;
}

std::uint32_t Reply(QxConnectionBlock* b, const std::string& body) {
  SendHeader(b, "200 OK",
             "Content-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\n\r\n");
  WriteSync(b, body);
  return QX_STATUS_SUCCESS;
}

std::string Variable(QxConnectionBlock* b, const std::string& name) {
  char small[8];
  std::uint32_t size = sizeof small;
  if (b->GetServerVariable(b->ConnID, name.c_str(), small, &size)) return small;
  if (size <= sizeof small) return "!";  // absent
  std::vector<char> big(size);
  if (!b->GetServerVariable(b->ConnID, name.c_str(), big.data(), &size)) return "?";
  return big.data();
}

// /vars?NAME,NAME...: one "NAME=value" line per name, "NAME!" when absent.
std::uint32_t Vars(QxConnectionBlock* b) {
  std::string body;
  std::string q = Query(b);
  std::size_t start = 0;
  while (start <= q.size()) {
    auto comma = q.find(',', start);
    if (comma == std::string::npos) comma = q.size();
    std::string name = q.substr(start, comma - start);
    start = comma + 1;
    if (name.empty()) continue;
    std::string value = Variable(b, name);
    body += value == "!" ? name + "!\n" : name + "=" + value + "\n";
  }
  return Reply(b, body);
}

// Asynchronous reply in blocks, as the library writes streams: one context per reply.
struct AsyncReply {
  std::string data;
  std::size_t offset = 0;
  std::size_t block = 0;
};

void StartBlock(QxConnectionBlock* b, AsyncReply* r) {
  std::uint32_t n = static_cast<std::uint32_t>(std::min(r->block, r->data.size() - r->offset));
  Count(&TestExtensionStats::asyncStarted);
  b->WriteClient(b->ConnID, r->data.data() + r->offset, &n, QX_IO_ASYNC);
}

void Completion(QxConnectionBlock* b, void* context, std::uint32_t bytes, std::uint32_t error) {
  auto* r = static_cast<AsyncReply*>(context);
  char name[16] = {};
  pthread_getname_np(pthread_self(), name, sizeof name);
  if (std::strcmp(name, "qx-io") != 0) Count(&TestExtensionStats::completionsOffIo);
  if (error) Count(&TestExtensionStats::completionErrors);
  Count(&TestExtensionStats::completions);
  if (error == 0) r->offset += bytes;
  if (error == 0 && r->offset < r->data.size()) return StartBlock(b, r);
  delete r;
  if (b->ServerSupportFunction(b->ConnID, QX_REQ_DONE_WITH_SESSION, nullptr, nullptr, nullptr)) {
    Count(&TestExtensionStats::doneCalls);
  }
}

// /async?total=N&block=B&length=1: N bytes in asynchronous blocks of B, pending until the
// last completion ends the session.
std::uint32_t Async(QxConnectionBlock* b) {
  auto* r = new AsyncReply;
  r->data = PatternText(static_cast<std::size_t>(QueryNumber(b, "total", 0)));
  r->block = static_cast<std::size_t>(QueryNumber(b, "block", 128 * 1024));
  std::string block = "Content-Type: application/octet-stream\r\n";
  if (QueryNumber(b, "length", 1)) block += "Content-Length: " + std::to_string(r->data.size()) + "\r\n";
  SendHeader(b, "200 OK", block + "\r\n");
  if (r->data.empty()) {
    delete r;
    return QX_STATUS_SUCCESS;
  }
  b->ServerSupportFunction(b->ConnID, QX_REQ_IO_COMPLETION, reinterpret_cast<void*>(&Completion),
                           nullptr, r);
  StartBlock(b, r);
  return QX_STATUS_PENDING;
}

// /body: reads the whole body (pre-read part, then ReadClient) and reports its length, a
// checksum and how much was pre-read.
std::uint32_t Body(QxConnectionBlock* b) {
  std::string body(reinterpret_cast<const char*>(b->lpbData), b->cbAvailable);
  std::vector<char> chunk(static_cast<std::size_t>(QueryNumber(b, "chunk", 65536)));
  while (body.size() < b->cbTotalBytes) {
    std::uint32_t n = static_cast<std::uint32_t>(chunk.size());
    if (!b->ReadClient(b->ConnID, chunk.data(), &n)) {
      Count(&TestExtensionStats::readFailures);
      break;
    }
    if (n == 0) break;
    body.append(chunk.data(), n);
  }
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : body) hash = (hash ^ c) * 1099511628211ull;
  return Reply(b, "length=" + std::to_string(body.size()) + " hash=" + std::to_string(hash) +
                      " preread=" + std::to_string(b->cbAvailable) +
                      " total=" + std::to_string(b->cbTotalBytes));
}

// /pieces?count=K&size=S: K synchronous writes of S bytes under a header without a length.
std::uint32_t Pieces(QxConnectionBlock* b) {
  SendHeader(b, "200 OK", "Content-Type: text/plain\r\n\r\n");
  std::size_t size = static_cast<std::size_t>(QueryNumber(b, "size", 10));
  for (long i = 0, k = QueryNumber(b, "count", 3); i < k; ++i) {
    WriteSync(b, PatternText(size, static_cast<std::size_t>(i) * size));
  }
  return QX_STATUS_SUCCESS;
}

// /length?say=N&write=M: announces N bytes and writes M.
std::uint32_t Length(QxConnectionBlock* b) {
  SendHeader(b, "200 OK", "Content-Length: " + std::to_string(QueryNumber(b, "say", 0)) + "\r\n\r\n");
  WriteSync(b, PatternText(static_cast<std::size_t>(QueryNumber(b, "write", 0))));
  return QX_STATUS_SUCCESS;
}

// /map?URL: the physical path the server maps URL to, or "refused".
std::uint32_t Map(QxConnectionBlock* b) {
  char buffer[1024];
  std::snprintf(buffer, sizeof buffer, "%s", Query(b).c_str());
  std::uint32_t size = sizeof buffer;
  bool ok = b->ServerSupportFunction(b->ConnID, QX_REQ_MAP_URL_TO_PATH, buffer, &size, nullptr);
  return Reply(b, ok ? std::string(buffer) : std::string("refused"));
}

// /misuse: calls the server the wrong way and lists the calls that did not fail.
std::uint32_t Misuse(QxConnectionBlock* b) {
  std::string wrong;
  char buffer[64];
  std::uint32_t size = sizeof buffer;
  void* forged = reinterpret_cast<void*>(~std::uintptr_t{0});
  if (b->GetServerVariable(forged, "URL", buffer, &size)) wrong += "forged-id ";
  size = 0;
  if (b->GetServerVariable(b->ConnID, "URL", buffer, &size)) wrong += "small-buffer ";
  if (size != std::strlen(b->lpszPathInfo) + std::strlen("/RequestQX9") + 1) wrong += "needed-size ";
  size = sizeof buffer;
  if (b->GetServerVariable(b->ConnID, nullptr, buffer, &size)) wrong += "null-name ";
  if (b->GetServerVariable(b->ConnID, "NO_SUCH_VARIABLE", buffer, &size)) wrong += "unknown ";
  std::uint32_t n = 4;
  if (b->WriteClient(b->ConnID, nullptr, &n, QX_IO_SYNC)) wrong += "null-write ";
  if (b->WriteClient(b->ConnID, "abcd", &n, QX_IO_ASYNC)) wrong += "async-without-routine ";
  if (b->ServerSupportFunction(b->ConnID, 9999, nullptr, nullptr, nullptr)) wrong += "request ";
  if (b->ServerSupportFunction(b->ConnID, QX_REQ_SEND_URL_REDIRECT_RESP,
                               const_cast<char*>("/x\r\nSet-Cookie: a=b"), nullptr, nullptr)) {
    wrong += "redirect-crlf ";
  }
  if (b->ServerSupportFunction(b->ConnID, QX_REQ_IO_COMPLETION, nullptr, nullptr, nullptr)) {
    wrong += "null-routine ";
  }
  SendHeader(b, "200 OK", "Content-Type: text/plain\r\n\r\n");
  if (SendHeader(b, "200 OK", "\r\n")) wrong += "second-header ";
  WriteSync(b, wrong.empty() ? "ok" : wrong);
  return QX_STATUS_SUCCESS;
}

// /wait: parks until the test releases it, then answers "released".
std::uint32_t Wait(QxConnectionBlock* b) {
  {
    std::unique_lock lock(gMutex);
    ++gParked;
    gChanged.notify_all();
    std::uint64_t generation = gReleaseGeneration;
    gChanged.wait(lock, [&] { return gReleaseGeneration != generation; });
    --gParked;
  }
  return Reply(b, "released");
}

// /later: returns pending at once; another thread writes the reply and ends the session.
std::uint32_t Later(QxConnectionBlock* b) {
  std::thread([b] {
    Reply(b, "from another thread");
    if (b->ServerSupportFunction(b->ConnID, QX_REQ_DONE_WITH_SESSION, nullptr, nullptr, nullptr)) {
      Count(&TestExtensionStats::doneCalls);
    }
  }).detach();
  return QX_STATUS_PENDING;
}

}  // namespace

extern "C" {

int GetExtensionVersion(QxExtensionVersion* version) {
  Count(&TestExtensionStats::versionCalls);
  version->dwExtensionVersion = 0x00020000;
  std::snprintf(version->lpszExtensionDesc, sizeof version->lpszExtensionDesc, "host test");
  return 1;
}

std::uint32_t HttpExtensionProc(QxConnectionBlock* b) {
  std::string path = b->lpszPathInfo;
  if (path == "/vars") return Vars(b);
  if (path == "/sync") return Reply(b, PatternText(static_cast<std::size_t>(QueryNumber(b, "size", 100))));
  if (path == "/pieces") return Pieces(b);
  if (path == "/empty") return SendHeader(b, "200 OK", "X-Empty: yes\r\n\r\n"), QX_STATUS_SUCCESS;
  if (path == "/async") return Async(b);
  if (path == "/body") return Body(b);
  if (path == "/length") return Length(b);
  if (path == "/map") return Map(b);
  if (path == "/misuse") return Misuse(b);
  if (path == "/wait") return Wait(b);
  if (path == "/later") return Later(b);
  if (path == "/redirect") {
    b->ServerSupportFunction(b->ConnID, QX_REQ_SEND_URL_REDIRECT_RESP,
                             const_cast<char*>(Query(b).c_str()), nullptr, nullptr);
    return QX_STATUS_SUCCESS;
  }
  if (path == "/status") {
    // The status text arrives in the query with '~' for CR and '^' for LF.
    std::string status = Query(b);
    for (char& c : status) c = c == '~' ? '\r' : c == '^' ? '\n' : c == '+' ? ' ' : c;
    if (!SendHeader(b, status.c_str(), "Content-Length: 2\r\n\r\n")) return QX_STATUS_SUCCESS;
    WriteSync(b, "ok");
    return QX_STATUS_SUCCESS;
  }
  if (path == "/badheader") {
    SendHeader(b, "200 OK", "Content-Type: text/plain\r\nno colon here\r\n\r\n");
    return QX_STATUS_SUCCESS;
  }
  if (path == "/nohead") {
    b->dwHttpStatusCode = 202;
    WriteSync(b, "body only");
    return QX_STATUS_SUCCESS;
  }
  if (path == "/error") return QX_STATUS_ERROR;
  return Reply(b, "unknown test path " + path);
}

int TerminateExtension(std::uint32_t) {
  Count(&TestExtensionStats::terminateCalls);
  if (const char* marker = std::getenv("QX_TEST_TERMINATE_FILE")) {
    if (FILE* f = std::fopen(marker, "w")) {
      std::fputs("terminated\n", f);
      std::fclose(f);
    }
  }
  return 1;
}

void TestExtensionStatsGet(TestExtensionStats* stats) {
  std::lock_guard lock(gMutex);
  *stats = gStats;
}

void TestExtensionReset() {
  std::lock_guard lock(gMutex);
  gStats = TestExtensionStats{};
}

bool TestExtensionWaitParked(std::uint32_t count, std::uint32_t timeoutMs) {
  std::unique_lock lock(gMutex);
  return gChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return gParked >= count; });
}

void TestExtensionReleaseParked() {
  {
    std::lock_guard lock(gMutex);
    ++gReleaseGeneration;
  }
  gChanged.notify_all();
}

bool TestExtensionWaitDone(std::uint32_t count, std::uint32_t timeoutMs) {
  std::unique_lock lock(gMutex);
  return gChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return gStats.doneCalls >= count; });
}

}  // extern "C"
