// The screens unit's registrations and the controller's OnNewSession handler.
#include "screens/ScreensUnit.h"

#include "forms/Application.h"
#include "runtime/FormReader.h"
#include "screens/InterimStart.h"
#include "screens/usSesion.h"
#include "server/ApplicationInterface.h"
#include "server/Controller.h"

void RegisterResources_screens();

namespace qx {

void InitializeScreensUnit() {
  RegisterResources_screens();
  RegisterStartForm(rkHTML40, &TfrmInterimStart::StaticClassInfo());
  RegisterNewSessionHandler(&IWServerControllerBaseNewSession);
}

void IWServerControllerBaseNewSession(TIWApplication& ASession, TIWAppForm*&) {
  ASession.SetData(CreateComponent<TusSesion>());
}

}  // namespace qx
