// The parser registry and the plain body parser.
#include "entry/ContentParser.h"

#include <algorithm>
#include <mutex>

#include "entry/FieldSplitter.h"
#include "entry/HTTPFile.h"
#include "entry/WebRequest.h"

namespace qx {
namespace {

struct ParserRegistry {
  std::mutex lock;  // guards classes; taken once per request that reads its body fields
  std::vector<TContentParserClass> classes;
};

ParserRegistry& Registry() {
  static ParserRegistry registry;
  return registry;
}

}  // namespace

TContentParser::~TContentParser() = default;

void TContentParser::EnsureParsed() {
  if (parsed_) return;
  if (failure_) std::rethrow_exception(failure_);
  try {
    Parse(fields_, files_);
  } catch (...) {
    fields_.Clear();
    files_.clear();
    failure_ = std::current_exception();
    throw;
  }
  parsed_ = true;
}

const TStringList& TContentParser::ContentFields() {
  EnsureParsed();
  return fields_;
}

const std::vector<std::unique_ptr<THTTPFile>>& TContentParser::Files() {
  EnsureParsed();
  return files_;
}

void TContentParserPlain::Parse(TStringList& fields, std::vector<std::unique_ptr<THTTPFile>>&) {
  TWebRequest& request = Request();
  std::string body = request.Content();
  std::int64_t length = request.ContentLength();
  // A body longer than what one read delivers is read on to the content length, so that no
  // posted field is silently dropped; a client that stops early ends the loop. Reads go in
  // bounded steps so that a declared length alone allocates nothing.
  constexpr std::size_t kStep = 65536;
  std::size_t want = length > 0 ? static_cast<std::size_t>(length) : 0;
  while (body.size() < want) {
    std::size_t old = body.size();
    std::size_t step = std::min(want - old, kStep);
    body.resize(old + step);
    int got = request.ReadClient(body.data() + old, static_cast<int>(step));
    body.resize(old + static_cast<std::size_t>(got > 0 ? got : 0));
    if (got <= 0) break;
  }
  ExtractFields(body, "&", "", fields);
}

void RegisterContentParser(const TContentParserClass& parserClass) {
  ParserRegistry& r = Registry();
  std::lock_guard guard(r.lock);
  for (const auto& c : r.classes)
    if (c.Create == parserClass.Create) return;
  r.classes.push_back(parserClass);
}

std::unique_ptr<TContentParser> CreateContentParser(TWebRequest& request) {
  std::vector<TContentParserClass> classes;
  {
    ParserRegistry& r = Registry();
    std::lock_guard guard(r.lock);
    classes = r.classes;
  }
  for (const auto& c : classes)
    if (c.CanParse(request)) return c.Create(request);
  return std::make_unique<TContentParserPlain>(request);
}

}  // namespace qx
