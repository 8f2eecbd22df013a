// Reading the service's settings file.
#include "server/ServiceSettings.h"

#include "runtime/Files.h"
#include "runtime/IniFile.h"

namespace qx {

const char* const kSettingsFileName = "ZozarodUruzede.ini";
const char* const kDatabaseFileName = "Requests.mdb";

TServiceSettings ReadServiceSettings(const std::string& libraryFolder, bool storeDefault) {
  TServiceSettings settings;
  const std::string fileName = libraryFolder + kSettingsFileName;
  if (!FileExists(fileName)) {
    settings.databasePath = libraryFolder + "database/" + kDatabaseFileName;
    return settings;
  }
  TIniFile ini(fileName);
  settings.port = ini.ReadInteger("WEBSERVICE", "TCPIPPort", kDefaultTCPIPPort);
  std::string databaseFolder = ini.ReadString("DATABASE", "FileName", kDatabaseFileName);
  if (databaseFolder.empty()) {
    databaseFolder = libraryFolder + "BasesMDB";
    if (storeDefault) ini.WriteString("DATABASE", "FileName", databaseFolder);
  }
  // The key names the folder; the file in it is always Requests.mdb.
  settings.databasePath = IncludeTrailingPathDelimiter(databaseFolder) + kDatabaseFileName;
  return settings;
}

}  // namespace qx
