// The page context's adding rules: no duplicate script files or hidden inputs, CR LF after
// each piece of init code, and the declaration rule that keeps ready-made lines as they are.
#include "forms/PageContext.h"

#include <algorithm>

#include "forms/Application.h"

namespace qx {

TIWPageContext40::TIWPageContext40(TIWBrowser browser, std::string separator)
    : browser_(browser),
      separator_(std::move(separator)),
      formTag_(TIWHTMLTag::Create("form")),
      bodyTag_(TIWHTMLTag::Create("body")),
      styleTag_(TIWHTMLTag::Create("style")) {
  styleTag_->AddStringParam("type", "text/css");
  styleTag_->AddText("\r\n");
}

std::string TIWPageContext40::InternalFileURL(std::string_view name) const {
  std::string url = application_ ? application_->InternalFilesBase() : std::string();
  return url.append(name);
}

void TIWPageContext40::AddLine(std::string& part, std::string_view text) {
  if (text.empty()) return;
  part += text;
  part += "\r\n";
}

void TIWPageContext40::AddHiddenInput(std::string_view name) {
  if (std::find(hiddenInputs_.begin(), hiddenInputs_.end(), name) != hiddenInputs_.end()) return;
  hiddenInputs_.emplace_back(name);
  TIWMarkupLanguageTag& input = formTag_->AddTag("INPUT", ctNever);
  input.AddStringParam("TYPE", "HIDDEN");
  input.AddStringParam("NAME", name);
}

void TIWPageContext40::AddStyleRule(std::string rule) { styleTag_->AddText(std::move(rule)); }

void TIWPageContext40::AddExtraHeader(std::string_view text) { AddLine(extraHeader_, text); }

int TIWPageContext40::AddScriptFile(std::string_view name) {
  auto it = std::find(scriptFiles_.begin(), scriptFiles_.end(), name);
  if (it == scriptFiles_.end()) it = scriptFiles_.emplace(scriptFiles_.end(), name);
  return static_cast<int>(it - scriptFiles_.begin());
}

void TIWPageContext40::AddDeclaration(std::string_view text) {
  declarations_ += text;
  const std::size_t firstBreak = text.find("\r\n");
  const bool endsWithOnlyBreak = text.size() > 2 && firstBreak == text.size() - 2;
  if (!endsWithOnlyBreak) declarations_ += "\r\n";
}

void TIWPageContext40::AddValidation(std::string condition, std::string message) {
  validations_.emplace_back(std::move(condition), std::move(message));
}

}  // namespace qx
