// The browser tests' event log label.
#include "FormLog.h"

#include "controls/IWLabel.h"

namespace qx {

void TFormLog::Add(const std::string& line) {
  lines_.push_back(line);
  std::string caption;
  for (const std::string& l : lines_) caption += (caption.empty() ? "" : "\n") + l;
  label_->SetCaption(caption);
}

std::string ElementNameOfSender(TObject* sender) {
  auto* component = dynamic_cast<IIWBaseComponent*>(sender);
  return component ? component->ElementName() : std::string("?");
}

}  // namespace qx
