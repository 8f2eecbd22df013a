// The screens unit's initialisation: the screens' form definitions, the start form and the
// controller's OnNewSession handler, which gives every session its data module.
#pragma once

namespace qx {

class TIWAppForm;
class TIWApplication;

// Registers the screens' embedded definitions and the HTML 4.0 start form (for now the interim
// start form), and installs IWServerControllerBaseNewSession as the controller's OnNewSession.
// Called once while the library loads, before the controller is created.
void InitializeScreensUnit();

// The controller's OnNewSession: a TusSesion with no owner becomes the session's Data (a
// database that cannot be opened fails the session start); VMainForm stays empty, so the
// start form is shown.
void IWServerControllerBaseNewSession(TIWApplication& ASession, TIWAppForm*& VMainForm);

}  // namespace qx
