// The forms unit's initialisation: what the library registers at load so that the server
// layer can create application objects and run-time forms register with their session.
#pragma once

namespace qx {

// Registers the application factory with the server layer, installs the per-session module
// registration (TIWFormListManager) and registers the runtime's own component classes with
// the class registry. Called once while the library loads.
void InitializeFormsUnit();

}  // namespace qx
