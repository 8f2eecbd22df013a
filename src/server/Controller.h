// TServerController: the service's own server controller. Its stored settings, its start-up
// step that reads "ZozarodUruzede.ini" beside the library (port, database folder) and points
// the files and cache folders at the library's folder, and the database file path.
#pragma once

#include <memory>
#include <string>

#include "server/ControllerEvents.h"
#include "server/ServerControllerBase.h"
#include "server/ServiceSettings.h"

namespace qx {

// What a page posted from the browser's history is answered with.
extern const char* const kBackButtonMessage;

// The service's OnNewSession handler creates the session's data module, which belongs to a
// layer above this one; that layer installs it here while the library loads, before the
// controller exists, and the controller assigns it with its stored values. Not thread-safe:
// only the loading thread calls it.
void RegisterNewSessionHandler(TNewSessionEvent handler);

class TServerController : public TIWServerControllerBase {
 public:
  explicit TServerController(std::string libraryFileName);
  // Shuts down while the whole controller is alive: freeing a session may still read it.
  ~TServerController() override { Shutdown(); }

  // The registered server-controller class: a started controller for the library at
  // `libraryFileName`. A failed start frees the controller (its shut-down runs) and raises.
  static std::unique_ptr<TCustomServerController> CreateController(
      const std::string& libraryFileName);

  // Full path of the database file, read by each session's data module when it connects.
  const std::string& DatabasePath() const noexcept { return databasePath_; }
  void SetDatabasePath(std::string path) { databasePath_ = std::move(path); }

  // The settings-file step, run as the controller's OnCreate.
  void IWServerControllerBaseCreate();
  // A page posted with an old track number: the current application shows kBackButtonMessage
  // as an alert; the post is dropped and the current page is sent again.
  void IWServerControllerBaseBackButton(int submittedSequence, int currentSequence,
                                        const std::string& formName, bool& handled,
                                        bool& execute);

  // The current controller as the service's own class, or none.
  static TServerController* Current() noexcept;

 protected:
  void LoadStoredValues() override;

 private:
  std::string databasePath_;
};

}  // namespace qx
