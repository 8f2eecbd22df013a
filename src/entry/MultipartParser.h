// The multipart/form-data body parser: posted fields become name=value lines, uploaded files
// become THTTPFile objects whose bytes go to "MIME" temporary files in the cache folder.
#pragma once

#include <string>
#include <string_view>

#include "entry/ContentParser.h"

namespace qx {

extern const char* const kMultipartNoBoundary;
extern const char* const kMultipartTruncated;
extern const char* const kMultipartHeadersTooLong;
extern const char* const kMultipartMalformed;

class TMultipartContentParser : public TContentParser {
 public:
  using TContentParser::TContentParser;

  // A POST whose content type, up to its first ";", is "multipart/form-data" (any case).
  static bool CanParse(TWebRequest& request);
  static const TContentParserClass& Class();

  // The boundary parameter of a multipart content type; fails with kMultipartNoBoundary.
  static std::string Boundary(std::string_view contentType);

 protected:
  void Parse(TStringList& fields, std::vector<std::unique_ptr<THTTPFile>>& files) override;
};

// Registers the multipart parser (done while the library loads).
void RegisterMultipartParser();

}  // namespace qx
