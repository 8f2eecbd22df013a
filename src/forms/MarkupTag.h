// The markup tag model every page and reply is built from: tags with ordered attribute lines
// and children (tags, raw text, raw bytes), and the exact writer that turns a tree into text.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Colors.h"
#include "runtime/PageText.h"
#include "runtime/StringList.h"
#include "server/IWExceptions.h"

namespace qx {

extern const char* const kTagRenderFailure;  // "Tag: " + the tag name

// A failure while a tag wrote its children.
QX_EXCEPTION_CLASS(EIWTagRenderError, EIWException);

class TIWMarkupLanguageTag;

// One child of a tag.
class TIWMarkupElement {
 public:
  virtual ~TIWMarkupElement() = default;
  // Appends the element's text to the page `out`.
  virtual void Render(TPageText& out) const = 0;
  virtual bool IsTag() const noexcept { return false; }
};

// Raw text, written as it is.
class TIWTextElement final : public TIWMarkupElement {
 public:
  explicit TIWTextElement(std::string text) : text_(std::move(text)) {}
  const std::string& Text() const noexcept { return text_; }
  void Render(TPageText& out) const override { out += text_; }

 private:
  std::string text_;
};

// Raw bytes of something rendered already (a control's own buffer), spliced in unchanged.
class TIWBinaryElement final : public TIWMarkupElement {
 public:
  explicit TIWBinaryElement(std::string bytes) : bytes_(std::move(bytes)) {}
  const std::string& Bytes() const noexcept { return bytes_; }
  void Render(TPageText& out) const override { out += bytes_; }

 private:
  std::string bytes_;
};

// Markup written in place: its elements one after another, a tag among them on the line of
// what precedes it, without the line break and indent a child tag gets. A control's element
// in its input group, a container's collected markup inside the container's element: the
// tags stay tags until the page is written once, instead of being written to text early and
// copied into the page again.
class TIWSplicedElement final : public TIWMarkupElement {
 public:
  bool Empty() const noexcept { return elements_.empty(); }
  void Add(std::unique_ptr<TIWMarkupElement> element) { elements_.push_back(std::move(element)); }
  void Render(TPageText& out) const override {
    for (const auto& element : elements_) element->Render(out);
  }

 private:
  std::vector<std::unique_ptr<TIWMarkupElement>> elements_;
};

// When a tag writes its closing part.
enum TIWClosingTag : int {
  ctAuto = 0,       // when the name is not empty
  ctNever = 1,      // never (void elements such as INPUT)
  ctAlways = 2,     // always
  ctSelfClose = 3,  // "<name .../>" and nothing after
};

class TIWMarkupLanguageTag : public TIWMarkupElement {
 public:
  explicit TIWMarkupLanguageTag(std::string_view tag, TIWClosingTag closing = ctAuto);
  TIWMarkupLanguageTag(const TIWMarkupLanguageTag&) = delete;
  TIWMarkupLanguageTag& operator=(const TIWMarkupLanguageTag&) = delete;

  // Element name, always lower case.
  const std::string& Tag() const noexcept { return tag_; }
  void SetTag(std::string_view tag);
  TIWClosingTag ClosingTag() const noexcept { return closingTag_; }
  void SetClosingTag(TIWClosingTag closing) noexcept { closingTag_ = closing; }
  bool IsPreformatted() const noexcept { return preformatted_; }
  void SetPreformatted(bool preformatted) noexcept { preformatted_ = preformatted; }
  TIWMarkupLanguageTag* ParentElement() const noexcept { return parent_; }

  // --- Attributes: "name=value" lines or bare words, in the order they were added.
  const TStringList& Params() const noexcept { return params_; }
  // Skipped when the value is empty.
  void AddStringParam(std::string_view name, std::string_view value);
  void AddIntegerParam(std::string_view name, long long value);
  void AddBoolParam(std::string_view name, bool value);
  // Skipped for clNone; otherwise the colour text ("#RRGGBB", "transparent").
  void AddColor(std::string_view name, TColor color);
  // A ready-made line: a bare word ("SELECTED") or "name=value" kept as it is.
  void Add(std::string_view line);
  // The attribute's value (name compared without regard to case); empty when absent.
  std::string Param(std::string_view name) const;
  bool HasParam(std::string_view name) const;
  // Replaces the value of the first attribute of that name (keeping its spelling), or appends
  // it; an empty value still writes name="".
  void SetParam(std::string_view name, std::string_view value);
  void RemoveParam(std::string_view name);

  // --- Children.
  const std::vector<std::unique_ptr<TIWMarkupElement>>& Contents() const noexcept {
    return contents_;
  }
  // A new child tag of the same family (HTML or XML).
  TIWMarkupLanguageTag& AddTag(std::string_view tag, TIWClosingTag closing = ctAuto);
  TIWMarkupLanguageTag& AddTag(std::unique_ptr<TIWMarkupLanguageTag> tag);
  void AddText(std::string text);
  void AddBinary(std::string bytes);
  // Markup written in place (TIWSplicedElement), as its text would be by AddBinary.
  void AddSpliced(std::unique_ptr<TIWSplicedElement> markup);
  void AddSpliced(std::unique_ptr<TIWMarkupLanguageTag> tag);
  // Takes the children out (the tag keeps its attributes).
  std::vector<std::unique_ptr<TIWMarkupElement>> TakeContents() noexcept;

  bool IsTag() const noexcept override { return true; }
  // Appends the tag with its children; failures while writing the children are reported as
  // EIWTagRenderError "Tag: <name>".
  void Render(TPageText& out) const override;
  // The tag as text.
  std::string Text() const;

 protected:
  virtual std::unique_ptr<TIWMarkupLanguageTag> NewTag(std::string_view tag,
                                                       TIWClosingTag closing) const = 0;

 private:
  int IndexOfParam(std::string_view name) const noexcept;

  std::string tag_;
  TIWClosingTag closingTag_;
  bool preformatted_ = false;
  TIWMarkupLanguageTag* parent_ = nullptr;
  TStringList params_;
  std::vector<std::unique_ptr<TIWMarkupElement>> contents_;
};

// An element of an HTML page.
class TIWHTMLTag final : public TIWMarkupLanguageTag {
 public:
  using TIWMarkupLanguageTag::TIWMarkupLanguageTag;
  static std::unique_ptr<TIWHTMLTag> Create(std::string_view tag, TIWClosingTag closing = ctAuto) {
    return std::make_unique<TIWHTMLTag>(tag, closing);
  }

 protected:
  std::unique_ptr<TIWMarkupLanguageTag> NewTag(std::string_view tag,
                                               TIWClosingTag closing) const override {
    return Create(tag, closing);
  }
};

// An element of an XML reply (partial updates and callbacks).
class TIWXMLTag final : public TIWMarkupLanguageTag {
 public:
  using TIWMarkupLanguageTag::TIWMarkupLanguageTag;
  static std::unique_ptr<TIWXMLTag> Create(std::string_view tag, TIWClosingTag closing = ctAuto) {
    return std::make_unique<TIWXMLTag>(tag, closing);
  }

 protected:
  std::unique_ptr<TIWMarkupLanguageTag> NewTag(std::string_view tag,
                                               TIWClosingTag closing) const override {
    return Create(tag, closing);
  }
};

}  // namespace qx
