// A request and response without a web server behind them, for the application tests: the
// variables and header fields the application reads, and the body it writes.
#pragma once

#include <map>
#include <string>

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"

namespace qx::test {

class TFakeRequest : public TWebRequest {
 public:
  std::map<int, std::string> variables;
  std::map<std::string, std::string> fields;

  std::string GetStringVariable(int index) override {
    auto it = variables.find(index);
    return it == variables.end() ? std::string() : it->second;
  }
  std::string GetFieldByName(std::string_view name) override {
    auto it = fields.find(std::string(name));
    return it == fields.end() ? std::string() : it->second;
  }
  int ReadClient(void*, int) override { return 0; }
  std::string ReadString(int) override { return {}; }
  std::string TranslateURI(std::string_view) override { return {}; }
  int WriteClient(const void*, int count) override { return count; }
  bool WriteString(std::string_view) override { return true; }
  bool WriteHeaders(int, std::string_view, std::string_view) override { return true; }
};

class TFakeResponse : public TWebResponse {
 public:
  using TWebResponse::TWebResponse;
  void SendResponse() override {}
  void SendRedirect(const std::string&) override {}
  void SendStream(TStream&) override {}
};

}  // namespace qx::test
