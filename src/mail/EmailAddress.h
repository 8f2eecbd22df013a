// E-mail addresses as the message keeps them: one item (display name and bare address) and an
// ordered list of items, each readable and writable as the text a user or a header would show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Raised (as EIdEmailParseError) when text follows the closing ">" and holds an at sign.
inline constexpr const char* kMsgAtOutsideAddress = "@ Outside address";

class TIdEMailAddressItem {
 public:
  TIdEMailAddressItem() = default;
  explicit TIdEMailAddressItem(std::string_view text) { SetText(text); }

  const std::string& Address() const noexcept { return address_; }
  void SetAddress(std::string value) { address_ = std::move(value); }
  const std::string& Name() const noexcept { return name_; }
  void SetName(std::string value) { name_ = std::move(value); }

  // The address alone, or the name (quoted when it needs it), a space and "<address>".
  std::string Text() const;
  // Parses "address", "name <address>" or "\"name\" <address>"; comments in parentheses are
  // dropped. Fails with EIdEmailParseError when an at sign follows the closing ">"; the item
  // keeps its previous value then.
  void SetText(std::string_view text);

 private:
  std::string address_;
  std::string name_;
};

class TIdEMailAddressList {
 public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  bool Empty() const noexcept { return items_.empty(); }
  TIdEMailAddressItem& operator[](int i) { return items_.at(static_cast<std::size_t>(i)); }
  const TIdEMailAddressItem& operator[](int i) const {
    return items_.at(static_cast<std::size_t>(i));
  }
  auto begin() noexcept { return items_.begin(); }
  auto end() noexcept { return items_.end(); }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

  TIdEMailAddressItem& Add();
  void Clear() noexcept { items_.clear(); }

  // Every item's Text joined with ", ".
  std::string AddressListText() const;
  // Replaces the list with the items of a comma- or semicolon-separated text; group names
  // ("name:") are skipped and empty entries or "<>" make no item. On a parse error the list
  // is left as it was.
  void SetAddressListText(std::string_view text);

 private:
  std::vector<TIdEMailAddressItem> items_;
};

}  // namespace qx
