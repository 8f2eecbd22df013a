// The screens unit's registrations and the controller's OnNewSession handler.
#include "screens/ScreensUnit.h"

#include "forms/Application.h"
#include "runtime/FormReader.h"
#include "screens/Encabezado.h"
#include "screens/EnviaEmail.h"
#include "screens/Home.h"
#include "screens/Login.h"
#include "screens/Servicio.h"
#include "screens/usSesion.h"
#include "server/ApplicationInterface.h"
#include "server/Controller.h"

void RegisterResources_screens();

namespace qx {

void InitializeScreensUnit() {
  RegisterResources_screens();
  // The login screen creates the home screen by its class name.
  RegisterClasses<TfraEncabezado, TfrmHome, TfrmServicio, TfrmEnviaEmail>();
  RegisterStartForm(rkHTML40, &TfrmLogin::StaticClassInfo());
  RegisterNewSessionHandler(&IWServerControllerBaseNewSession);
}

void IWServerControllerBaseNewSession(TIWApplication& ASession, TIWAppForm*&) {
  ASession.SetData(CreateComponent<TusSesion>());
}

}  // namespace qx
