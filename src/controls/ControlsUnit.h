// The controls unit's initialisation: the control classes form definitions may name.
#pragma once

namespace qx {

// Registers every control class with the class registry. Called once while the library
// loads; calling it again does nothing new.
void InitializeControlsUnit();

}  // namespace qx
