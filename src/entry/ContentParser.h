// Body parsers: the registry of parser classes chosen by a request's first use of its body
// fields, and the plain parser used when no registered class claims the request.
#pragma once

#include <exception>
#include <memory>
#include <vector>

#include "entry/HTTPFile.h"
#include "runtime/StringList.h"

namespace qx {

class TWebRequest;

// Parses one request's body once, on first use. A failed parse keeps nothing and raises the
// same failure again on every later use (the body is read already and cannot be parsed
// anew), so a caller never sees half a field list.
class TContentParser {
 public:
  explicit TContentParser(TWebRequest& request) : request_(request) {}
  virtual ~TContentParser();
  TContentParser(const TContentParser&) = delete;
  TContentParser& operator=(const TContentParser&) = delete;

  const TStringList& ContentFields();
  const std::vector<std::unique_ptr<THTTPFile>>& Files();

 protected:
  TWebRequest& Request() { return request_; }
  virtual void Parse(TStringList& fields, std::vector<std::unique_ptr<THTTPFile>>& files) = 0;

 private:
  void EnsureParsed();

  TWebRequest& request_;
  bool parsed_ = false;
  std::exception_ptr failure_;  // the parse's failure, raised again on every later use
  TStringList fields_;
  std::vector<std::unique_ptr<THTTPFile>> files_;
};

// The plain parser: the pre-read bytes, then further reads up to the content length, split on
// "&" into percent-decoded name=value lines.
class TContentParserPlain : public TContentParser {
 public:
  using TContentParser::TContentParser;

 protected:
  void Parse(TStringList& fields, std::vector<std::unique_ptr<THTTPFile>>& files) override;
};

struct TContentParserClass {
  bool (*CanParse)(TWebRequest& request);
  std::unique_ptr<TContentParser> (*Create)(TWebRequest& request);
};

// Registered while the library loads; a class registered twice is kept once.
void RegisterContentParser(const TContentParserClass& parserClass);
// The first registered class that can parse the request, else the plain parser.
std::unique_ptr<TContentParser> CreateContentParser(TWebRequest& request);

}  // namespace qx
