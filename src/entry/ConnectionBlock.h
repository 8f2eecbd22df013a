// The boundary between the web server and the service library: the per-request connection
// block with its callbacks, the version record and the three exported entry points.
// The host (src/host) fills and serves it; the request adapter (src/entry) only reads it.
#pragma once

#include <cstdint>

extern "C" {

// HttpExtensionProc results.
enum : std::uint32_t {
  QX_STATUS_SUCCESS = 1,
  QX_STATUS_PENDING = 3,  // an asynchronous write is under way; wait for done-with-session
  QX_STATUS_ERROR = 4,
};

// WriteClient flags.
enum : std::uint32_t {
  QX_IO_SYNC = 0,
  QX_IO_ASYNC = 2,
};

// ServerSupportFunction requests.
enum : std::uint32_t {
  QX_REQ_SEND_URL_REDIRECT_RESP = 1,    // buffer: NUL-terminated URL
  QX_REQ_SEND_RESPONSE_HEADER = 3,      // buffer: status text ("200 OK"); data: header block
  QX_REQ_DONE_WITH_SESSION = 4,         // ends a request that returned QX_STATUS_PENDING
  QX_REQ_MAP_URL_TO_PATH = 1001,        // buffer: URL in, path out; size: buffer capacity in,
                                        // length out
  QX_REQ_IO_COMPLETION = 1005,          // buffer: QxIoCompletion; data: its context
};

struct QxConnectionBlock;

// Called by the server on one of its I/O threads when an asynchronous write has finished:
// the context registered with QX_REQ_IO_COMPLETION, the bytes written and an error code
// (0 on success).
typedef void (*QxIoCompletion)(QxConnectionBlock* block, void* context, std::uint32_t bytes,
                               std::uint32_t error);

struct QxConnectionBlock {
  std::uint32_t cbSize;              // sizeof(QxConnectionBlock)
  std::uint32_t dwVersion;           // 0x00020000
  void* ConnID;                      // passed back on every callback
  std::uint32_t dwHttpStatusCode;    // written by the extension
  char lpszLogData[80];              // written by the extension, unused by this host
  const char* lpszMethod;            // "GET", "POST" ...
  const char* lpszQueryString;       // without the "?"
  const char* lpszPathInfo;          // path below the extension's mount, "" or starting "/"
  const char* lpszPathTranslated;    // path info mapped to the file system
  std::uint32_t cbTotalBytes;        // the request's Content-Length
  std::uint32_t cbAvailable;         // body bytes already read, at lpbData
  const unsigned char* lpbData;
  const char* lpszContentType;

  // Copies the variable into `buffer` (NUL-terminated); `size` is its capacity in and the
  // length including the NUL out. Fails (returns 0) when the variable does not exist, or when
  // the buffer is too small (then `size` holds the length needed).
  int (*GetServerVariable)(void* conn, const char* name, char* buffer, std::uint32_t* size);
  // Writes `*bytes` bytes. QX_IO_SYNC returns when they are sent; QX_IO_ASYNC returns at once
  // and the completion routine reports the end. Returns 0 on failure.
  int (*WriteClient)(void* conn, const void* buffer, std::uint32_t* bytes, std::uint32_t flags);
  // Reads up to `*size` further body bytes; `*size` holds the count read (0 at the end).
  int (*ReadClient)(void* conn, void* buffer, std::uint32_t* size);
  int (*ServerSupportFunction)(void* conn, std::uint32_t request, void* buffer,
                               std::uint32_t* size, void* data);
};

struct QxExtensionVersion {
  std::uint32_t dwExtensionVersion;  // major in the high word, minor in the low word
  char lpszExtensionDesc[256];
};

// The three exports of the service library.
int GetExtensionVersion(QxExtensionVersion* version);
std::uint32_t HttpExtensionProc(QxConnectionBlock* block);
int TerminateExtension(std::uint32_t flags);

typedef int (*QxGetExtensionVersionFn)(QxExtensionVersion*);
typedef std::uint32_t (*QxHttpExtensionProcFn)(QxConnectionBlock*);
typedef int (*QxTerminateExtensionFn)(std::uint32_t);

}  // extern "C"
