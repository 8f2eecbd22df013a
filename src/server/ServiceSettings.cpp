// Reading the service's settings file.
#include "server/ServiceSettings.h"

#include "runtime/Files.h"
#include "runtime/IniFile.h"
#include "runtime/Strings.h"
#include "server/IWExceptions.h"
#include "server/ServerControllerBase.h"

namespace qx {

namespace {

// WEBSERVICE/SessionTimeout, read strictly: a typing mistake must not silently keep sessions
// for the default time.
int ReadSessionTimeout(const TIniFile& ini, const std::string& fileName) {
  const std::string text = ini.ReadString("WEBSERVICE", "SessionTimeout", "");
  if (Trim(text).empty()) return kDefaultSessionTimeout;
  const std::optional<std::int64_t> minutes = TryStrToInt64(text);
  if (!minutes || *minutes < 0 || *minutes > kMaxSessionTimeout)
    throw EIWException(std::string(kInvalidSessionTimeout) + " " + fileName +
                       ": SessionTimeout in section WEBSERVICE is \"" + text +
                       "\"; it must be minutes from 0 to " + IntToStr(kMaxSessionTimeout) + ".");
  return static_cast<int>(*minutes);
}

}  // namespace

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
  settings.sessionTimeout = ReadSessionTimeout(ini, fileName);
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
