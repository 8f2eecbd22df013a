// The screens unit's initialisation: the screens' form definitions and the start form.
#pragma once

namespace qx {

// Registers the screens' embedded definitions and the HTML 4.0 start form (for now the interim
// start form). Called once while the library loads.
void InitializeScreensUnit();

}  // namespace qx
