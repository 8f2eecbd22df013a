// THashTable: the session registry's table. 97 buckets chosen from the first four characters
// of the key read as base 36; each bucket, when present, an ordered list of (key, value) nodes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Strings.h"
#include "server/SessionErrors.h"

namespace qx {

extern const char* const kItemAlreadyInTable;  // "Item is all ready in the table."

constexpr int kDefaultBucketCount = 97;

// The bucket of `key` among `bucketCount`: its first four characters lower-cased and read as
// a base-36 number ("0".."9" = 0..9, "a".."z" = 10..35, any other character -1), modulo
// 65,535, then modulo the bucket count. Keys that differ only in letter case share a bucket.
int HashBucket(std::string_view key, int bucketCount) noexcept;

// Not thread-safe: the owner guards it with its own lock.
template <class V>
class THashTable {
 public:
  struct THashNode {
    std::string Key;
    V Value;
  };
  using TBucket = std::vector<THashNode>;

  // A count below 4 gives the default 97.
  explicit THashTable(int bucketCount = kDefaultBucketCount)
      : buckets_(static_cast<std::size_t>(bucketCount < 4 ? kDefaultBucketCount : bucketCount)) {}

  int BucketCount() const noexcept { return static_cast<int>(buckets_.size()); }
  // The bucket's list, or null while the bucket is absent.
  TBucket* Bucket(int index) noexcept { return buckets_[static_cast<std::size_t>(index)].get(); }

  // Fails with EHashTableException kItemAlreadyInTable when the key (letter case ignored) is
  // present; the table is then unchanged.
  void Add(std::string key, V value) {
    if (Find(key)) throw EHashTableException(kItemAlreadyInTable);
    auto& bucket = buckets_[static_cast<std::size_t>(HashBucket(key, BucketCount()))];
    if (!bucket) bucket = std::make_unique<TBucket>();
    bucket->push_back(THashNode{std::move(key), std::move(value)});
  }

  V* Find(std::string_view key) noexcept {
    TBucket* bucket = Bucket(HashBucket(key, BucketCount()));
    if (!bucket) return nullptr;
    for (THashNode& node : *bucket)
      if (SameText(node.Key, key)) return &node.Value;
    return nullptr;
  }

  // Takes the key's value out of the table; false when the key is absent.
  bool Remove(std::string_view key, V& removed) {
    int index = HashBucket(key, BucketCount());
    TBucket* bucket = Bucket(index);
    if (!bucket) return false;
    for (std::size_t i = 0; i < bucket->size(); ++i)
      if (SameText((*bucket)[i].Key, key)) {
        removed = RemoveAt(index, static_cast<int>(i));
        return true;
      }
    return false;
  }

  // Takes the node at `position` of a present bucket out; a bucket left empty becomes absent.
  V RemoveAt(int index, int position) {
    auto& bucket = buckets_[static_cast<std::size_t>(index)];
    V value = std::move((*bucket)[static_cast<std::size_t>(position)].Value);
    bucket->erase(bucket->begin() + position);
    if (bucket->empty()) bucket.reset();
    return value;
  }

  int Count() const noexcept {
    int count = 0;
    for (const auto& bucket : buckets_)
      if (bucket) count += static_cast<int>(bucket->size());
    return count;
  }

 private:
  std::vector<std::unique_ptr<TBucket>> buckets_;
};

}  // namespace qx
