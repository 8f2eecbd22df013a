// The controls unit's class registrations.
#include "controls/ControlsUnit.h"

#include "controls/IWButton.h"
#include "controls/IWEdit.h"
#include "controls/IWImageFile.h"
#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "controls/IWTabControl.h"
#include "controls/IWTimer.h"

namespace qx {

void InitializeControlsUnit() {
  RegisterClasses<TIWLabel, TIWEdit, TIWButton, TIWImage, TIWImageFile, TIWImageButton, TIWLink, TIWTimer,
                  TIWTabControl, TIWTabPage>();
}

}  // namespace qx
