// The data unit's initialisation: makes the connection, dataset, data source and command
// classes known to form definitions.
#pragma once

namespace qx {

void InitializeDataUnit();

}  // namespace qx
