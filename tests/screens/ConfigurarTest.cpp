// The configuration screen over a real SQLite file, opened from the home screen: the day
// windows it stores (in every language row of the user) and the home screen's list and caption
// that follow; the values it refuses with their reasons; Cancel; a write the database refuses
// and one that fails, which leave the database and the connection as they were.
#include <gtest/gtest.h>

#include "ScreensFixture.h"
#include "controls/IWDBGrid.h"
#include "controls/IWEdit.h"
#include "runtime/DateTime.h"
#include "screens/Configurar.h"

namespace qx::test {
namespace {

constexpr char kStoredDays[] =
    "SELECT group_concat(RequestGetDays, ' ') FROM Users WHERE Id_User = 7";

// The request grid's caption for a window of `days` days.
std::string CaptionFrom(int days) {
  return "Pending requests [All] and Requests Dealt with or Canceled [from " +
         FormatDateTime("dd/mm/yyyy", Now() - days) + "]";
}

class Configuration : public ScreensFixture {
 protected:
  Configuration() {
    // Ana has a row in two languages; both carry her window.
    for (const char* language : {"ES", "EN"})
      Exec("INSERT INTO Users (Id_User, Id_Language, UserName, RequestGetDays) "
           "VALUES (7, :l, 'Ana', 30)", {std::string(language)});
    // Two requests, so that a rebuild shows as the list starting again at its first.
    AddPendingRequests(7, {11, 12}, 7);
  }

  std::string Stored() { return Query(kStoredDays)->Fields(0).AsString(); }
  // The configuration screen the home screen's Configure button opened.
  TfrmConfigurar& Open() {
    Press("BTNCONFIGURAR");
    return Active<TfrmConfigurar>();
  }
  // Posts `days` typed in the field with the press of `action` (the field itself: Enter).
  void Submit(const std::string& days, const std::string& action = "BTNACEPTAR") {
    App().Execute({"EDTOLDDAYS=" + days, "IW_Action=" + action, "IW_ActionParam="});
  }
};

TEST_F(Configuration, AValidWindowIsStoredAndTheHomeScreenListsByIt) {
  TfrmHome& home = SignIn(7);
  Render(home);
  EXPECT_EQ(home.dbgRequest().Caption(), CaptionFrom(30));
  Press("BTNSIGUIENTE");
  ASSERT_EQ(home.adodsServicios().RecNo(), 2);

  // "007" is 7: stored in both rows; the screen leaves and the home screen, rebuilt, starts
  // its list again and dates its caption from 7 days back.
  TfrmConfigurar* screen = &Open();
  EXPECT_EQ(screen->edtOldDays().Text(), "30");
  // The header stretched to the screen's width: wider lines, the link at the right edge.
  const std::string page = Render(*screen);
  EXPECT_NE(page.find(".LBLUSUARIOFRAENCABEZADO1CSS {position:absolute;left:264px;top:2px;"
                      "z-index:100;width:342px;"), std::string::npos);
  EXPECT_NE(page.find(".LBLFECHAFRAENCABEZADO1CSS {position:absolute;left:262px;top:20px;"
                      "z-index:100;width:444px;"), std::string::npos);
  EXPECT_NE(page.find(".LNKLOGOUTFRAENCABEZADO1CSS {position:absolute;left:612px;"),
            std::string::npos);
  Submit("007");
  EXPECT_EQ(App().ActiveForm(), &home);
  EXPECT_EQ(Alerts(home), "");
  EXPECT_EQ(Stored(), "7 7");
  EXPECT_TRUE(Session().RefreshHome);
  Render(home);
  EXPECT_FALSE(Session().RefreshHome);
  EXPECT_EQ(home.adodsServicios().RecNo(), 1);
  EXPECT_EQ(Session().RequestGetDays, 7);
  EXPECT_EQ(home.dbgRequest().Caption(), CaptionFrom(7));

  // Shown as "7" the next time; "0" by Enter in the field lists today's only.
  screen = &Open();
  EXPECT_EQ(screen->edtOldDays().Text(), "7");
  Submit("0", "EDTOLDDAYS");
  EXPECT_EQ(Stored(), "0 0");
  Render(home);
  EXPECT_EQ(home.dbgRequest().Caption(),
            "Pending requests [All] and Requests Dealt with or Canceled [from today]");
  Open();
  Submit("180");
  EXPECT_EQ(Stored(), "180 180");
  Render(home);
  EXPECT_EQ(home.dbgRequest().Caption(), CaptionFrom(180));

  // Cancel stores nothing and leaves the home screen where it was.
  Press("BTNSIGUIENTE");
  Open();
  Submit("5", "BTNCANCELAR");
  EXPECT_EQ(App().ActiveForm(), &home);
  EXPECT_EQ(Stored(), "180 180");
  EXPECT_FALSE(Session().RefreshHome);
  Render(home);
  EXPECT_EQ(home.adodsServicios().RecNo(), 2);
}

TEST_F(Configuration, InvalidWindowsAreRefusedWithTheirReasonsAndStoreNothing) {
  TfrmHome& home = SignIn(7);
  Render(home);
  TfrmConfigurar& screen = Open();
  const struct {
    const char* typed;
    const char* reason;
  } refused[] = {
      {"181", "Maximum of 180 days allowed."},
      {"", "You must type the number of days."},
      {"30 ", "This field accepts only numbers. Please correct the number of days."},
      {"-1", "This field accepts only numbers. Please correct the number of days."},
  };
  for (const auto& [typed, reason] : refused) {
    Submit(typed);
    EXPECT_EQ(App().ActiveForm(), &screen) << typed;
    EXPECT_EQ(Alerts(screen), "window.alert(\"" + std::string(reason) + "\");\r\n") << typed;
    EXPECT_EQ(screen.edtOldDays().Text(), typed);
  }
  EXPECT_EQ(Stored(), "30 30");
  EXPECT_FALSE(Session().RefreshHome);
}

TEST_F(Configuration, AWriteTheDatabaseRefusesOrThatFailsLeavesAllAsItWas) {
  TfrmHome& home = SignIn(7);
  // A write that waits for another connection's lock gives up soon.
  TADOConnection& connection = Session().adocnWebServices();
  connection.Close();
  connection.SetBusyTimeout(50);
  connection.Open();
  Render(home);
  TfrmConfigurar& screen = Open();
  auto other = OtherConnection(50);

  // Refused by the database: no message, the screen stays, and the transaction is over (the
  // other connection can write at once).
  Exec("CREATE TRIGGER Refuse BEFORE UPDATE ON Users BEGIN SELECT RAISE(ABORT, 'no'); END");
  Submit("10");
  EXPECT_EQ(App().ActiveForm(), &screen);
  EXPECT_EQ(Alerts(screen), "");
  EXPECT_FALSE(connection.InTransaction());
  Exec("DROP TRIGGER Refuse");
  EXPECT_EQ(Exec(*other, "UPDATE Users SET Phone = '1' WHERE Id_User = 7"), 2);

  // The database is held by another writer: the failure is said, nothing is kept.
  Exec(*other, "BEGIN IMMEDIATE");
  Submit("10");
  Exec(*other, "COMMIT");
  EXPECT_EQ(App().ActiveForm(), &screen);
  EXPECT_EQ(Alerts(screen), "window.alert(\"Failed when updating the parameter.\");\r\n");
  EXPECT_FALSE(connection.InTransaction());
  EXPECT_EQ(Stored(), "30 30");
  EXPECT_FALSE(Session().RefreshHome);

  // Once free, the same window is stored.
  Submit("10");
  EXPECT_EQ(App().ActiveForm(), &home);
  EXPECT_EQ(Stored(), "10 10");

  // A user deleted meanwhile finds the field at 0.
  Exec("DELETE FROM Users WHERE Id_User = 7");
  EXPECT_EQ(Open().edtOldDays().Text(), "0");
}

}  // namespace
}  // namespace qx::test
