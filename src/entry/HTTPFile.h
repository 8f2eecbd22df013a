// THTTPFile: one file uploaded in a multipart body, kept in a temporary file of the cache
// folder for as long as the object lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Streams.h"

namespace qx {

class THTTPFile {
 public:
  THTTPFile(std::string fieldName, std::string fileName, std::string contentType,
            std::string tempFileName);
  // Deletes the temporary file.
  ~THTTPFile();
  THTTPFile(const THTTPFile&) = delete;
  THTTPFile& operator=(const THTTPFile&) = delete;

  const std::string& FieldName() const noexcept { return fieldName_; }
  // The name the client gave, reduced to its last path element.
  const std::string& FileName() const noexcept { return fileName_; }
  const std::string& ContentType() const noexcept { return contentType_; }
  std::int64_t Size() const noexcept { return size_; }
  void SetSize(std::int64_t size) noexcept { size_ = size; }
  // Where the bytes are kept.
  const std::string& TempFileName() const noexcept { return tempFileName_; }
  // A new stream over the uploaded bytes, positioned at the start.
  std::unique_ptr<TStream> OpenStream() const;

 private:
  std::string fieldName_;
  std::string fileName_;
  std::string contentType_;
  std::string tempFileName_;
  std::int64_t size_ = 0;
};

}  // namespace qx
