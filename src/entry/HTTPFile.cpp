// Uploaded files and the lifetime of their temporary copies.
#include "entry/HTTPFile.h"

#include "runtime/Files.h"

namespace qx {

THTTPFile::THTTPFile(std::string fieldName, std::string fileName, std::string contentType,
                     std::string tempFileName)
    : fieldName_(std::move(fieldName)),
      fileName_(std::move(fileName)),
      contentType_(std::move(contentType)),
      tempFileName_(std::move(tempFileName)) {}

THTTPFile::~THTTPFile() { DeleteFile(tempFileName_); }

std::unique_ptr<TStream> THTTPFile::OpenStream() const {
  return std::make_unique<TFileStream>(tempFileName_, FileMode::OpenRead);
}

}  // namespace qx
