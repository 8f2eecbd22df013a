// TServerController: the service's own server controller. Its stored settings, its start-up
// step that reads "ZozarodUruzede.ini" beside the library (port, database folder) and points
// the files and cache folders at the library's folder, and the database file path.
#pragma once

#include <memory>
#include <string>

#include "server/ServerControllerBase.h"

namespace qx {

extern const char* const kSettingsFileName;   // "ZozarodUruzede.ini"
extern const char* const kDatabaseFileName;   // "Requests.mdb"
constexpr int kDefaultTCPIPPort = 8081;

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

  // The current controller as the service's own class, or none.
  static TServerController* Current() noexcept;

 protected:
  void LoadStoredValues() override;

 private:
  std::string databasePath_;
};

}  // namespace qx
