// The controls unit's class registrations.
#include "controls/ControlsUnit.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"

namespace qx {

void InitializeControlsUnit() { RegisterClasses<TIWLabel, TIWEdit, TIWButton>(); }

}  // namespace qx
