// The service's settings file "ZozarodUruzede.ini" beside the library: the port it is meant to
// be reached on, where its database file is and how long an idle session lives. Read by the server controller at start-up
// and by the administrator's tool, which is installed beside the library.
#pragma once

#include <string>

namespace qx {

extern const char* const kSettingsFileName;  // "ZozarodUruzede.ini"
extern const char* const kDatabaseFileName;  // "Requests.mdb"
constexpr int kDefaultTCPIPPort = 8081;
constexpr int kDefaultSessionTimeout = 10;  // minutes

struct TServiceSettings {
  int port = kDefaultTCPIPPort;
  std::string databasePath;
  int sessionTimeout = kDefaultSessionTimeout;
  int sessionTimeoutSeconds = 0;  // the test option; 0 when not set
};

// The settings of the library in `libraryFolder` (with its trailing '/'). With the settings
// file: the port from WEBSERVICE/TCPIPPort (8081 when missing) and the database in the folder
// DATABASE/FileName names ("Requests.mdb" when the key is missing), whose file is always
// Requests.mdb; an empty FileName means libraryFolder + "BasesMDB", which is written back to
// the file when `storeDefault` (the service does, a tool that only reads does not). Without
// the file: 8081 and libraryFolder + "database/Requests.mdb". WEBSERVICE/SessionTimeout gives
// the minutes a session may stay idle (10 when missing; a soak run shortens it); a value that
// is not a whole number from 0 to 600 fails with EIWException naming the file and the value.
// WEBSERVICE/SessionTimeoutSeconds, a test option for runs that must see idle sessions freed
// within seconds, overrides it with seconds from 1 to 36000, read as strictly.
TServiceSettings ReadServiceSettings(const std::string& libraryFolder, bool storeDefault);

}  // namespace qx
