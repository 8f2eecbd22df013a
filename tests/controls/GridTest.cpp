// The data grid over a real database: the home screen's two grids read from a definition,
// byte for byte, with their links and the moves they make; the walk that leaves the dataset and
// its details where it found them, with pages, sizes and the row options; and the failures
// that change nothing.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "GridTestForm.h"
#include "controls/IWButton.h"
#include "controls/IWDBGrid.h"
#include "data/DataFixture.h"
#include "data/DataUnit.h"
#include "data/Statements.h"

void RegisterResources_controls_tests();

namespace qx::test {
namespace {

class Grid : public Controls {
 protected:
  Grid() {
    InitializeDataUnit();
    RegisterResources_controls_tests();
    path_ = dir_ / "Requests.mdb";
    CreateDatabaseFile(path_);
    connection_.SetConnectionString(DatabaseConnectionString(path_));
    connection_.Open();
  }

  std::int64_t Exec(std::string_view sql, std::initializer_list<Variant> values = {}) {
    return ExecSql(connection_, sql, values);
  }
  // Requests 1 … count of user 1, "Request <n>", every third one urgent.
  void AddRequests(int count) {
    for (int n = 1; n <= count; ++n)
      Exec("INSERT INTO Request (Id_Request, Description, Id_User, Urgent) VALUES (:n, :d, 1, :u)",
           {n, "Request " + IntToStr(n), n % 3 == 0});
  }
  // A dataset on the fixture's connection, opened on `sql`.
  std::unique_ptr<TADODataSet> Query(std::string_view sql) {
    auto ds = std::make_unique<TADODataSet>();
    ds->SetConnection(&connection_);
    ds->SetCommandText(std::string(sql));
    ds->Open();
    return ds;
  }
  // A grid of the test form on `source`, without frame or titles.
  TIWDBGrid& PlainGrid(TDataSource& source) {
    TIWDBGrid& grid = AddControl<TIWDBGrid>(Form(), Form(), "grdList", 10, 20, 400, 200);
    grid.SetUseFrame(false);
    grid.SetOptions({});
    grid.SetDataSource(&source);
    return grid;
  }
  // The rows of `grid`'s table in `page`, from its first row to the table's end.
  static std::string Rows(const std::string& page, const TIWDBGrid& grid) {
    const std::size_t table = page.find("ID=\"" + grid.ElementName() + "\"");
    const std::size_t first = page.find("<tr", table);
    return page.substr(first, page.find("</table>", first) - first);
  }

  std::string path_;
  TADOConnection connection_;
};

TEST_F(Grid, TheHomeScreensGridsRenderTheirRowsAndTheirLinksSelectARecord) {
  Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (1, 'EN', 'Ana'), (2, 'EN', 'Bob')");
  Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'), "
       "(2, 'EN', 'Awaiting'), (8, 'EN', 'Reminder')");
  // A description with markup, quotes and an accent reaches the page as text.
  Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES "
       "(14, :d, 101, 1, 1), (15, 'Leaking tap', 103, 1, 0)",
       {"Door <b>\"lock\"</b> & caf\xE9"});
  Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, "
       "Id_UserStatus, UserNameQX) VALUES (101, 14, 1, 46000.5, 'first', 1, NULL), "
       "(102, 15, 2, 46001.25, NULL, 0, 'QX Desk'), (103, 15, 8, 46002, NULL, 2, NULL)");

  StartSession();
  auto& form = CreateComponent<TfrmGridTest>(App());
  form.Show();
  App().PreparePage();
  form.Connection().SetConnectionString(DatabaseConnectionString(path_));
  form.BuildRequestList(1);
  TIWDBGrid& requests = form.RequestGrid();
  requests.SetCaption("Pending requests [All]");
  // A column without a title text took its field's display label when the form was read.
  EXPECT_EQ(requests.Columns()[3].Title().Text(), "Last status");

  std::string page = Render(form);
  const std::string r = requests.RowIDPrefix();
  const std::string title = "\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP BGColor=\"#000080\" "
                            "style=\"position:static;\">\r\n  <font color=\"#FFFFFF\" STYLE=\"font-size:13px;\">";
  const std::string cell = "\r\n  <td VAlign=\"middle\" align=";
  const std::string font = "style=\"position:static;\">\r\n  <font STYLE=\"font-size:13px;\">";
  const std::string red = "style=\"position:static;\">\r\n  <font color=\"#FF0000\" STYLE=\"font-size:13px;\"><B>";
  const std::string end = "</font>\r\n</td>";
  auto rollOver = [&](const std::string& grid, const std::string& id) {
    return "<tr ID=\"" + id + "\" OnMouseOut=\"rollon_" + grid + "(" + id + ",'')\" OnMouseOver=\"rollon_" +
           grid + "(" + id + ",'over')\"";
  };
  EXPECT_EQ(Between(page, "<table ID=\"tblDBGREQUEST\"", "</table>"),
            "<table ID=\"tblDBGREQUEST\" Border=\"0\" CELLPADDING=\"0\" CELLSPACING=\"0\" WIDTH=\"100%\" "
            "STYLE=\"font-weight:normal;font-style:normal;text-decoration: none;font-size:13px; \">"
            "<CAPTION>Pending requests [All]</CAPTION>\r\n"
            "  <tr>" + title + "Request" + end + title + "!" + end + title + "Description" + end +
            title + "Last status" + end + "\r\n</tr>\r\n  " +
            rollOver("DBGREQUEST", r + "1") + " BGCOLOR=\"#ADD8E6\">" +
            cell + "\"right\" NOWRAP Width=\"60\" " + font + "14" + end +
            cell + "\"center\" NOWRAP Width=\"25\" " + red + "!</B>" + end +
            cell + "\"left\" Width=\"80%\" " + font +
            "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('DBGREQUEST','2_14', true, '');return false;\">"
            "Door &lt;b&gt;&quot;lock&quot;&lt;/b&gt; & caf\xE9</a>" + end +
            cell + "\"left\" Width=\"20%\" " + font + "New" + end + "\r\n</tr>\r\n  " +
            rollOver("DBGREQUEST", r + "2") + ">" +
            cell + "\"right\" NOWRAP Width=\"60\" " + font + "15" + end +
            cell + "\"center\" NOWRAP Width=\"25\" " + red + "&nbsp;</B>" + end +
            cell + "\"left\" Width=\"80%\" " + font +
            "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('DBGREQUEST','2_15', true, '');return false;\">"
            "Leaking tap</a>" + end +
            cell + "\"left\" Width=\"20%\" " + font + "Reminder" + end + "\r\n</tr>\r\n</table>")
      << page;
  // The scrolling frame of the control's size, the roll-over function, the current row
  // scrolled into view.
  EXPECT_NE(page.find("<div STYLE=\"border-style:inset;border-width:2;overflow-x:auto;overflow-y:auto;"
                      "padding:0;clip:rect(0px,800px,300px,0px);\" CLASS=\"DBGREQUESTCSS\" ID=\"DBGREQUEST\">"),
            std::string::npos) << page;
  EXPECT_NE(page.find(".DBGREQUESTCSS {position:absolute;left:0px;top:70px;z-index:100;width:800px;height:300px;"),
            std::string::npos);
  EXPECT_NE(page.find("function rollon_DBGREQUEST(row,where){ \r\nvar tablecolor;\r\nif (where == 'over'){\r\n"
                      " currentcolor=document.getElementById(row).style.backgroundColor\r\n"
                      " document.getElementById(row).style.backgroundColor='' \r\n }else{ \r\n"
                      " document.getElementById(row).style.backgroundColor=currentcolor; }\r\n}\r\n"),
            std::string::npos);
  EXPECT_NE(page.find("document.getElementById(\"DBGREQUEST\").scrollTop = document.getElementById(\"" + r +
                      "1\").offsetTop - 40;\r\n"),
            std::string::npos);

  // The notes of request 14: the date links to the note, the user to its author.
  const std::string n = form.NotesGrid().RowIDPrefix();
  EXPECT_EQ(Rows(page, form.NotesGrid()).substr(Rows(page, form.NotesGrid()).find("\r\n  <tr ID")),
            "\r\n  " + rollOver("DBGREQUESTSTATUS", n + "1") + " BGCOLOR=\"#ADD8E6\">" +
                cell + "\"left\" NOWRAP Width=\"200\" " + font +
                "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('DBGREQUESTSTATUS','0_101', true, '');return false;\">"
                "09/12/2025 12:00:00</a>" + end +
                cell + "\"left\" Width=\"40%\" " + font + "New" + end +
                cell + "\"left\" Width=\"60%\" " + font +
                "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('DBGREQUESTSTATUS','2_1', true, '');return false;\">"
                "Ana</a>" + end + "\r\n</tr>\r\n");

  // A click on the description of request 15 posts "2_15"; the handler moves the list, whose
  // notes follow. The rendering walks both lists without moving either.
  Post(form, {"IW_Action=DBGREQUEST", "IW_ActionParam=2_15"});
  EXPECT_EQ(form.Log(), "request 15\n");
  EXPECT_EQ(requests.ActionParam(), "2_15");
  EXPECT_EQ(form.RequestMoves(), 2);
  Post(form, {"IW_Action=DBGREQUESTSTATUS", "IW_ActionParam=0_103"});
  EXPECT_EQ(form.Notes().RecNo(), 2);
  page = Render(form);
  EXPECT_EQ(form.RequestMoves(), 2);
  EXPECT_EQ(form.Requests().RecNo(), 2);
  EXPECT_EQ(form.Notes().RecNo(), 2);
  EXPECT_NE(page.find(rollOver("DBGREQUEST", r + "2") + " BGCOLOR=\"#ADD8E6\">"), std::string::npos);
  EXPECT_NE(page.find(rollOver("DBGREQUEST", r + "1") + ">"), std::string::npos);
  const std::string notes = Rows(page, form.NotesGrid());
  EXPECT_NE(notes.find(rollOver("DBGREQUESTSTATUS", n + "1") + ">" + cell + "\"left\" NOWRAP Width=\"200\" " +
                       font + "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('DBGREQUESTSTATUS','0_102', true, '');"
                       "return false;\">10/12/2025 06:00:00</a>"),
            std::string::npos) << notes;
  // A note of a maintenance-product user shows that name and links to user 0.
  EXPECT_NE(notes.find("'2_0', true, '');return false;\">QX Desk</a>"), std::string::npos);
  EXPECT_NE(notes.find(rollOver("DBGREQUESTSTATUS", n + "2") + " BGCOLOR=\"#ADD8E6\">"), std::string::npos);
  EXPECT_NE(notes.find("'2_2', true, '');return false;\">Bob</a>"), std::string::npos);
  EXPECT_NE(page.find("document.getElementById(\"DBGREQUESTSTATUS\").scrollTop = document.getElementById(\"" + n +
                      "2\").offsetTop - 40;"),
            std::string::npos);
  Post(form, {"IW_Action=DBGREQUESTSTATUS", "IW_ActionParam=2_0"});
  EXPECT_EQ(form.Log(), "request 15\nnote 103\nuser 0\n");
}

}  // namespace
}  // namespace qx::test
