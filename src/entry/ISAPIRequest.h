// TISAPIRequest and TISAPIResponse: the request and response over the web server's connection
// block, writing bodies synchronously (the path for servers without asynchronous writes).
#pragma once

#include "entry/ConnectionBlock.h"
#include "entry/WebRequest.h"
#include "entry/WebResponse.h"

namespace qx {

class TISAPIRequest : public TWebRequest {
 public:
  // Server variables are read into a buffer of this size; longer values read as empty.
  static constexpr std::uint32_t kVariableBufferSize = 4096;
  // Buffer of the URL-to-path mapping.
  static constexpr std::uint32_t kMapBufferSize = 1024;

  explicit TISAPIRequest(QxConnectionBlock& block);

  QxConnectionBlock& ConnectionBlock() const noexcept { return block_; }

  std::string GetStringVariable(int index) override;
  std::string GetFieldByName(std::string_view name) override;
  int ReadClient(void* buffer, int count) override;
  std::string ReadString(int count) override;
  std::string TranslateURI(std::string_view uri) override;
  int WriteClient(const void* buffer, int count) override;
  bool WriteString(std::string_view text) override;
  bool WriteHeaders(int statusCode, std::string_view statusText,
                    std::string_view headers) override;

 protected:
  // One server variable; empty when missing or longer than the buffer.
  std::string ServerVariable(const char* name);

 private:
  QxConnectionBlock& block_;
};

class TISAPIResponse : public TWebResponse {
 public:
  // Size of the blocks a body stream is written in.
  static constexpr std::size_t kStreamBlockSize = 8192;

  explicit TISAPIResponse(TISAPIRequest& request);

  // Headers (when the request has a protocol version), then the text or the stream.
  void SendResponse() override;
  // Asks the server to redirect the client to `uri`.
  void SendRedirect(const std::string& uri) override;
  // Reads the stream from its start in 8,192-byte blocks and writes each one synchronously.
  void SendStream(TStream& stream) override;

 protected:
  TISAPIRequest& ISAPIRequest() const noexcept { return request_; }

 private:
  TISAPIRequest& request_;
};

}  // namespace qx
