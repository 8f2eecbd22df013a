// requestqx-admin user list|show|add|set|delete on a database another connection keeps
// writing to: the rows each command writes, what the login then lists, and the refusals of
// bad input, each of which changes nothing.
#include "AdminFixture.h"
#include "data/Statements.h"
#include "runtime/Files.h"
#include "runtime/JpegCodec.h"
#include "runtime/Strings.h"

namespace qx::test {
namespace {

class UserCommandTest : public AdminFixture {
 protected:
  // A small real JPEG picture, and one cut short.
  void SetUp() override {
    AdminFixture::SetUp();
    TRGBImage image{4, 4, std::vector<std::uint8_t>(48, 200)};
    photo_ = EncodeJPEG(image, TJPEGOptions());
    ASSERT_TRUE(WriteFileBytes(dir_ / "photo.jpg", photo_));
    ASSERT_TRUE(WriteFileBytes(dir_ / "cut.jpg", photo_.substr(0, photo_.size() / 2)));
    ASSERT_TRUE(WriteFileBytes(dir_ / "photo.gif", "GIF89a\x01\x00\x01\x00"));
  }
  std::string photo_;
};

TEST_F(UserCommandTest, AddSetShowListAndDeleteWhileTheFileIsWritten) {
  NeighbourWriter neighbour = QuietNeighbour();
  ProgramResult r = Admin({"user", "add", "--name", "Zoë Núñez", "--email", "zoe@example.com",
                           "--send-email", "yes", "--days", "15", "--photo", dir_ / "photo.jpg",
                           "--phone-code", "34", "--group2", "Night shift", "--language", "EN,PT"},
                          "Secret1\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added user 3 (Zoë Núñez) in EN, PT.\n");
  // One row per language, every column as given; the login of each language lists the user.
  EXPECT_EQ(Scalar("SELECT group_concat(Id_Language || ' ' || UserName || ' ' || Password || ' ' ||"
                   " Email || ' ' || SendEmail || ' ' || RequestGetDays || ' ' || PhoneCode || ' ' ||"
                   " Group2 || ' ' || Administrator, ', ') FROM Users WHERE Id_User = 3"),
            Utf8ToAnsi("EN Zoë Núñez Secret1 zoe@example.com 1 15 34 Night shift 0, "
                       "PT Zoë Núñez Secret1 zoe@example.com 1 15 34 Night shift 0"));
  EXPECT_EQ(Query(SqlUserById(3))->FieldByName("Photo").AsBytes(), photo_);
  EXPECT_TRUE(Query(SqlLoginUsers("PT"))->Locate("Id_User", 3));
  EXPECT_FALSE(Query(SqlLoginUsers("ES"))->Locate("Id_User", 3));

  // set: one language's name, then every row's picture and password.
  r = Admin({"user", "set", "3", "--language", "PT", "--name", "Zoe N"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Scalar("SELECT UserName || '/' || RequestGetDays FROM Users WHERE Id_User = 3 AND "
                   "Id_Language = 'PT'"), "Zoe N/15");
  EXPECT_EQ(Scalar("SELECT UserName FROM Users WHERE Id_User = 3 AND Id_Language = 'EN'"),
            Utf8ToAnsi("Zoë Núñez"));
  r = Admin({"user", "set", "3", "--no-photo", "--password", "--administrator", "yes"}, "New2\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Changed user 3 in EN, PT.\n");
  EXPECT_EQ(Scalar("SELECT group_concat(Password || ifnull(length(Photo), '-') || Administrator)"
                   " FROM Users WHERE Id_User = 3"), "New2-1,New2-1");

  // show: every column, the password only as set; list: one line per row.
  r = Admin({"user", "show", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"Id_Language:    EN\n", "UserName:       Zoë Núñez\n",
                           "Password:       (set)\n", "Photo:\n", "SendSMS:        no\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  EXPECT_EQ(r.out.find("New2"), std::string::npos);
  r = Admin({"user", "list", "--language", "PT"});
  EXPECT_EQ(r.out,
            "ID  LANG  NAME   E-MAIL           MAIL  DAYS  ADMIN\n"
            "3   PT    Zoe N  zoe@example.com  yes   15    yes\n");

  r = Admin({"user", "delete", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Deleted user 3 in EN, PT; 0 of their requests remain.\n");
  EXPECT_TRUE(Query(SqlUserById(3))->IsEmpty());
  EXPECT_GT(neighbour.Rounds(), 1);
}

TEST_F(UserCommandTest, BadInputIsRefusedAndChangesNothing) {
  NeighbourWriter neighbour = QuietNeighbour();
  ExpectRefused({
      {{"user", "set", "9", "--days", "3"}, "", 1, "there is no user 9"},
      {{"user", "delete", "2", "--language", "ES"}, "", 1, "user 2 has no ES row"},
      {{"user", "add", "--name", "ana TORRES"}, "pw\n", 1, "the name 'ana TORRES' is already user 1's in ES"},
      {{"user", "set", "2", "--name", "Ana Torres"}, "", 1, "is already user 1's in EN"},
      {{"user", "add", "--name", "X", "--id", "2"}, "pw\n", 1, "there is already a user 2"},
      {{"user", "add", "--name", "X", "--photo", dir_ / "photo.gif"}, "pw\n", 1, "is not a JPEG picture"},
      {{"user", "add", "--name", "X", "--photo", dir_ / "cut.jpg"}, "pw\n", 1, "is not a readable JPEG picture"},
      {{"user", "add", "--name", "X", "--photo", dir_ / "none.jpg"}, "pw\n", 1, "cannot read the picture"},
      {{"user", "add", "--name", "X"}, "", 1, "no password on standard input"},
      {{"user", "add", "--name", "X"}, "elevenchars\n", 2, "a password has 1 to 10 characters"},
      {{"user", "add", "--name", "Ω"}, "pw\n", 2, "--name: 'Ω' holds characters the service cannot store"},
      {{"user", "add", "--name", "X", "--email", "x@y"}, "pw\n", 2, "--email: The E-mail is too short"},
      {{"user", "set", "1", "--days", "181"}, "", 2, "--days: '181' is not a whole number from 0 to 180"},
      {{"user", "set", "1", "--send-email", "maybe"}, "", 2, "--send-email: 'maybe' is neither yes nor no"},
      {{"user", "set", "1", "--language", "FR", "--days", "1"}, "", 2, "'FR' is not a language"},
      {{"user", "set", "1"}, "", 2, "give at least one thing to change"},
      {{"user", "add", "--name", "X", "--colour", "red"}, "", 2, "unknown option '--colour'"},
      {{"user", "rename", "1"}, "", 2, "unknown action 'rename'"},
  });
}

}  // namespace
}  // namespace qx::test
