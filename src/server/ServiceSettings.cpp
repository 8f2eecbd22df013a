// Reading the service's settings file.
#include "server/ServiceSettings.h"

#include "runtime/Files.h"
#include "runtime/IniFile.h"
#include "runtime/Strings.h"
#include "server/IWExceptions.h"
#include "server/ServerControllerBase.h"

namespace qx {

namespace {

// A time-out key of WEBSERVICE, read strictly: a typing mistake must not silently keep sessions
// for the default time.
int ReadSessionTimeout(const TIniFile& ini, const std::string& fileName, const char* key, int missing,
                       int low, int high, const char* unit) {
  const std::string text = ini.ReadString("WEBSERVICE", key, "");
  if (Trim(text).empty()) return missing;
  const std::optional<std::int64_t> value = TryStrToInt64(text);
  if (!value || *value < low || *value > high)
    throw EIWException(std::string(kInvalidSessionTimeout) + " " + fileName + ": " + key +
                       " in section WEBSERVICE is \"" + text + "\"; it must be " + unit + " from " +
                       IntToStr(low) + " to " + IntToStr(high) + ".");
  return static_cast<int>(*value);
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
  settings.sessionTimeout = ReadSessionTimeout(ini, fileName, "SessionTimeout", kDefaultSessionTimeout, 0,
                                               kMaxSessionTimeout, "minutes");
  settings.sessionTimeoutSeconds = ReadSessionTimeout(ini, fileName, "SessionTimeoutSeconds", 0, 1,
                                                      kMaxSessionTimeoutSeconds, "seconds");
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
