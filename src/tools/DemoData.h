// Demo data for a new database: the status catalogue, users with photos, requests with their
// notes, e-mail history and the SMTP settings of a local test server.
#pragma once

#include "runtime/DateTime.h"

namespace qx {
class TADOConnection;
}

namespace qx::admin {

// Adds the demo rows to an empty database, in one transaction; note dates count back from
// `now`. Text goes through the data layer like the service's own.
void FillDemoData(TADOConnection& connection, TDateTime now);

}  // namespace qx::admin
