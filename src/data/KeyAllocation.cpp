// Key allocation on a dataset of the caller's (a session's scratch dataset, a tool's own).
#include "data/KeyAllocation.h"

#include <limits>

#include "data/ADODataSet.h"
#include "data/DataErrors.h"
#include "runtime/Format.h"

namespace qx {
namespace {

constexpr char kMsgNoKeyLeft[] = "No key is left above %d.";

}  // namespace

int NextKey(TADODataSet& dataset, std::string_view statement) {
  dataset.Close();
  dataset.SetCommandText(std::string(statement));
  struct Closing {
    TADODataSet& dataset;
    ~Closing() { dataset.Close(); }
  } closing{dataset};
  dataset.Open();
  if (dataset.IsEmpty()) return 1;
  const int maxId = dataset.FieldByName("MaxId").AsInteger();
  if (maxId == std::numeric_limits<int>::max()) throw EDatabaseError(Format(kMsgNoKeyLeft, {maxId}));
  return maxId > 0 ? maxId + 1 : 1;
}

}  // namespace qx
