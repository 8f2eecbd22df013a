// The data-aware label, memo and image on datasets of a real database file: what they show of
// the current record at every rendering, the changed marks their links set, the memo's
// write-back and the pictures the image takes from a blob.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/IWDBControls.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "runtime/TestPictures.h"

namespace qx::test {
namespace {

constexpr auto npos = std::string::npos;

class DataControls : public Controls, public TestDatabase {
 protected:
  // Opens `sql` on the fixture's dataset, which the data source shows.
  TADODataSet& Open(std::string sql) {
    dataSet_.SetConnection(&connection_);
    dataSet_.SetCommandText(std::move(sql));
    dataSet_.Open();
    return dataSet_;
  }
  void AddUser(int id, const Variant& name, const Variant& department, const Variant& photo = {}) {
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName, Department, Photo) VALUES (:i, 'EN', :n, :d, :p)",
         {id, name, department, photo});
  }
  void AddNote(int id, const Variant& comments) {
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Status_dt, Comments) VALUES (:i, 10, 45000.5, :c)",
         {id, comments});
  }
  // The comments the database holds for note `id`.
  std::string StoredComments(int id) {
    return Query("SELECT Comments FROM Request_Status WHERE Id_Req_Status = " + IntToStr(id))
        ->FieldByName("Comments")
        .AsString();
  }
  template <class T>
  T& AddDataControl(std::string_view name, std::string_view field) {
    T& control = AddControl<T>(Form(), Form(), name, 10, 10, 200, 100);
    control.SetDataSource(&source_);
    control.SetDataField(field);
    return control;
  }

  TADODataSet dataSet_;
  TDataSource source_;
};

TEST_F(DataControls, LabelsShowTheCurrentRecordAndFollowItsMoves) {
  AddUser(1, "<b>Ana</b> & \"Co\"", "North\nWing");
  AddUser(2, "Luis", Variant());
  NewForm();
  auto& name = AddDataControl<TIWDBLabel>("IWDBLabel1", "UserName");
  auto& department = AddDataControl<TIWDBLabel>("lblDepartamento", "department");
  auto& unnamed = AddDataControl<TIWDBLabel>("lblUnnamed", "");
  auto span = [](const std::string& page, const std::string& id) {
    return Between(page, "ID=\"" + id + "\">", "</span>");
  };

  // Nothing to show until the data source's dataset is open.
  name.SetCaption("Design text");
  unnamed.SetCaption("Design text");
  std::string page = Render(Form());
  EXPECT_EQ(span(page, "IWDBLABEL1"), "ID=\"IWDBLABEL1\"></span>");
  source_.SetDataSet(&dataSet_);
  EXPECT_EQ(span(Render(Form()), "IWDBLABEL1"), "ID=\"IWDBLABEL1\"></span>");

  // The display text of the current record, escaped with line breaks; a label without a
  // field name shows nothing.
  Open("SELECT * FROM Users ORDER BY Id_User");
  page = Render(Form());
  EXPECT_NE(page.find("<span style=\"text-align:left;\" CLASS=\"IWDBLABEL1CSS\" ID=\"IWDBLABEL1\">"
                      "&lt;b&gt;Ana&lt;/b&gt; & &quot;Co&quot;</span>"),
            npos) << page;
  EXPECT_EQ(span(page, "LBLDEPARTAMENTO"), "ID=\"LBLDEPARTAMENTO\">North<br>Wing</span>");
  EXPECT_EQ(span(page, "LBLUNNAMED"), "ID=\"LBLUNNAMED\"></span>");

  // A move marks every linked control changed, so a partial update re-sends them; each reads
  // its field again for the update as for a full page.
  for (auto* label : {&name, &department, &unnamed}) label->SetChanged(false);
  dataSet_.Next();
  EXPECT_TRUE(name.Changed() && department.Changed() && unnamed.Changed());
  EXPECT_EQ(UpdateOf(name), "<control id=\"IWDBLABEL1\" type=\"IWLABEL\">\r\n  <innerhtml><![CDATA[Luis]]>"
                            "</innerhtml>\r\n</control>");
  page = Render(Form());
  EXPECT_EQ(span(page, "IWDBLABEL1"), "ID=\"IWDBLABEL1\">Luis</span>");
  EXPECT_EQ(span(page, "LBLDEPARTAMENTO"), "ID=\"LBLDEPARTAMENTO\"></span>");

  // Closing is a change too, and leaves the labels empty.
  name.SetChanged(false);
  dataSet_.Close();
  EXPECT_TRUE(name.Changed());
  EXPECT_EQ(span(Render(Form()), "IWDBLABEL1"), "ID=\"IWDBLABEL1\"></span>");

  // A field name the dataset does not have fails the rendering.
  dataSet_.Open();
  name.SetDataField("Nombre");
  EXPECT_EQ(Failure([&] { Render(Form()); }), "EDatabaseError: Field 'Nombre' not found");
}

TEST_F(DataControls, MemosShowTheirFieldAndWriteBackOnlyWhatTheUserChanged) {
  AddNote(1, "First line\r\nSecond");
  AddNote(2, "Ends with a break\r\n");
  AddNote(3, "a <tag> & \"q\"\nb");
  NewForm();
  // The home screen's comments memo: read-only, not following the dataset's state.
  auto& comments = AddDataControl<TIWDBMemo>("dbmmComments", "Comments");
  comments.SetEditable(false);
  comments.SetBGColor(clWebLightBlue);
  auto& editor = AddDataControl<TIWDBMemo>("mmoEditor", "Comments");
  auto& follower = AddDataControl<TIWDBMemo>("mmoFollower", "Comments");
  follower.SetAutoEditable(true);
  AddDataControl<TIWDBMemo>("mmoDate", "Status_dt");
  AddDataControl<TIWDBLabel>("lblDate", "Status_dt");
  EXPECT_FALSE(editor.AutoEditable());
  auto area = [](const std::string& page, const std::string& id) {
    return Between(page, "ID=\"" + id + "\">", "</textarea>");
  };

  // Without an open dataset the memos are empty and the following memo is read-only.
  std::string page = Render(Form());
  EXPECT_EQ(area(page, "MMOEDITOR"), "ID=\"MMOEDITOR\"></textarea>");
  EXPECT_EQ(Element(page, "<textarea NAME=\"MMOFOLLOWER\""),
            "<textarea NAME=\"MMOFOLLOWER\" READONLY CLASS=\"MMOFOLLOWERCSS\" ID=\"MMOFOLLOWER\">");

  // A stored text without a final line break gets none; a memo field's content is shown
  // whole, any other field's edit text (not its display format).
  source_.SetDataSet(&dataSet_);
  Open("SELECT * FROM Request_Status ORDER BY Id_Req_Status");
  dataSet_.FieldByName("Status_dt").SetDisplayFormat("yyyy");
  page = Render(Form());
  EXPECT_EQ(Element(page, "<textarea NAME=\"DBMMCOMMENTS\""),
            "<textarea NAME=\"DBMMCOMMENTS\" READONLY CLASS=\"DBMMCOMMENTSCSS\" ID=\"DBMMCOMMENTS\">");
  EXPECT_EQ(area(page, "DBMMCOMMENTS"), "ID=\"DBMMCOMMENTS\">First line\r\nSecond</textarea>");
  EXPECT_EQ(area(page, "MMOFOLLOWER"), "ID=\"MMOFOLLOWER\">First line\r\nSecond</textarea>");
  EXPECT_EQ(area(page, "MMODATE"), "ID=\"MMODATE\">15/03/2023 12:00:00</textarea>");
  EXPECT_NE(page.find("ID=\"LBLDATE\">2023</span>"), npos);

  // Posting the text as shown (with CR LF or with bare LF line breaks) changes nothing; what
  // the read-only memo is sent is ignored.
  for (const char* same : {"First line\r\nSecond", "First line\nSecond"}) {
    Post(Form(), {"DBMMCOMMENTS=Overwritten", std::string("MMOEDITOR=") + same, "IW_ActionParam=p"});
    EXPECT_EQ(dataSet_.State(), dsBrowse) << same;
  }
  EXPECT_EQ(dataSet_.FieldByName("Comments").AsString(), "First line\r\nSecond");

  // A different text puts the dataset into edit state with the text as posted, and is not
  // stored until the application posts the dataset.
  follower.SetChanged(false);
  Post(Form(), {"DBMMCOMMENTS=Overwritten", "MMOEDITOR=New\ntext", "IW_ActionParam=p"});
  EXPECT_EQ(dataSet_.State(), dsEdit);
  EXPECT_TRUE(follower.Changed());
  EXPECT_EQ(dataSet_.FieldByName("Comments").AsString(), "New\r\ntext");
  EXPECT_EQ(StoredComments(1), "First line\r\nSecond");
  // In edit state the following memo becomes editable, and every memo shows the new text.
  page = Render(Form());
  EXPECT_EQ(Element(page, "<textarea NAME=\"MMOFOLLOWER\""),
            "<textarea NAME=\"MMOFOLLOWER\" CLASS=\"MMOFOLLOWERCSS\" ID=\"MMOFOLLOWER\">");
  EXPECT_EQ(area(page, "DBMMCOMMENTS"), "ID=\"DBMMCOMMENTS\">New\r\ntext</textarea>");
  Post(Form(), {"MMOFOLLOWER=New\r\ntext\r\n", "IW_ActionParam=p"});
  EXPECT_EQ(dataSet_.FieldByName("Comments").AsString(), "New\r\ntext\r\n");
  dataSet_.Post();
  EXPECT_EQ(Element(Render(Form()), "<textarea NAME=\"MMOFOLLOWER\""),
            "<textarea NAME=\"MMOFOLLOWER\" READONLY CLASS=\"MMOFOLLOWERCSS\" ID=\"MMOFOLLOWER\">");

  // A stored text ending in a line break keeps it; markup is escaped, bare LFs become CR LF.
  dataSet_.Next();
  EXPECT_EQ(area(Render(Form()), "MMOEDITOR"), "ID=\"MMOEDITOR\">Ends with a break\r\n</textarea>");
  Post(Form(), {"MMOEDITOR=Ends with a break\r\n", "IW_ActionParam=p"});
  EXPECT_EQ(dataSet_.State(), dsBrowse);
  dataSet_.Next();
  EXPECT_EQ(area(Render(Form()), "MMOEDITOR"), "ID=\"MMOEDITOR\">a &lt;tag&gt; & &quot;q&quot;\r\nb</textarea>");
  Post(Form(), {"MMOEDITOR=a <tag> & \"q\"\r\nb", "IW_ActionParam=p"});
  EXPECT_EQ(dataSet_.State(), dsBrowse);

  // Without a field name a following memo is read-only whatever the dataset's state.
  follower.SetDataField("");
  dataSet_.Edit();
  EXPECT_EQ(Element(Render(Form()), "<textarea NAME=\"MMOFOLLOWER\""),
            "<textarea NAME=\"MMOFOLLOWER\" READONLY CLASS=\"MMOFOLLOWERCSS\" ID=\"MMOFOLLOWER\">");
}

TEST_F(DataControls, ImagesShowTheJpegOrGifPictureOfABlobAndNothingElse) {
  const std::string jpeg = EncodeJPEG(GradientImage(64, 48), TJPEGOptions());
  const TIndexedImage quadrants = QuadrantImage(40, 30);
  AddUser(1, "Ana", "North", Variant::Blob(jpeg));
  AddUser(2, "Luis", "South", Variant::Blob(EncodeGIF(quadrants)));
  AddUser(3, "Eva", "East", Variant::Blob("BM not a picture this image knows"));
  AddUser(4, "Juan", "West", Variant::Blob(jpeg.substr(0, jpeg.size() / 2)));
  AddUser(5, "Rosa", "Centre", Variant());
  NewForm();
  auto& photo = AddDataControl<TIWDBImage>("imgFoto", "Photo");
  photo.SetAltText("(Foto)");
  AddDataControl<TIWDBLabel>("IWDBLabel1", "UserName");
  source_.SetDataSet(&dataSet_);
  Open("SELECT * FROM Users ORDER BY Id_User");
  const std::string empty = "<span CLASS=\"IMGFOTOCSS\" ID=\"IMGFOTO\"></span>";

  // A JPEG goes to the cache as it is stored, and the image takes the picture's size.
  std::string page = Render(Form());
  const std::string first = ShownFile(page, "JPG");
  EXPECT_EQ(Element(page, "<img SRC"), "<img SRC=\"" + CacheURL() + first +
                                           "\" NAME=\"IMGFOTO\" BORDER=\"0\" ALT=\"(Foto)\" CLASS=\"IMGFOTOCSS\" "
                                           "ID=\"IMGFOTO\">");
  EXPECT_EQ(CacheFile(first), jpeg);
  EXPECT_EQ(DecodeJPEG(CacheFile(first)).Width, 64);
  EXPECT_EQ(photo.Width(), 64);
  EXPECT_EQ(photo.Height(), 48);
  // Every rendering writes a new file.
  EXPECT_NE(ShownFile(Render(Form()), "JPG"), first);

  // A GIF goes out as JPEG, close to its pixels.
  dataSet_.Next();
  page = Render(Form());
  const TRGBImage fromGif = DecodeJPEG(CacheFile(ShownFile(page, "JPG")));
  EXPECT_EQ(fromGif.Width, 40);
  EXPECT_EQ(fromGif.Height, 30);
  EXPECT_LT(MeanError(PaletteToRGB(quadrants), fromGif), 8.0);
  EXPECT_EQ(photo.Width(), 40);

  // Foreign bytes, a damaged JPEG and no value show nothing, and the rest of the page renders.
  for (const char* user : {"Eva", "Juan", "Rosa"}) {
    dataSet_.Next();
    page = Render(Form());
    EXPECT_NE(page.find(empty), npos) << user;
    EXPECT_NE(page.find("ID=\"IWDBLABEL1\">" + std::string(user) + "</span>"), npos);
    EXPECT_EQ(UpdateOf(photo), "<control id=\"IMGFOTO\" type=\"IMAGE\">\r\n  <src><![CDATA[]]></src>\r\n</control>");
  }
  EXPECT_EQ(photo.Width(), 40);

  // A field that is not a blob shows nothing either, even when it holds a picture's bytes.
  dataSet_.First();
  EXPECT_NE(Render(Form()).find("<img SRC"), npos);
  dataSet_.Close();
  dataSet_.DeclareField("UserName", ftString, 50);
  dataSet_.DeclareField("Photo", ftString, 255);
  dataSet_.Open();
  EXPECT_EQ(dataSet_.FieldByName("Photo").AsString(), jpeg);
  EXPECT_NE(Render(Form()).find(empty), npos);
}

TEST_F(DataControls, DefinitionsNameTheDataSourceOfTheirDataControls) {
  AddUser(2, "Ana", "North", Variant::Blob(EncodeGIF(QuadrantImage(20, 10))));
  InitializeDataUnit();
  StartSession();
  Owned<TTestScreen> screen(new TTestScreen);
  ReadComponentDefinition(*screen, "Usuario.qxf",
                          "object frmUsuario: TTestScreen\n"
                          "  object adoConnection: TADOConnection\n"
                          "    ConnectionString = '" + DatabaseConnectionString(path_) + "'\n"
                          "  end\n"
                          "  object dsUser: TDataSource\n"
                          "    DataSet = adodsUser\n"
                          "  end\n"
                          "  object adodsUser: TADODataSet\n"
                          "    Connection = adoConnection\n"
                          "    CommandText = 'select * from Users Where Id_User = :IdUser'\n"
                          "  end\n"
                          "  object imgFoto: TIWDBImage\n"
                          "    DataSource = dsUser\n"
                          "    DataField = 'Photo'\n"
                          "  end\n"
                          "  object lblDepartamento: TIWDBLabel\n"
                          "    DataSource = dsUser\n"
                          "    DataField = 'Department'\n"
                          "  end\n"
                          "  object dbmmComments: TIWDBMemo\n"
                          "    DataSource = dsUser\n"
                          "    DataField = 'UserName'\n"
                          "    Editable = False\n"
                          "    AutoEditable = True\n"
                          "  end\n"
                          "end\n");
  auto& source = static_cast<TDataSource&>(*screen->FindComponent("dsUser"));
  auto& photo = static_cast<TIWDBImage&>(*screen->FindComponent("imgFoto"));
  auto& department = static_cast<TIWDBLabel&>(*screen->FindComponent("lblDepartamento"));
  auto& memo = static_cast<TIWDBMemo&>(*screen->FindComponent("dbmmComments"));
  EXPECT_EQ(photo.DataSource(), &source);
  EXPECT_EQ(department.DataField(), "Department");
  EXPECT_TRUE(memo.AutoEditable());

  auto& user = static_cast<TADODataSet&>(*source.DataSet());
  user.Parameters().ParamByName("IdUser").SetValue(2);
  user.Open();
  EXPECT_EQ(UpdateOf(*screen, department),
            "<control id=\"LBLDEPARTAMENTO\" type=\"IWLABEL\">\r\n  <innerhtml><![CDATA[North]]></innerhtml>\r\n"
            "</control>");
  EXPECT_NE(UpdateOf(*screen, photo).find("<src><![CDATA[" + CacheURL() + "JPG"), npos);
  EXPECT_EQ(photo.Width(), 20);
  user.Edit();
  EXPECT_EQ(UpdateOf(*screen, memo), "<control id=\"DBMMCOMMENTS\" type=\"IWMEMO\">\r\n  <readonly><![CDATA[false]]>"
                                     "</readonly>\r\n  <text><![CDATA[Ana]]></text>\r\n</control>");

  // Freeing the data source leaves its controls with nothing to show.
  screen->RemoveComponent(source).reset();
  EXPECT_EQ(department.DataSource(), nullptr);
  EXPECT_NE(UpdateOf(*screen, department).find("<innerhtml><![CDATA[]]>"), npos);
}

}  // namespace
}  // namespace qx::test
