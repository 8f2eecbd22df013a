// Fuzz target: the multipart body parser. The input's first line is the boundary, the rest
// the body, delivered in pre-read and read-client pieces whose sizes the input's first bytes
// choose. A body parses into fields and files whose temporary files hold exactly their
// bytes, or fails and leaves no temporary file behind.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "entry/EntryExceptions.h"
#include "entry/ISAPIRequest.h"
#include "entry/MultipartParser.h"
#include "entry/TestController.h"
#include "runtime/Exceptions.h"
#include "support/InMemoryConnection.h"
#include "support/TempDir.h"

using namespace qx;

namespace {

int CacheFileCount(const std::string& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) count += entry.is_regular_file();
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static test::TempDir cache;
  static test::TestController controller(cache.path());
  static test::InMemoryConnection connection;
  static bool registered = (RegisterMultipartParser(), true);
  (void)registered;
  if (size < 2) return 0;
  const std::size_t preRead = data[0] * 16u, chunk = data[1] * 8u + 1;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t eol = text.find('\n');
  const std::string boundary = text.substr(0, eol);
  std::string body = eol == std::string::npos ? std::string() : text.substr(eol + 1);
  // The delimiters the input names stand for the ones a browser puts around each part.
  const std::string delimiter = "\r\n--" + boundary;
  for (std::size_t at = 0; (at = body.find('\x01', at)) != std::string::npos; at += delimiter.size())
    body.replace(at, 1, delimiter);

  connection.SetMethod("POST").SetContentType("multipart/form-data; boundary=" + boundary);
  connection.SetBody(body, preRead, chunk);
  {
    TISAPIRequest request(*connection.Block());
    try {
      request.BodyFields();
      for (const auto& file : request.Files()) {
        struct stat st;
        if (::stat(file->TempFileName().c_str(), &st) != 0 || st.st_size != file->Size())
          __builtin_trap();
      }
    } catch (const Exception&) {
      if (CacheFileCount(cache.path()) != 0) __builtin_trap();
    }
  }
  if (CacheFileCount(cache.path()) != 0) __builtin_trap();
  return 0;
}
