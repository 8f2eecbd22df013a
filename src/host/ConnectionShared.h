// What the parts of a connection share: the names of the network libraries, the texts of the
// host's own replies and small conversions. Internal to the Connection*.cpp files.
#pragma once

#include <cerrno>
#include <string_view>

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/system/error_code.hpp>

namespace qx::host::connection {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

// Texts of the host's own replies.
inline constexpr std::string_view kTimeoutText = "The request did not arrive in time.";
inline constexpr std::string_view kLineTooLongText = "The request line is too long.";
inline constexpr std::string_view kHeaderTooLargeText = "The request header is too large.";
inline constexpr std::string_view kBodyTooLargeText = "The request body is too large.";
inline constexpr std::string_view kMalformedText = "The request is malformed.";
inline constexpr std::string_view kLengthRequiredText =
    "Request bodies must be sent with a Content-Length.";
inline constexpr std::string_view kCodingText = "The request's transfer coding is not supported.";
inline constexpr std::string_view kVersionText = "Only HTTP/1.0 and HTTP/1.1 are served.";
inline constexpr std::string_view kNotFoundText = "There is nothing at this address.";
inline constexpr std::string_view kFileNotFoundText = "The file was not found.";
inline constexpr std::string_view kMethodText = "Files can only be read (GET or HEAD).";
inline constexpr std::string_view kMovedText = "The service is at ";
inline constexpr std::string_view kOverloadedText = "The server is busy; please try again later.";
inline constexpr std::string_view kLibraryFailedText = "The service could not process the request.";
inline constexpr std::string_view kFileReadText = "The file could not be read.";
inline constexpr std::string_view kBodyStoreText = "The request body could not be stored.";

inline std::string_view View(boost::beast::string_view v) { return {v.data(), v.size()}; }

// The error number a failed socket operation reports to the library (EIO when it has none).
inline int ErrorNumber(const boost::system::error_code& ec) {
  if (ec.category() == boost::system::system_category() && ec.value() != 0) return ec.value();
  return EIO;
}

}  // namespace qx::host::connection
