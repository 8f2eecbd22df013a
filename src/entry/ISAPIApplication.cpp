// The library's application object and its server controller.
#include "entry/ISAPIApplication.h"

#include "runtime/Exceptions.h"

namespace qx {

const char* const kNoServerController = "No server controller is defined.";

namespace {

TISAPIApplication* application = nullptr;

}  // namespace

TISAPIApplication::~TISAPIApplication() { DestroyServerController(); }

void TISAPIApplication::CreateServerController(const std::string& libraryFileName) {
  TServerControllerClass controllerClass = ServerControllerClass();
  if (!controllerClass) throw Exception(kNoServerController);
  controller_ = controllerClass(libraryFileName);
}

void TISAPIApplication::DestroyServerController() noexcept { controller_.reset(); }

void CreateApplication() {
  if (!application) application = new TISAPIApplication();
}

void DestroyApplication() noexcept {
  delete application;
  application = nullptr;
}

TISAPIApplication* Application() noexcept { return application; }

}  // namespace qx
