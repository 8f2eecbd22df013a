// The screens unit's registrations.
#include "screens/ScreensUnit.h"

#include "screens/InterimStart.h"
#include "server/ApplicationInterface.h"

void RegisterResources_screens();

namespace qx {

void InitializeScreensUnit() {
  RegisterResources_screens();
  RegisterStartForm(rkHTML40, &TfrmInterimStart::StaticClassInfo());
}

}  // namespace qx
