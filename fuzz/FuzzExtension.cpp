// The service library the host fuzz target loads: its path info picks the way it answers,
// so that the host's every reply path runs: read the whole body and answer with a length
// (default), a reply without a length ("/c"), asynchronous blocks ending with done-with-
// session ("/a"), a redirect to the query ("/r"), a failure with nothing sent ("/e").
#include <cstdio>
#include <cstring>
#include <string>

#include "entry/ConnectionBlock.h"

namespace {

void Head(QxConnectionBlock* b, const std::string& fields) {
  b->ServerSupportFunction(b->ConnID, QX_REQ_SEND_RESPONSE_HEADER, const_cast<char*>("200 OK"),
                           nullptr, const_cast<char*>((fields + "\r\n").c_str()));
}

void Write(QxConnectionBlock* b, const std::string& text) {
  std::uint32_t n = static_cast<std::uint32_t>(text.size());
  b->WriteClient(b->ConnID, text.data(), &n, QX_IO_SYNC);
}

std::string Variable(QxConnectionBlock* b, const char* name) {
  char value[8192];
  std::uint32_t size = sizeof value;
  return b->GetServerVariable(b->ConnID, name, value, &size) ? std::string(value) : "-";
}

struct Blocks {
  std::string data;
  std::size_t sent = 0;
};

void SendBlock(QxConnectionBlock* b, Blocks* blocks) {
  std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(7, blocks->data.size() - blocks->sent));
  b->WriteClient(b->ConnID, blocks->data.data() + blocks->sent, &n, QX_IO_ASYNC);
}

void Completed(QxConnectionBlock* b, void* context, std::uint32_t bytes, std::uint32_t error) {
  auto* blocks = static_cast<Blocks*>(context);
  blocks->sent += bytes;
  if (error == 0 && blocks->sent < blocks->data.size()) return SendBlock(b, blocks);
  delete blocks;
  b->ServerSupportFunction(b->ConnID, QX_REQ_DONE_WITH_SESSION, nullptr, nullptr, nullptr);
}

}  // namespace

extern "C" {

int GetExtensionVersion(QxExtensionVersion* version) {
  version->dwExtensionVersion = 0x00020000;
  std::snprintf(version->lpszExtensionDesc, sizeof version->lpszExtensionDesc, "fuzz");
  return 1;
}

std::uint32_t HttpExtensionProc(QxConnectionBlock* b) {
  const std::string path = b->lpszPathInfo;
  const std::string query = b->lpszQueryString;
  if (path == "/e") return QX_STATUS_ERROR;
  if (path == "/r") {
    b->ServerSupportFunction(b->ConnID, QX_REQ_SEND_URL_REDIRECT_RESP, const_cast<char*>(query.c_str()),
                             nullptr, nullptr);
    return QX_STATUS_SUCCESS;
  }
  const std::string description = b->lpszMethod + std::string(" ") + Variable(b, "URL") + "?" + query +
                                  "\n" + Variable(b, "ALL_HTTP");
  if (path == "/a") {
    auto* blocks = new Blocks{description};
    Head(b, "Content-Length: " + std::to_string(blocks->data.size()) + "\r\n");
    b->ServerSupportFunction(b->ConnID, QX_REQ_IO_COMPLETION, reinterpret_cast<void*>(&Completed),
                             nullptr, blocks);
    SendBlock(b, blocks);
    return QX_STATUS_PENDING;
  }
  if (path == "/c") {
    Head(b, "Content-Type: text/plain\r\n");
    Write(b, description);
    Write(b, query);
    return QX_STATUS_SUCCESS;
  }
  std::string body(reinterpret_cast<const char*>(b->lpbData), b->cbAvailable);
  char chunk[1000];
  for (;;) {
    std::uint32_t n = sizeof chunk;
    if (!b->ReadClient(b->ConnID, chunk, &n) || n == 0) break;
    body.append(chunk, n);
  }
  const std::string reply = description + "\nbody " + std::to_string(body.size()) + " of " +
                            std::to_string(b->cbTotalBytes);
  Head(b, "Content-Length: " + std::to_string(reply.size()) + "\r\n");
  Write(b, reply);
  return QX_STATUS_SUCCESS;
}

int TerminateExtension(std::uint32_t) { return 1; }

}  // extern "C"
