// The data unit's class registrations.
#include "data/DataUnit.h"

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "data/DataSource.h"
#include "runtime/ClassInfo.h"

namespace qx {

void InitializeDataUnit() {
  RegisterClasses<TADOConnection, TADODataSet, TADOQuery, TDataSource, TADOCommand>();
}

}  // namespace qx
