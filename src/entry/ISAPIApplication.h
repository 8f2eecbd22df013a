// TISAPIApplication: the one application object of the loaded library. It owns the server
// controller and the request handler; it is created while the library loads and freed when
// the library is unloaded.
#pragma once

#include <memory>
#include <string>

#include "entry/RequestHandler.h"
#include "entry/ServerControllerClass.h"

namespace qx {

extern const char* const kNoServerController;

class TISAPIApplication {
 public:
  TISAPIApplication() = default;
  ~TISAPIApplication();
  TISAPIApplication(const TISAPIApplication&) = delete;
  TISAPIApplication& operator=(const TISAPIApplication&) = delete;

  // The application title, reported as the extension's description (this service sets none).
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  TWebRequestHandler& RequestHandler() noexcept { return handler_; }

  // Creates the server controller through the registered class, for the library at
  // `libraryFileName`; fails with kNoServerController when no class is registered.
  void CreateServerController(const std::string& libraryFileName);
  TCustomServerController* ServerController() const noexcept { return controller_.get(); }
  // Destroys the controller (its shut-down sequence runs); nothing when there is none.
  void DestroyServerController() noexcept;

 private:
  std::string title_;
  TWebRequestHandler handler_;
  std::unique_ptr<TCustomServerController> controller_;
};

// The process-wide application object. Created and freed only by the library's load and
// unload code, when no request runs.
void CreateApplication();
void DestroyApplication() noexcept;
// The application object, or none before it is created.
TISAPIApplication* Application() noexcept;

}  // namespace qx
