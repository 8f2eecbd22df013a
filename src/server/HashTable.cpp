// The bucket rule of the session table.
#include "server/HashTable.h"

namespace qx {

const char* const kItemAlreadyInTable = "Item is all ready in the table.";

int HashBucket(std::string_view key, int bucketCount) noexcept {
  int value = 0;
  for (std::size_t i = 0; i < key.size() && i < 4; ++i) {
    char c = AnsiLowerChar(key[i]);
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : -1;
    value = value * 36 + digit;
  }
  int bucket = value % 65535 % bucketCount;
  // Keys made of other characters read as negative numbers; they still need a real bucket.
  return bucket < 0 ? bucket + bucketCount : bucket;
}

}  // namespace qx
