// TIWISAPIRequest and TIWISAPIResponse: the request and response for servers that write
// asynchronously. Bodies leave in one asynchronous write (text) or in 128 KiB asynchronous
// blocks (streams), so no worker thread waits on the network.
#pragma once

#include "entry/ISAPIRequest.h"

namespace qx {

class TIWISAPIResponse;

class TIWISAPIRequest : public TISAPIRequest {
 public:
  using TISAPIRequest::TISAPIRequest;

  void SetResponse(TIWISAPIResponse* response) noexcept { response_ = response; }
  TIWISAPIResponse* Response() const noexcept { return response_; }

  // An empty text writes nothing; any other text is copied and written asynchronously, and the
  // response's async-started flag is set. Without a linked response the write is synchronous.
  bool WriteString(std::string_view text) override;
  // The same, keeping the text itself for the asynchronous write instead of a copy.
  bool WriteText(std::string text) override;

 private:
  TIWISAPIResponse* response_ = nullptr;
};

class TIWISAPIResponse : public TISAPIResponse {
 public:
  explicit TIWISAPIResponse(TIWISAPIRequest& request) : TISAPIResponse(request) {}

  // True once an asynchronous write is under way: the request then ends with the completion
  // routine's done-with-session, not with the return of the extension procedure.
  bool AsyncStarted() const noexcept { return asyncStarted_; }
  void SetAsyncStarted() noexcept { asyncStarted_ = true; }

  // An empty stream writes nothing. A file-backed stream is sent through a duplicate of its
  // descriptor, which survives the release of the response's stream; any other stream is
  // first copied into an "IIS" temporary file of the cache folder, deleted after the last block.
  void SendStream(TStream& stream) override;

 private:
  bool asyncStarted_ = false;
};

}  // namespace qx
