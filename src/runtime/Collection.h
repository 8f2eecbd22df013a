// TCollection: an owned, ordered list of items of one class (a grid's columns), each item an
// object with published properties of its own. Definitions write one as < item … end … >.
#pragma once

#include <memory>
#include <vector>

#include "runtime/Object.h"

namespace qx {

class TCollection;

class TCollectionItem : public TPersistent {
  QX_CLASS(TCollectionItem, TPersistent)

 public:
  TCollection* Collection() const noexcept { return collection_; }
  // Position in the collection; -1 while it belongs to none.
  int Index() const noexcept;

 protected:
  TCollectionItem() = default;
  // A copy (a working copy of a column, say) belongs to no collection.
  TCollectionItem(const TCollectionItem& other) : TPersistent(other) {}
  TCollectionItem& operator=(const TCollectionItem& other) {
    TPersistent::operator=(other);
    return *this;
  }

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
  QX_CLASS(TCollection, TPersistent)

 public:
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Fails with EListError "List index out of bounds (<index>)".
  TCollectionItem& Items(int index) const;
  // Appends a new item of the collection's item class.
  TCollectionItem& Add();
  void Delete(int index);
  void Clear() noexcept { items_.clear(); }

 protected:
  TCollection() = default;
  virtual std::unique_ptr<TCollectionItem> NewItem() const = 0;

 private:
  friend class TCollectionItem;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// A collection of items of class Item (default-constructible, derived from TCollectionItem).
template <class Item>
class TCollectionOf : public TCollection {
 public:
  TCollectionOf() = default;
  Item& operator[](int index) const { return static_cast<Item&>(Items(index)); }
  Item& Add() { return static_cast<Item&>(TCollection::Add()); }

 protected:
  std::unique_ptr<TCollectionItem> NewItem() const override { return std::make_unique<Item>(); }
};

}  // namespace qx
