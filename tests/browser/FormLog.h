// TFormLog: what the browser tests' forms show of the server's side, one line per event in a
// label of the form, so that a test reads in the page what the server saw.
#pragma once

#include <string>
#include <vector>

namespace qx {

class TObject;
class TIWLabel;

class TFormLog {
 public:
  void SetLabel(TIWLabel* label) noexcept { label_ = label; }
  // Adds a line; the label shows every line so far, the first on top.
  void Add(const std::string& line);

 private:
  TIWLabel* label_ = nullptr;
  std::vector<std::string> lines_;
};

// The element name of an event's sender, "?" when it is no runtime component.
std::string ElementNameOfSender(TObject* sender);

}  // namespace qx
