// Keys of new rows: the largest existing key plus one, the way every writer of the database
// allocates them (the service's sessions and the administrator's tool alike).
#pragma once

#include <string_view>

namespace qx {

class TADODataSet;

// Runs `statement` (one of the kSqlNext...Id statements, whose one column MaxId holds the
// largest key) on `dataset` and answers the next key: MaxId + 1, or 1 when there is no row or
// MaxId is not above 0. The dataset is closed again however this ends. A database error passes
// to the caller, and so does a table whose largest key leaves no key above it.
int NextKey(TADODataSet& dataset, std::string_view statement);

}  // namespace qx
