// The controls unit's class registrations.
#include "controls/ControlsUnit.h"

#include "controls/IWButton.h"
#include "controls/IWCheckBox.h"
#include "controls/IWComboBox.h"
#include "controls/IWDBControls.h"
#include "controls/IWDBGrid.h"
#include "controls/IWEdit.h"
#include "controls/IWImageFile.h"
#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "controls/IWListbox.h"
#include "controls/IWMemo.h"
#include "controls/IWRectangle.h"
#include "controls/IWTabControl.h"
#include "controls/IWText.h"
#include "controls/IWTimer.h"

namespace qx {

void InitializeControlsUnit() {
  RegisterClasses<TIWLabel, TIWEdit, TIWButton, TIWText, TIWRectangle, TIWMemo, TIWCheckBox,
                  TIWComboBox, TIWListbox, TIWImage, TIWImageFile, TIWImageButton, TIWLink,
                  TIWTimer, TIWTabControl, TIWTabPage, TIWDBLabel, TIWDBMemo, TIWDBImage,
                  TIWDBGrid>();
}

}  // namespace qx
