// TCollection: items owned in order; an item knows its collection and its position.
#include "runtime/Collection.h"

#include <algorithm>

#include "runtime/ClassInfo.h"
#include "runtime/Component.h"

namespace qx {

const TClassInfo& TCollectionItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TCollectionItem>("TCollectionItem").Build();
  return info;
}

const TClassInfo& TCollection::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TCollection>("TCollection").Build();
  return info;
}

int TCollectionItem::Index() const noexcept {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  auto it = std::find_if(items.begin(), items.end(),
                         [this](const std::unique_ptr<TCollectionItem>& i) { return i.get() == this; });
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

TCollectionItem& TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return *items_[static_cast<std::size_t>(index)];
}

TCollectionItem& TCollection::Add() {
  std::unique_ptr<TCollectionItem> item = NewItem();
  item->collection_ = this;
  items_.push_back(std::move(item));
  return *items_.back();
}

void TCollection::Delete(int index) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  items_.erase(items_.begin() + index);
}

}  // namespace qx
