// A page's pieces and its flattening.
#include "runtime/PageText.h"

namespace qx {

void TPageText::Splice(std::string_view bytes, std::shared_ptr<const void> keeper) {
  if (bytes.size() < kSpliceThreshold) {
    text_ += bytes;
    return;
  }
  spliced_.push_back({text_.size(), bytes, std::move(keeper)});
  splicedSize_ += bytes.size();
}

std::vector<std::string_view> TPageText::Pieces() const {
  std::vector<std::string_view> pieces;
  pieces.reserve(2 * spliced_.size() + 1);
  const std::string_view text(text_);
  std::size_t from = 0;
  for (const Spliced& s : spliced_) {
    if (s.at > from) pieces.push_back(text.substr(from, s.at - from));
    pieces.push_back(s.bytes);
    from = s.at;
  }
  if (from < text.size()) pieces.push_back(text.substr(from));
  return pieces;
}

const std::string& TPageText::Flat() {
  if (spliced_.empty()) return text_;
  std::string flat;
  flat.reserve(Size());
  for (std::string_view piece : Pieces()) flat += piece;
  text_ = std::move(flat);
  spliced_.clear();
  splicedSize_ = 0;
  return text_;
}

}  // namespace qx
