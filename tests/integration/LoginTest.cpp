// The login screen through the built library over a real database: the list of the service
// language's users in name order, Accept's three refusals as alerts over the unchanged screen,
// the password compare that ignores the case of ASCII letters only, Enter in the password
// field, and the hand-over to the home screen.
#include <gtest/gtest.h>

#include "ServiceClient.h"
#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/Schema.h"
#include "data/ServiceLanguage.h"

namespace qx {
namespace {

using test::ServiceClient;
using test::ServiceReply;

// The service's language in this process: the library reads it from the same executable.
const std::string& Language() { return ServiceLanguage(); }
std::string OtherLanguage() { return Language() == "EN" ? "ES" : "EN"; }

class Login : public ::testing::Test {
 protected:
  Login() {
    database_.SetConnectionString(DatabaseConnectionString(dir_ / "database/Requests.mdb"));
    database_.Open();
    // Stored as the service's Windows-1252 text; NULL names and passwords as the desktop tools
    // may leave them.
    AddUser(1, Language(), "Ana Torres", "Secret");
    AddUser(2, Language(), "bruno N\xFA\xF1" "ez", "");
    AddUser(3, OtherLanguage(), "Aaron Other", "x");
    AddUser(4, Language(), "Carla M\xE9ndez", " Se\xF1or ");
    AddUser(5, Language(), Variant(), "x");
  }

  void AddUser(int id, const std::string& language, const Variant& name, const Variant& password) {
    TADOCommand command;
    command.SetConnection(&database_);
    command.SetCommandText(
        "INSERT INTO Users (Id_User, Id_Language, UserName, Password) VALUES (:i, :l, :n, :p)");
    int i = 0;
    for (const Variant& v : {Variant(id), Variant(language), name, password})
      command.Parameters()[i++].SetValue(v);
    command.Execute();
  }

  // Accept (or Enter in the password field, `action` "EDTPASSWORD") with the list's item
  // `index` (-1: none) and the typed password, url-encoded.
  ServiceReply Accept(int index, const std::string& password,
                      const std::string& action = "BTNACEPTAR") {
    return client_.Submit(
        action, "CBUSERNAME=" + std::to_string(index) + "&EDTPASSWORD=" + password, track_++);
  }

  test::TempDir dir_;
  test::LoadedLibrary library_{dir_.path()};
  ServiceClient client_{library_};
  TADOConnection database_;
  int track_ = 1;
};

std::string Alert(const std::string& text) { return "window.alert(\"" + text + "\");"; }
// The list as the page shows it, from the opening tag's end to the closing tag.
std::string ListOptions(const std::string& page) {
  return test::Capture(page, "ID=\"CBUSERNAME\">([\\s\\S]*?)</select>");
}

TEST_F(Login, TheListHoldsTheLanguagesUsersInNameOrderAndHasTheFocus) {
  ServiceReply page = client_.Start();
  ASSERT_EQ(page.status, 200u);
  // A user without a name sorts first; letter case does not count in the order; accented
  // names as stored; the other language's users are not there.
  EXPECT_EQ(ListOptions(page.body),
            "\r\n  <option VALUE=\"-1\" SELECTED>-- User name --</option>"
            "\r\n  <option VALUE=\"0\"></option>"
            "\r\n  <option VALUE=\"1\">Ana Torres</option>"
            "\r\n  <option VALUE=\"2\">bruno N\xFA\xF1" "ez</option>"
            "\r\n  <option VALUE=\"3\">Carla M\xE9ndez</option>\r\n")
      << page.body;
  EXPECT_NE(page.body.find("GActiveControl=\"CBUSERNAME\";"), std::string::npos);
  EXPECT_NE(page.body.find("<title>Login in ZazAZ</title>"), std::string::npos);
  EXPECT_NE(page.body.find("BACKGROUND=\"/RequestQX9/Files/J0143750.GIF\""), std::string::npos);
  EXPECT_NE(page.body.find("ALT=\"IcoLogin\""), std::string::npos);
}

TEST_F(Login, RefusalsAreAlertsOverTheUnchangedScreen) {
  client_.Start();
  ServiceReply none = Accept(-1, "Secret");
  EXPECT_NE(none.body.find(Alert("Select a user name from the list.")), std::string::npos);
  EXPECT_NE(none.body.find("VALUE=\"Secret\""), std::string::npos);  // the password stays

  // An item whose name matches no row (a user stored without a name).
  ServiceReply missing = Accept(0, "x");
  EXPECT_NE(missing.body.find(Alert("User  was not found in the Database.")), std::string::npos);
  EXPECT_EQ(ListOptions(missing.body).rfind("\r\n  <option SELECTED VALUE=\"0\"></option>", 0), 0u);

  ServiceReply wrong = Accept(1, "Secrets");
  EXPECT_NE(wrong.body.find(Alert("Invalid password. Try again.")), std::string::npos);
  // The name stays chosen (no empty choice offered any more); the password is emptied.
  EXPECT_EQ(ListOptions(wrong.body).rfind("\r\n  <option VALUE=\"0\"></option>", 0), 0u);
  EXPECT_NE(ListOptions(wrong.body).find("<option SELECTED VALUE=\"1\">Ana Torres</option>"),
            std::string::npos);
  EXPECT_NE(wrong.body.find("<input TYPE=\"PASSWORD\" NAME=\"EDTPASSWORD\" CLASS"),
            std::string::npos);

  // Enter in the password field is Accept; an accented letter's case counts, and spaces
  // around a stored password must be typed.
  for (const char* typed : {"+SE%D1OR+", "Se%F1or"}) {
    ServiceReply entered = Accept(3, typed, "EDTPASSWORD");
    EXPECT_NE(entered.body.find(Alert("Invalid password. Try again.")), std::string::npos) << typed;
    EXPECT_NE(entered.body.find("<title>Login in ZazAZ</title>"), std::string::npos);
  }
}

// The page after a password that was accepted: the home screen greeting the user by name, or,
// in a build without the home screen, the alert that says it is missing.
void ExpectSignedIn(const ServiceReply& reply, const std::string& userName) {
  EXPECT_EQ(reply.status, 200u);
  EXPECT_EQ(reply.body.find("Invalid password"), std::string::npos);
  const bool home = reply.body.find("<title>Online failures report [" + userName + "]</title>") !=
                    std::string::npos;
  const bool noHome = reply.body.find(Alert("The home screen is not available: no form class "
                                            "TfrmHome is registered.")) != std::string::npos;
  EXPECT_TRUE(home || noHome) << reply.body;
}

TEST_F(Login, APasswordDifferingInAsciiCaseSignsIn) {
  client_.Start();
  ExpectSignedIn(Accept(1, "sECRET"), "Ana Torres");
  client_.Start();
  track_ = 1;
  ExpectSignedIn(Accept(3, "+sE%F1OR+"), "Carla M\xE9ndez");
}

TEST_F(Login, AnEmptyStoredPasswordTakesAnEmptyOneByEnter) {
  client_.Start();
  ExpectSignedIn(Accept(2, "", "EDTPASSWORD"), "bruno N\xFA\xF1" "ez");
}

}  // namespace
}  // namespace qx
