// The browser tests' unit: its registrations.
#include "BrowserTestUnit.h"

#include "ClientTestForm.h"
#include "ControlsTestForm.h"
#include "GridTestForm.h"
#include "server/ApplicationInterface.h"

void RegisterResources_browser_tests();

namespace qx {

void InitializeBrowserTestUnit() {
  RegisterResources_browser_tests();
  RegisterStartForm(rkHTML40, &TfrmClientTest::StaticClassInfo());
  // Opened by name, at <mount>/frmControlsTest.html and <mount>/frmGridTest.html.
  RegisterClasses<TfrmControlsTest, TfrmGridTest>();
}

}  // namespace qx
