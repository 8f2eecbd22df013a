// The service's controller: its stored settings and the settings-file step with each case of
// the database folder key, the port, the session time-out, and the files and cache folders.
#include "server/Controller.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/Files.h"
#include "runtime/IniFile.h"
#include "server/IWExceptions.h"
#include "support/TempDir.h"

namespace qx {
namespace {

class Controller : public ::testing::Test {
 protected:
  std::unique_ptr<TServerController> Start() {
    std::unique_ptr<TCustomServerController> c =
        TServerController::CreateController(lib_ / "RequestQX9.so");
    return std::unique_ptr<TServerController>(static_cast<TServerController*>(c.release()));
  }
  void WriteIni(std::string_view text) {
    ASSERT_TRUE(WriteFileBytes(lib_ / "ZozarodUruzede.ini", text));
  }

  test::TempDir lib_;
};

TEST_F(Controller, WithoutTheSettingsFileTheDatabaseIsBesideTheLibrary) {
  auto c = Start();
  EXPECT_EQ(c->DatabasePath(), lib_.path() + "database/Requests.mdb");
  EXPECT_EQ(c->Port(), 8081);
  EXPECT_EQ(TServerController::Current(), c.get());
}

TEST_F(Controller, FileNameNamesTheDatabaseFolderWithOrWithoutATrailingDelimiter) {
  WriteIni("[WEBSERVICE]\r\nTCPIPPort=9090\r\n[DATABASE]\r\nFileName=D:/Data\r\n");
  EXPECT_EQ(Start()->DatabasePath(), "D:/Data/Requests.mdb");
  WriteIni("[DATABASE]\r\nFileName=D:/Data/\r\n");
  EXPECT_EQ(Start()->DatabasePath(), "D:/Data/Requests.mdb");
}

TEST_F(Controller, PortComesFromTheSettingsFile) {
  WriteIni("[WEBSERVICE]\r\nTCPIPPort=9090\r\n");
  EXPECT_EQ(Start()->Port(), 9090);
  WriteIni("[WEBSERVICE]\r\nOther=1\r\n");
  EXPECT_EQ(Start()->Port(), 8081);
}

// A soak run shortens the session time-out through the settings file; a bad value stops the
// start with a message naming the file and the value, and changes nothing.
TEST_F(Controller, SessionTimeoutComesFromTheSettingsFileAndABadValueStopsTheStart) {
  WriteIni("[WEBSERVICE]\r\nSessionTimeout= 1 \r\n");
  EXPECT_EQ(Start()->SessionTimeout(), 1);
  WriteIni("[WEBSERVICE]\r\nSessionTimeout=\r\n");
  EXPECT_EQ(Start()->SessionTimeout(), 10);
  for (const std::string bad : {"ten", "601", "-1", "5 minutes"}) {
    const std::string ini = "[WEBSERVICE]\r\nSessionTimeout=" + bad + "\r\n";
    WriteIni(ini);
    try {
      Start();
      ADD_FAILURE() << bad;
    } catch (const EIWException& e) {
      EXPECT_EQ(e.Message(), "Invalid session timeout value. " + lib_.path() +
                                 "ZozarodUruzede.ini: SessionTimeout in section WEBSERVICE is \"" +
                                 bad + "\"; it must be minutes from 0 to 600.");
    }
    EXPECT_EQ(TServerController::Current(), nullptr);
    EXPECT_EQ(ReadFileBytes(lib_ / "ZozarodUruzede.ini"), ini);
  }
}

// The test option for runs that must see sessions freed within seconds: it sets the idle limit
// and how often the sweep looks; a bad value stops the start like a bad SessionTimeout.
TEST_F(Controller, SessionTimeoutSecondsSetsTheIdleLimitAndTheSweep) {
  WriteIni("[WEBSERVICE]\r\nSessionTimeout=1\r\n");
  EXPECT_EQ(Start()->SessionTimeoutSeconds(), 0);
  EXPECT_EQ(Start()->SweepInterval(), std::chrono::milliseconds(60000));
  WriteIni("[WEBSERVICE]\r\nSessionTimeout=1\r\nSessionTimeoutSeconds=20\r\n");
  EXPECT_EQ(Start()->SessionTimeoutSeconds(), 20);
  EXPECT_EQ(Start()->SweepInterval(), std::chrono::milliseconds(5000));
  WriteIni("[WEBSERVICE]\r\nSessionTimeoutSeconds=2\r\n");
  EXPECT_EQ(Start()->SweepInterval(), std::chrono::milliseconds(1000));
  WriteIni("[WEBSERVICE]\r\nSessionTimeoutSeconds=3600\r\n");
  EXPECT_EQ(Start()->SweepInterval(), std::chrono::milliseconds(60000));
  for (const std::string bad : {"0", "36001", "20s"}) {
    WriteIni("[WEBSERVICE]\r\nSessionTimeoutSeconds=" + bad + "\r\n");
    try {
      Start();
      ADD_FAILURE() << bad;
    } catch (const EIWException& e) {
      EXPECT_EQ(e.Message(), "Invalid session timeout value. " + lib_.path() +
                                 "ZozarodUruzede.ini: SessionTimeoutSeconds in section WEBSERVICE is \"" +
                                 bad + "\"; it must be seconds from 1 to 36000.");
    }
    EXPECT_EQ(TServerController::Current(), nullptr);
  }
}

TEST_F(Controller, EmptyFileNameGivesBasesMDBAndIsWrittenBack) {
  WriteIni("; kept comment\r\n[WEBSERVICE]\r\nTCPIPPort=8082\r\n[DATABASE]\r\nFileName=\r\n"
           "Other=x\r\n");
  auto c = Start();
  EXPECT_EQ(c->DatabasePath(), lib_.path() + "BasesMDB/Requests.mdb");
  TIniFile ini(lib_ / "ZozarodUruzede.ini");
  EXPECT_EQ(ini.ReadString("DATABASE", "FileName", "?"), lib_.path() + "BasesMDB");
  EXPECT_EQ(ini.ReadString("DATABASE", "Other", "?"), "x");
  EXPECT_EQ(ini.ReadInteger("WEBSERVICE", "TCPIPPort", 0), 8082);
  EXPECT_NE(ReadFileBytes(lib_ / "ZozarodUruzede.ini")->find("; kept comment"), std::string::npos);
  // The next start finds the folder written back.
  EXPECT_EQ(Start()->DatabasePath(), lib_.path() + "BasesMDB/Requests.mdb");
}

TEST_F(Controller, MissingFileNameKeyGivesTheRelativeDefault) {
  WriteIni("[WEBSERVICE]\r\nTCPIPPort=8081\r\n");
  EXPECT_EQ(Start()->DatabasePath(), "Requests.mdb/Requests.mdb");
}

TEST_F(Controller, FilesAndCacheFoldersEndUpBesideTheLibrary) {
  auto c = Start();
  EXPECT_EQ(c->FilesDir(), lib_.path() + "Files/");
  EXPECT_EQ(c->CacheDir(), lib_.path() + "Cache/");
  EXPECT_TRUE(DirectoryExists(lib_ / "Cache"));
}

TEST_F(Controller, StoredSettingsAreTheService) {
  auto c = Start();
  EXPECT_EQ(c->AppName(), "RequestQX9");
  EXPECT_EQ(c->CacheExpiry(), 2);
  EXPECT_EQ(c->ComInitialization(), ciNormal);
  EXPECT_EQ(c->Description(), "Requests Service for the QX9");
  EXPECT_EQ(c->ExecCmd(), "EXEC");
  EXPECT_TRUE(c->RestrictIPs());
  EXPECT_FALSE(c->RestrictSubnet());
  EXPECT_EQ(c->SessionTimeout(), 10);
  EXPECT_EQ(c->SessionTimeoutURL().URL(), "/files/SessionEnd.htm");
  EXPECT_EQ(c->SessionTrackingMethod(), tmHidden);
  EXPECT_EQ(c->UnknownBrowserAction(), ubReject);
  EXPECT_TRUE(c->UseInternalFiles());
  EXPECT_EQ(c->Version(), "9.0.17");
  EXPECT_EQ(c->TemplateDir(), lib_.path() + "Templates/");
  EXPECT_EQ(c->InternalFilesDir(), lib_.path());
  EXPECT_EQ(c->CharSet(), "");
  EXPECT_EQ(c->URLBase(), "");
}

TEST_F(Controller, SettingsFileOverridesPortIni) {
  ASSERT_TRUE(WriteFileBytes(lib_ / "port.ini", "[PORTS]\r\nPort=7000\r\nSSLPort=7443\r\n"));
  auto c = Start();
  EXPECT_EQ(c->Port(), 8081);
  EXPECT_EQ(c->SSLOptions().Port, 7443);
}

TEST_F(Controller, FailedStartRaisesAndLeavesNoCurrentController) {
  ASSERT_TRUE(WriteFileBytes(lib_ / "Cache", "mine"));
  try {
    Start();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_EQ(e.Message(), "Unable to create cache directory \"" + lib_.path() + "Cache/\".");
  }
  EXPECT_EQ(TServerController::Current(), nullptr);
  EXPECT_EQ(ReadFileBytes(lib_ / "Cache"), "mine");
}

}  // namespace
}  // namespace qx
