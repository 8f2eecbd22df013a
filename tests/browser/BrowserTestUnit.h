// The browser tests' unit: the test form's definition and the test form as the start form.
#pragma once

namespace qx {

// Called once while the browser tests' copy of the library loads, after the screens unit, so
// that the test form replaces the service's start form.
void InitializeBrowserTestUnit();

}  // namespace qx
