// The service's stored settings and its settings-file step.
#include "server/Controller.h"

#include "server/ApplicationInterface.h"
#include "server/ServiceSettings.h"

namespace qx {

const char* const kBackButtonMessage = "You cannot go back with this button.\r\nUse the Back button";

namespace {

TNewSessionEvent& NewSessionHandler() {
  static TNewSessionEvent handler;
  return handler;
}

}  // namespace

void RegisterNewSessionHandler(TNewSessionEvent handler) { NewSessionHandler() = std::move(handler); }

TServerController::TServerController(std::string libraryFileName)
    : TIWServerControllerBase(std::move(libraryFileName)) {}

std::unique_ptr<TCustomServerController> TServerController::CreateController(
    const std::string& libraryFileName) {
  auto controller = std::make_unique<TServerController>(libraryFileName);
  controller->Start();
  return controller;
}

TServerController* TServerController::Current() noexcept {
  return dynamic_cast<TServerController*>(TCustomServerController::Current());
}

void TServerController::LoadStoredValues() {
  // The values stored with the service, in the order of the settings. The folders are the
  // development machine's and are replaced by the settings-file step; the stored framework
  // version ("8.0.1") is read-only and ignored.
  SetAppName("RequestQX9");
  SetCacheDir("C:/zazAZ/cache/");
  SetCacheExpiry(2);
  SetComInitialization(ciNormal);
  SetDescription("Requests Service for the QX9");
  SetExecCmd("EXEC");
  SetFilesDir("C:/zazAZ/files/");
  SetHistoryEnabled(false);
  SetPort(8081);
  SetRestrictIPs(true);
  SetSessionTimeout(10);
  SessionTimeoutURL().SetURL("/files/SessionEnd.htm");
  SetSessionTrackingMethod(tmHidden);
  SetShowResyncWarning(true);
  SetOnCreate([this] { IWServerControllerBaseCreate(); });
  SetOnNewSession(NewSessionHandler());
  SetOnBackButton([this](int submitted, int current, const std::string& formName, bool& handled,
                         bool& execute) {
    IWServerControllerBaseBackButton(submitted, current, formName, handled, execute);
  });
}

void TServerController::IWServerControllerBaseCreate() {
  const std::string& folder = LibraryFolder();
  const TServiceSettings settings = ReadServiceSettings(folder, true);
  SetPort(settings.port);
  SetSessionTimeout(settings.sessionTimeout);
  SetSessionTimeoutSeconds(settings.sessionTimeoutSeconds);
  databasePath_ = settings.databasePath;
  SetFilesDir(folder + "Files");
  SetCacheDir(folder + "Cache");
}

void TServerController::IWServerControllerBaseBackButton(int, int, const std::string&, bool&,
                                                         bool&) {
  if (IIWApplication* application = CurrentApplication())
    application->ShowMessage(kBackButtonMessage, smAlert, {});
}

}  // namespace qx
