// The controls unit's class registrations.
#include "controls/ControlsUnit.h"

#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWComboBox.h"
#include "controls/IWEdit.h"
#include "controls/IWLabel.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWRectangle.h"
#include "controls/IWText.h"

namespace qx {

void InitializeControlsUnit() {
  RegisterClasses<TIWLabel, TIWEdit, TIWButton, TIWText, TIWRectangle, TIWMemo, TIWCheckBox,
                  TIWComboBox, TIWListbox>();
}

}  // namespace qx
