// A page's bytes as a reply sends them: text written in place, with large texts kept elsewhere
// (a grid's rows, kept by the grid for its next rendering) spliced in at recorded places
// instead of copied, so a page of megabytes is not copied on its way to the client.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Strings.h"

namespace qx {

class TPageText {
 public:
  // Texts shorter than this are copied in: a piece of its own costs a write of its own.
  static constexpr std::size_t kSpliceThreshold = 64 * 1024;

  TPageText() = default;
  TPageText(std::string text) : text_(std::move(text)) {}  // NOLINT: a text is a page

  // Appends, as to a string.
  TPageText& operator+=(std::string_view text) {
    text_ += text;
    return *this;
  }
  TPageText& operator+=(char c) {
    text_ += c;
    return *this;
  }
  // Appends each text in turn, with room made once for all of them.
  template <class... Texts>
  TPageText& Append(const Texts&... texts) {
    AppendAll(text_, texts...);
    return *this;
  }
  void reserve(std::size_t size) { text_.reserve(size); }
  // Places `bytes`, which `keeper` keeps unchanged while this page lives: copied in when
  // short, else spliced in.
  void Splice(std::string_view bytes, std::shared_ptr<const void> keeper);

  // All the bytes, and the bytes written in place.
  std::size_t Size() const noexcept { return text_.size() + splicedSize_; }
  std::size_t InPlaceSize() const noexcept { return text_.size(); }
  bool Empty() const noexcept { return Size() == 0; }
  // The pieces in page order, none empty.
  std::vector<std::string_view> Pieces() const;
  // The page as one text, with the spliced parts copied in; the page is then that text.
  const std::string& Flat();
  std::string TakeFlat() {
    Flat();
    return std::move(text_);
  }

 private:
  struct Spliced {
    std::size_t at;  // offset in text_
    std::string_view bytes;
    std::shared_ptr<const void> keeper;
  };
  std::string text_;
  std::vector<Spliced> spliced_;
  std::size_t splicedSize_ = 0;
};

}  // namespace qx
