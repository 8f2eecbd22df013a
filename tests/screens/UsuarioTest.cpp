// The profile screen over a real SQLite file, opened from a note's author on the home screen:
// the user's labels, photo and mobile line as the page shows them, a photo larger than its
// frame drawn smaller, a user without a dialling prefix or without a row, a user with rows in
// several languages, and Back to the home screen as it was.
#include <gtest/gtest.h>

#include "ScreensFixture.h"
#include "controls/IWDBControls.h"
#include "controls/IWLabel.h"
#include "runtime/JpegCodec.h"
#include "runtime/TestPictures.h"
#include "screens/Usuario.h"

namespace qx::test {
namespace {

class Profile : public ScreensFixture {
 protected:
  Profile() {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (7, 'ES', 'Ana')");
    // Ana's two requests; the second one's note is Bruno's.
    AddPendingRequests(7, {11}, 7);
    AddPendingRequests(7, {12}, 8);
  }
  void AddUser(int id, const char* language, const std::string& name, const char* department,
               const std::string& photo, const Variant& phoneCode, const char* movil) {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName, Department, Group2, Email, Phone, "
         "Photo, PhoneCode, Movil) VALUES (:i, :l, :n, :d, 'Logistics', 'bruno@example.com', "
         "'+351 213 550 102', :p, :c, :m)",
         {id, std::string(language), name, std::string(department),
          photo.empty() ? Variant() : Variant::Blob(photo), phoneCode, std::string(movil)});
  }
  // The profile of `user` opened from the home screen by a note author's link.
  TfrmUsuario& OpenProfile(int user) {
    Press("DBGREQUESTSTATUS", "2_" + std::to_string(user));
    return Active<TfrmUsuario>();
  }
  // The text of the label with element name `element` on `page`.
  static std::string LabelText(const std::string& page, const std::string& element) {
    const std::string start = "ID=\"" + element + "\">";
    const std::size_t at = page.find(start);
    if (at == std::string::npos) return "(missing " + element + ")";
    const std::size_t from = at + start.size();
    return page.substr(from, page.find("</span>", from) - from);
  }
  // What the page shows of the user: the six lines beside the photo.
  static std::string Shown(const std::string& page) {
    std::string shown;
    for (const char* element : {"IWDBLABEL1", "LBLDEPARTAMENTO", "IWDBLABEL3", "IWDBLABEL2",
                                "LBLPHONE", "LBTELEFONO"})
      shown += LabelText(page, element) + " | ";
    return shown;
  }
};

TEST_F(Profile, ANotesAuthorIsShownFromTheFirstRowOfTheUserAndBackReturnsHome) {
  const std::string jpeg = EncodeJPEG(GradientImage(64, 48), TJPEGOptions());
  // Bruno has a row in two languages; the database returns one of them first.
  AddUser(8, "EN", "Bruno N\xFA\xF1" "ez", "Warehouse", jpeg, "351", "912 345 678");
  AddUser(8, "ES", "Bruno (ES)", "Almac\xE9n", jpeg, "351", "912 345 678");
  ASSERT_EQ(Query("SELECT UserName FROM Users WHERE Id_User = 8")->Fields(0).AsString(),
            "Bruno N\xFA\xF1" "ez");

  TfrmHome& home = SignIn(7);
  Render(home);
  Press("BTNSIGUIENTE");
  // The notes name him by his row of the service's language; the profile shows the first row.
  EXPECT_NE(Render(home).find("'2_8', true, '');return false;\">Bruno (ES)</a>"),
            std::string::npos);
  TfrmUsuario& profile = OpenProfile(8);
  EXPECT_EQ(profile.RequestedUserId, 8);
  const std::string page = Render(profile);
  EXPECT_EQ(Shown(page), "Bruno N\xFA\xF1" "ez | Warehouse | Logistics | bruno@example.com | "
                         "+351 213 550 102 | (351) 912 345 678 | ");
  // The photo goes out as it is stored, at its own size.
  EXPECT_EQ(CacheFile(ShownFile(page, "JPG")), jpeg);
  EXPECT_EQ(Element(page, "<img SRC"), "<img SRC=\"" + CacheURL() + ShownFile(page, "JPG") +
                                           "\" NAME=\"IMGFOTO\" BORDER=\"0\" ALT=\"(Foto)\" "
                                           "CLASS=\"IMGFOTOCSS\" ID=\"IMGFOTO\">");
  EXPECT_EQ(profile.imgFoto().Width(), 64);
  // The header stretched to the screen's width: wider lines, the link at the right edge.
  EXPECT_NE(page.find(".LBLUSUARIOFRAENCABEZADO1CSS {position:absolute;left:264px;top:2px;"
                      "z-index:100;width:432px;"), std::string::npos);
  EXPECT_NE(page.find(".LBLFECHAFRAENCABEZADO1CSS {position:absolute;left:262px;top:20px;"
                      "z-index:100;width:534px;"), std::string::npos);
  EXPECT_NE(page.find(".LNKLOGOUTFRAENCABEZADO1CSS {position:absolute;left:702px;"),
            std::string::npos);

  // Back: the home screen as it was, on its second request, not rebuilt.
  Press("BTNREGRESAR");
  EXPECT_EQ(App().ActiveForm(), &home);
  Render(home);
  EXPECT_EQ(home.adodsServicios().RecNo(), 2);
  EXPECT_EQ(Alerts(home), "");
}

TEST_F(Profile, ALargePhotoIsDrawnSmallerAndMissingDataLeavesItsPlacesEmpty) {
  // Carla's photo is twice as wide as the frame; she has a mobile number without a prefix.
  AddUser(9, "ES", "Carla", "Reception", EncodeJPEG(GradientImage(400, 100), TJPEGOptions()),
          Variant(), "600 100 200");
  SignIn(7);
  TfrmUsuario& carla = OpenProfile(9);
  std::string page = Render(carla);
  EXPECT_EQ(Shown(page),
            "Carla | Reception | Logistics | bruno@example.com | +351 213 550 102 |  | ");
  EXPECT_NE(Element(page, "<img SRC").find("\" WIDTH=\"200\" HEIGHT=\"50\" "), std::string::npos)
      << Element(page, "<img SRC");
  Press("BTNREGRESAR");

  // A user who is not in the database: nothing to show, no photo.
  TfrmUsuario& nobody = OpenProfile(99);
  page = Render(nobody);
  EXPECT_EQ(Shown(page), " |  |  |  |  |  | ");
  EXPECT_EQ(page.find("<img SRC"), std::string::npos);
  EXPECT_NE(page.find("<span CLASS=\"IMGFOTOCSS\" ID=\"IMGFOTO\"></span>"), std::string::npos);
}

}  // namespace
}  // namespace qx::test
