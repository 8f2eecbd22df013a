// Multipart parsing over the sliding read window: boundaries may fall anywhere, also across
// two fills of the window, so data is handed on only up to where a delimiter could still start.
#include "entry/MultipartParser.h"

#include "entry/ContentBuffer.h"
#include "entry/EntryExceptions.h"
#include "entry/HTTPFile.h"
#include "entry/ServerControllerClass.h"
#include "entry/WebRequest.h"
#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kMultipartNoBoundary = "Multipart body without a valid boundary";
const char* const kMultipartTruncated = "Multipart body ends before its closing boundary";
const char* const kMultipartHeadersTooLong = "Multipart part headers are too long";
const char* const kMultipartMalformed = "Malformed multipart body";

namespace {

constexpr std::size_t kMaxBoundary = 1024;

// Parameters of a header value such as: form-data; name="a"; filename="b.txt".
std::string HeaderParameter(std::string_view value, std::string_view wanted, bool& present) {
  present = false;
  std::size_t i = value.find(';');
  while (i != std::string_view::npos && i < value.size()) {
    ++i;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    std::size_t eq = value.find('=', i);
    std::size_t semi = value.find(';', i);
    if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
      i = semi;
      continue;
    }
    std::string_view key = TrimView(value.substr(i, eq - i));
    std::size_t j = eq + 1;
    while (j < value.size() && (value[j] == ' ' || value[j] == '\t')) ++j;
    std::string text;
    if (j < value.size() && value[j] == '"') {
      // A quoted value ends at a quote followed by the next parameter or the end, so that
      // quotes some clients leave inside a file name do not cut it short.
      std::size_t close = j + 1;
      for (;; ++close) {
        close = value.find('"', close);
        if (close == std::string_view::npos) break;
        std::size_t k = close + 1;
        while (k < value.size() && (value[k] == ' ' || value[k] == '\t')) ++k;
        if (k == value.size() || value[k] == ';') break;
      }
      if (close == std::string_view::npos) close = value.size();
      text = std::string(value.substr(j + 1, close - j - 1));
      i = value.find(';', close);
    } else {
      std::size_t end = value.find(';', j);
      text = std::string(TrimView(value.substr(j, end == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : end - j)));
      i = end;
    }
    if (SameText(key, wanted)) {
      present = true;
      return text;
    }
  }
  return std::string();
}

struct PartHeaders {
  std::string name;
  bool isFile = false;
  std::string fileName;
  std::string contentType;
};

PartHeaders ReadPartHeaders(std::string_view block) {
  PartHeaders part;
  std::size_t start = 0;
  while (start < block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string_view::npos) end = block.size();
    std::string_view line = block.substr(start, end - start);
    start = end + 2;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view key = TrimView(line.substr(0, colon));
    std::string_view value = TrimView(line.substr(colon + 1));
    if (SameText(key, "Content-Disposition")) {
      bool present = false;
      part.name = HeaderParameter(value, "name", present);
      std::string fileName = HeaderParameter(value, "filename", part.isFile);
      // Some clients send the whole client-side path: keep its last element only.
      std::size_t slash = fileName.find_last_of("/\\");
      if (slash != std::string::npos) fileName.erase(0, slash + 1);
      part.fileName = StringReplace(fileName, "\"", "");
    } else if (SameText(key, "Content-Type")) {
      part.contentType = std::string(value);
    }
  }
  return part;
}

// Hands on the bytes of one part up to `delimiter` (CR LF "--" boundary), consuming the
// delimiter. `sink` receives the data in pieces.
template <typename Sink>
void ReadPartData(TIWContentBuffer& buffer, std::string_view delimiter, Sink&& sink) {
  for (;;) {
    buffer.Fill();
    std::string_view window = buffer.Window();
    std::size_t at = window.find(delimiter);
    if (at != std::string_view::npos) {
      sink(window.substr(0, at));
      buffer.Consume(at + delimiter.size());
      return;
    }
    if (buffer.Exhausted()) throw EWebRequestError(kMultipartTruncated);
    // Everything before the last delimiter-length bytes cannot hold the start of a delimiter.
    std::size_t safe = window.size() - (delimiter.size() - 1);
    sink(window.substr(0, safe));
    buffer.Consume(safe);
  }
}

}  // namespace

bool TMultipartContentParser::CanParse(TWebRequest& request) {
  if (request.MethodType() != TMethodType::mtPost) return false;
  std::string type = request.ContentType();
  return SameText(TrimView(std::string_view(type).substr(0, type.find(';'))),
                  "MULTIPART/FORM-DATA");
}

std::string TMultipartContentParser::Boundary(std::string_view contentType) {
  bool present = false;
  std::string boundary = HeaderParameter(contentType, "boundary", present);
  if (!present || boundary.empty() || boundary.size() > kMaxBoundary)
    throw EWebRequestError(kMultipartNoBoundary);
  return boundary;
}

void TMultipartContentParser::Parse(TStringList& fields,
                                    std::vector<std::unique_ptr<THTTPFile>>& files) {
  const std::string dashBoundary = "--" + Boundary(Request().ContentType());
  const std::string delimiter = "\r\n" + dashBoundary;
  TIWContentBuffer buffer(Request());

  // The preamble before the first boundary is ignored. Prefixing CR LF lets the first
  // boundary be found by the same delimiter even at the very start of the body.
  bool first = true;
  for (;;) {
    buffer.Fill();
    std::string_view window = buffer.Window();
    std::size_t at = first && window.substr(0, dashBoundary.size()) == dashBoundary
                         ? 0
                         : std::string_view::npos;
    std::size_t skip = dashBoundary.size();
    if (at == std::string_view::npos) {
      at = window.find(delimiter);
      skip = delimiter.size();
    }
    first = false;
    if (at != std::string_view::npos) {
      buffer.Consume(at + skip);
      break;
    }
    if (buffer.Exhausted()) throw EWebRequestError(kMultipartTruncated);
    buffer.Consume(window.size() - (delimiter.size() - 1));
  }

  for (;;) {
    // After a boundary: "--" ends the body, else optional blanks and CR LF start a part.
    buffer.Fill();
    std::string_view window = buffer.Window();
    if (window.substr(0, 2) == "--") return;
    std::size_t i = 0;
    while (i < window.size() && (window[i] == ' ' || window[i] == '\t')) ++i;
    if (window.substr(i, 2) != "\r\n") {
      throw EWebRequestError(window.size() < i + 2 && buffer.Exhausted() ? kMultipartTruncated
                                                                           : kMultipartMalformed);
    }
    buffer.Consume(i + 2);

    buffer.Fill();
    window = buffer.Window();
    PartHeaders part;
    if (window.substr(0, 2) == "\r\n") {
      buffer.Consume(2);  // a part without header lines
    } else {
      std::size_t end = window.find("\r\n\r\n");
      if (end == std::string_view::npos)
        throw EWebRequestError(buffer.Exhausted() ? kMultipartTruncated
                                                  : kMultipartHeadersTooLong);
      part = ReadPartHeaders(window.substr(0, end));
      buffer.Consume(end + 4);
    }

    if (part.isFile) {
      auto name = CreateTempFile(CacheFolder(), "MIME");
      if (!name) throw EWebRequestError(kCacheWriteError);
      auto file = std::make_unique<THTTPFile>(part.name, part.fileName, part.contentType, *name);
      std::unique_ptr<TFileStream> out;
      try {
        out = std::make_unique<TFileStream>(*name, FileMode::OpenReadWrite);
      } catch (const EInOutError&) {
        throw EWebRequestError(kCacheWriteError);
      }
      std::int64_t size = 0;
      ReadPartData(buffer, delimiter, [&](std::string_view data) {
        try {
          out->Write(data.data(), data.size());
        } catch (const EInOutError&) {
          throw EWebRequestError(kCacheWriteError);
        }
        size += static_cast<std::int64_t>(data.size());
      });
      out.reset();
      file->SetSize(size);
      files.push_back(std::move(file));
    } else {
      std::string value;
      ReadPartData(buffer, delimiter, [&](std::string_view data) { value.append(data); });
      fields.Add(part.name + "=" + Trim(value));
    }
  }
}

const TContentParserClass& TMultipartContentParser::Class() {
  static const TContentParserClass parserClass{
      &TMultipartContentParser::CanParse,
      [](TWebRequest& request) -> std::unique_ptr<TContentParser> {
        return std::make_unique<TMultipartContentParser>(request);
      }};
  return parserClass;
}

void RegisterMultipartParser() { RegisterContentParser(TMultipartContentParser::Class()); }

}  // namespace qx
