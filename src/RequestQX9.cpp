// The service library RequestQX9.so: when it is loaded, the unit initialisations run in their
// order and then the main block starts the service; when it is unloaded, the application goes.
#include "controls/ControlsUnit.h"
#include "data/DataUnit.h"
#include "entry/ISAPIApplication.h"
#include "entry/MainBlock.h"
#include "entry/MultipartParser.h"
#include "entry/ServerControllerClass.h"
#include "forms/FormsUnit.h"
#include "screens/ScreensUnit.h"
#include "server/Controller.h"
#include "server/IWServer.h"
#include "server/InternalFiles.h"
#include "server/Sessions.h"

// The browser tests compile this file a second time with their own unit added.
#ifdef QX_BROWSER_TEST_UNIT
#include "BrowserTestUnit.h"
#endif

namespace {

void StartLibrary() {
  // Unit initialisations.
  qx::CreateApplication();
  qx::CreateSessionRegistry();
  qx::RegisterInternalFiles();
  qx::RegisterMultipartParser();
  qx::InitializeFormsUnit();
  qx::InitializeDataUnit();
  qx::InitializeControlsUnit();
  qx::InitializeScreensUnit();
#ifdef QX_BROWSER_TEST_UNIT
  qx::InitializeBrowserTestUnit();
#endif
  qx::RegisterServerControllerClass(&qx::TServerController::CreateController);
  // Main block. Its failures go to RequestQX9.err and loading goes on.
  qx::ISAPIMainBlock(qx::ModuleOf(reinterpret_cast<const void*>(&StartLibrary)),
                     qx::TIWServer::Class());
}

// Registries are made on first use, so this may run before or after any other initialiser.
struct Library {
  Library() { StartLibrary(); }
  ~Library() { qx::DestroyApplication(); }
} library;

}  // namespace
