// The tag writer: attributes quoted as given, child tags on their own line indented by two
// spaces unless the tag is preformatted, and the closing part by the tag's closing mode.
#include "forms/MarkupTag.h"

#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kTagRenderFailure = "Tag: ";

namespace {

std::string_view ParamName(std::string_view line) {
  const std::size_t eq = line.find('=');
  return eq == std::string_view::npos ? line : line.substr(0, eq);
}

// The attribute line "name=value", made in one piece.
std::string ParamLine(std::string_view name, std::string_view value) {
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append(1, '=').append(value);
  return line;
}

}  // namespace

TIWMarkupLanguageTag::TIWMarkupLanguageTag(std::string_view tag, TIWClosingTag closing)
    : tag_(LowerCase(tag)), closingTag_(closing) {}

void TIWMarkupLanguageTag::SetTag(std::string_view tag) { tag_ = LowerCase(tag); }

void TIWMarkupLanguageTag::AddStringParam(std::string_view name, std::string_view value) {
  if (value.empty()) return;
  params_.Add(ParamLine(name, value));
}

void TIWMarkupLanguageTag::AddIntegerParam(std::string_view name, long long value) {
  params_.Add(ParamLine(name, IntToStr(value)));
}

void TIWMarkupLanguageTag::AddBoolParam(std::string_view name, bool value) {
  params_.Add(ParamLine(name, value ? "true" : "false"));
}

void TIWMarkupLanguageTag::AddColor(std::string_view name, TColor color) {
  if (color == clNone) return;
  AddStringParam(name, ColorText(color));
}

void TIWMarkupLanguageTag::Add(std::string_view line) {
  if (!line.empty()) params_.Add(std::string(line));
}

int TIWMarkupLanguageTag::IndexOfParam(std::string_view name) const noexcept {
  for (int i = 0; i < params_.Count(); ++i)
    if (SameText(ParamName(params_[i]), name)) return i;
  return -1;
}

std::string TIWMarkupLanguageTag::Param(std::string_view name) const {
  const int i = IndexOfParam(name);
  if (i < 0) return {};
  const std::string& line = params_[i];
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

bool TIWMarkupLanguageTag::HasParam(std::string_view name) const { return IndexOfParam(name) >= 0; }

void TIWMarkupLanguageTag::SetParam(std::string_view name, std::string_view value) {
  const int i = IndexOfParam(name);
  // Keep the spelling the attribute was first written with.
  if (i < 0) params_.Add(ParamLine(name, value));
  else params_[i] = ParamLine(ParamName(params_[i]), value);
}

void TIWMarkupLanguageTag::RemoveParam(std::string_view name) {
  const int i = IndexOfParam(name);
  if (i >= 0) params_.Delete(i);
}

TIWMarkupLanguageTag& TIWMarkupLanguageTag::AddTag(std::string_view tag, TIWClosingTag closing) {
  return AddTag(NewTag(tag, closing));
}

TIWMarkupLanguageTag& TIWMarkupLanguageTag::AddTag(std::unique_ptr<TIWMarkupLanguageTag> tag) {
  TIWMarkupLanguageTag& added = *tag;
  added.parent_ = this;
  contents_.push_back(std::move(tag));
  return added;
}

void TIWMarkupLanguageTag::AddText(std::string text) {
  contents_.push_back(std::make_unique<TIWTextElement>(std::move(text)));
}

void TIWMarkupLanguageTag::AddBinary(std::string bytes) {
  contents_.push_back(std::make_unique<TIWBinaryElement>(std::move(bytes)));
}

void TIWMarkupLanguageTag::AddSpliced(std::unique_ptr<TIWSplicedElement> markup) {
  contents_.push_back(std::move(markup));
}

void TIWMarkupLanguageTag::AddSpliced(std::unique_ptr<TIWMarkupLanguageTag> tag) {
  auto markup = std::make_unique<TIWSplicedElement>();
  markup->Add(std::move(tag));
  AddSpliced(std::move(markup));
}

std::vector<std::unique_ptr<TIWMarkupElement>> TIWMarkupLanguageTag::TakeContents() noexcept {
  std::vector<std::unique_ptr<TIWMarkupElement>> taken = std::move(contents_);
  contents_.clear();
  for (auto& e : taken)
    if (e->IsTag()) static_cast<TIWMarkupLanguageTag&>(*e).parent_ = nullptr;
  return taken;
}

void TIWMarkupLanguageTag::Render(TPageText& out) const {
  if (!tag_.empty()) {
    out += '<';
    out += tag_;
    for (const std::string& line : params_) {
      out += ' ';
      const std::size_t eq = line.find('=');
      if (eq == std::string::npos) {
        out += line;
      } else {
        const std::string_view text(line);
        out += text.substr(0, eq + 1);
        out += '"';
        out += text.substr(eq + 1);
        out += '"';
      }
    }
    out += closingTag_ == ctSelfClose ? "/>" : ">";
  }
  try {
    bool anyTag = false;
    for (const auto& child : contents_) {
      if (child->IsTag()) {
        anyTag = true;
        if (!preformatted_) out += "\r\n  ";
      }
      child->Render(out);
    }
    if (anyTag && !preformatted_) out += "\r\n";
  } catch (const EIWTagRenderError&) {
    throw;  // the innermost tag already named itself
  } catch (const std::exception&) {
    throw EIWTagRenderError(kTagRenderFailure + tag_);
  }
  if (closingTag_ == ctAlways || (closingTag_ == ctAuto && !tag_.empty())) {
    out += "</";
    out += tag_;
    out += '>';
  }
}

std::string TIWMarkupLanguageTag::Text() const {
  TPageText out;
  Render(out);
  return out.TakeFlat();
}

}  // namespace qx
