// The desktop database's nested outer joins, as SQLite can plan them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qx {

// A statement of the form
//   ... LEFT JOIN ((T LEFT JOIN J1 ON (c1)) LEFT JOIN J2 ON (c2)) ON x = y ...
// with the same joins one after the other:
//   ... LEFT JOIN T ON x = y LEFT JOIN J1 ON (c1) LEFT JOIN J2 ON (c2) ...
// SQLite cannot flatten a join nested on the right of an outer join: it materialises the whole
// nested join (every row of T) at each run and searches it through a temporary index, so the
// request list cost grew with every note ever written. The two forms give the same rows when c1
// and c2 are conjunctions of equalities that each compare a column of T: a row of the outer
// side without a T row then gets no J1 or J2 row either. Anything else, nullopt.
std::optional<std::string> FlattenNestedOuterJoin(std::string_view sql);

}  // namespace qx
