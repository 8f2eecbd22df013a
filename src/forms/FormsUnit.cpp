// The forms unit's initialisation.
#include "forms/FormsUnit.h"

#include "forms/Application.h"
#include "forms/FormListManager.h"
#include "forms/Region.h"
#include "forms/ShowMessage.h"

namespace qx {

void InitializeFormsUnit() {
  RegisterApplicationFactory(&TIWApplication::Create);
  SetModuleRegistry(&TIWFormListManager::Instance());
  RegisterClasses<TIWRegion, TIWLayoutMgrForm, TIWShowMessageText, TIWShowMessageButton>();
}

}  // namespace qx
