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

class Grid : public Controls, public TestDatabase {
 protected:
  Grid() {
    InitializeDataUnit();
    RegisterResources_controls_tests();
  }

  // Requests 1 … count of user 1, "Request <n>", every third one urgent.
  void AddRequests(int count) {
    for (int n = 1; n <= count; ++n)
      Exec("INSERT INTO Request (Id_Request, Description, Id_User, Urgent) VALUES (:n, :d, 1, :u)",
           {n, "Request " + IntToStr(n), n % 3 == 0});
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

TEST_F(Grid, TheWalkLeavesTheDatasetAndItsDetailsWhereItFoundThem) {
  AddRequests(25);
  for (int note = 1; note <= 3; ++note)
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status) VALUES (:n, 15, 1)", {note});
  auto master = Query("SELECT Id_Request, Description FROM Request ORDER BY Id_Request");
  int masterMoves = 0;
  master->SetAfterScroll([&](TDataSet&) { ++masterMoves; });
  TDataSource source;
  source.SetDataSet(master.get());
  TADODataSet detail;
  detail.SetConnection(&connection_);
  detail.SetCommandText("SELECT * FROM Request_Status WHERE Id_Request = :Id_Request");
  detail.SetDataSource(&source);
  detail.Open();

  NewForm();
  TIWDBGrid& grid = PlainGrid(source);
  grid.Columns().Add().SetDataField("Id_Request");
  grid.SetRowCurrentColor(clYellow);
  grid.SetFromStart(false);
  grid.SetRowLimit(10);
  ASSERT_TRUE(master->Locate("Id_Request", 15));
  ASSERT_EQ(detail.RecordCount(), 3);
  detail.Next();
  masterMoves = 0;

  // Record 15 of pages of 10: records 11 to 20, 15 current, a full page rendered at its size.
  std::string page = Render(Form());
  const std::string r = grid.RowIDPrefix();
  std::string rows = Rows(page, grid);
  EXPECT_EQ(grid.RowCount(), 10);
  EXPECT_NE(rows.find("<tr ID=\"" + r + "1\">" + "\r\n  <td VAlign=\"middle\" align=\"left\" NOWRAP "
                      "style=\"position:static;\">\r\n  <font STYLE=\"font-size:13px;\">11</font>"),
            std::string::npos) << rows;
  EXPECT_NE(rows.find("<tr ID=\"" + r + "5\" BGCOLOR=\"#FFFF00\">"), std::string::npos);
  EXPECT_NE(rows.find(">20</font>"), std::string::npos);
  EXPECT_EQ(rows.find(">21</font>"), std::string::npos);
  EXPECT_EQ(rows.find(">10</font>"), std::string::npos);
  EXPECT_NE(page.find("<table ID=\"GRDLIST\" Border=\"1\" CELLPADDING=\"0\" CELLSPACING=\"0\" WIDTH=\"400\" "
                      "CLASS=\"GRDLISTCSS\">"),
            std::string::npos) << page;
  EXPECT_NE(page.find("width:400px;height:200px;"), std::string::npos);
  EXPECT_EQ(master->RecNo(), 15);
  EXPECT_EQ(detail.RecNo(), 2);
  EXPECT_EQ(masterMoves, 0);

  // Record 23: records 21 to 25, fewer than a page, so the page gives no size.
  master->Locate("Id_Request", 23);
  page = Render(Form());
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_NE(Rows(page, grid).find("<tr ID=\"" + r + "3\" BGCOLOR=\"#FFFF00\">"), std::string::npos);
  EXPECT_EQ(page.find("width:400px;height:200px;"), std::string::npos);
  EXPECT_EQ(master->RecNo(), 23);

  // From the start, every record: record 7 current, and the dataset back on it.
  master->Locate("Id_Request", 7);
  grid.SetFromStart(true);
  grid.SetRowLimit(0);
  page = Render(Form());
  EXPECT_EQ(grid.RowCount(), 25);
  EXPECT_NE(Rows(page, grid).find("<tr ID=\"" + r + "7\" BGCOLOR=\"#FFFF00\">"), std::string::npos);
  EXPECT_NE(Rows(page, grid).find("<tr ID=\"" + r + "25\">"), std::string::npos);
  EXPECT_EQ(master->RecNo(), 7);
  EXPECT_NE(page.find("width:400px;height:200px;"), std::string::npos);

  // On a partial update the page's scripts reach the rows through IWTop().
  grid.SetScrollToCurrentRow(true);
  Form().SetUpdateMode(umPartial);
  page = Render(Form());
  EXPECT_NE(page.find(" IWTop().document.getElementById(row).style.backgroundColor=currentcolor; }\r\n"),
            std::string::npos);
  EXPECT_NE(PartialReply(page).find("IWTop().document.getElementById(\"GRDLIST\").scrollTop = "
                                    "IWTop().document.getElementById(\"" + r + "7\").offsetTop - 40;\r\n"),
            std::string::npos) << PartialReply(page);
  Form().SetUpdateMode(umAll);

  // An empty dataset: the title row only; closed: no rows at all.
  auto empty = Query("SELECT Id_Request FROM Request WHERE Id_Request < 0");
  source.SetDataSet(empty.get());
  grid.SetOptions({dgShowTitles});
  page = Render(Form());
  EXPECT_EQ(Rows(page, grid), "<tr>\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP style=\"position:static;\">\r\n"
                              "  <font STYLE=\"font-size:13px;\">Id_Request</font>\r\n</td>\r\n</tr>\r\n");
  EXPECT_EQ(grid.RowCount(), 0);
  EXPECT_TRUE(empty->Eof());
  empty->Close();
  page = Render(Form());
  EXPECT_NE(page.find("CLASS=\"GRDLISTCSS\"></table>"), std::string::npos);
}

TEST_F(Grid, RowOptionsCellsAndFooters) {
  AddRequests(4);
  const char* comments[] = {"Line one\r\nline <two>", "short", nullptr, "0123456789ABCDEF"};
  const char* names[] = {"a'b", "x", "y", "z"};
  for (int n = 1; n <= 4; ++n)
    Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request, Comments, UserNameQX) VALUES (:i, :r, :c, :u)",
         {n, n, comments[n - 1] ? Variant(comments[n - 1]) : Variant(), names[n - 1]});
  auto notes = Query("SELECT Id_Request, Comments, UserNameQX FROM Request_Status ORDER BY Id_Req_Status");
  TDataSource source;
  source.SetDataSet(notes.get());
  NewForm();
  TIWDBGrid& grid = PlainGrid(source);
  grid.SetOptions({dgIndicator, dgShowTitles});
  grid.SetRowCurrentColor(clYellow);
  grid.SetRowAlternateColor(clSilver);
  grid.SetHighlightRows(true);
  grid.SetHighlightColor(clRed);
  grid.SetFooterRowCount(1);
  std::vector<std::string> clicks;
  TIWDBGridColumn& id = grid.Columns().Add();
  id.SetDataField("Id_Request");
  id.SetCompareHighlight(hcGreaterThan);
  id.SetCompareValue("2");
  id.SetOnTitleClick([&](TObject* sender) { clicks.push_back("title " + IntToStr(static_cast<TIWDBGridColumn*>(sender)->Index())); });
  TIWDBGridColumn& memo = grid.Columns().Add();
  memo.SetDataField("Comments");
  memo.SetBlobCharLimit(10);
  TIWDBGridColumn& link = grid.Columns().Add();
  link.SetDataField("Id_Request");
  link.SetLinkField("UserNameQX");
  link.SetOnClick([&](TObject*, const std::string& value) { clicks.push_back("link " + value); });
  TIWDBGridColumn& own = grid.Columns().Add();
  own.SetText("<i>fixed</i>");
  own.Title().SetText("Own");
  grid.Columns().Add().SetVisible(false);
  // A control in a cell shows in the current record's row only.
  TIWButton& button = CreateComponent<TIWButton>(Form());
  button.SetName("btnRow");
  button.SetCaption("Go");
  own.SetControl(&button);

  std::string rows = Rows(Render(Form()), grid);
  const std::string r = grid.RowIDPrefix();
  const std::string td = "\r\n  <td VAlign=\"middle\" align=\"left\" NOWRAP style=\"position:static;\">\r\n"
                         "  <font STYLE=\"font-size:13px;\">";
  const std::string end = "</font>\r\n</td>";
  EXPECT_EQ(rows.substr(0, rows.find("<tr ID=\"" + r + "2")),
            "<tr>\r\n  <th>&nbsp</th>\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP style=\"position:static;\">"
            "\r\n  <font STYLE=\"font-size:13px;\"><a HREF=\"#\" OnClick=\"SubmitClickConfirm('GRDLIST','C0', true, '');"
            "return false;\">Id_Request</a>" + end +
            "\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP style=\"position:static;\">\r\n"
            "  <font STYLE=\"font-size:13px;\">Comments" + end +
            "\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP style=\"position:static;\">\r\n"
            "  <font STYLE=\"font-size:13px;\">Id_Request" + end +
            "\r\n  <td VAlign=\"middle\" align=\"center\" NOWRAP style=\"position:static;\">\r\n"
            "  <font STYLE=\"font-size:13px;\">Own" + end + "\r\n</tr>\r\n  "
            "<tr ID=\"" + r + "1\" BGCOLOR=\"#FFFF00\">\r\n  <td>*</td>" + td + "1" + end + td + "Line one<br>..." +
            end + td + "<a HREF=\"#\" OnClick=\"SubmitClickConfirm('GRDLIST','2_a%27b', true, '');return false;\">1</a>" +
            end + td + "<i>fixed</i></font>\r\n  " + Element(rows, "<input") + "\r\n</td>\r\n</tr>\r\n  ")
      << rows;
  EXPECT_NE(Element(rows, "<input").find("ID=\"BTNROW\""), std::string::npos) << rows;
  EXPECT_EQ(rows.find("<input", rows.find("<input") + 1), std::string::npos);
  // Alternate colour on even rows, the highlight on rows whose number sorts after "2".
  EXPECT_NE(rows.find("<tr ID=\"" + r + "2\" BGCOLOR=\"#C0C0C0\">\r\n  <td>&nbsp </td>" + td + "2" + end + td +
                      "short" + end),
            std::string::npos);
  EXPECT_NE(rows.find("<tr ID=\"" + r + "3\" BGCOLOR=\"#FF0000\">\r\n  <td>&nbsp </td>" + td + "3" + end + td +
                      "&nbsp;" + end),
            std::string::npos);
  EXPECT_NE(rows.find("<tr ID=\"" + r + "4\" BGCOLOR=\"#FF0000\">\r\n  <td>&nbsp </td>" + td + "4" + end + td +
                      "0123456789..." + end),
            std::string::npos);
  EXPECT_NE(rows.find("<tr>\r\n  <th>&nbsp</th>" + td + "&nbsp;" + end + td + "&nbsp;" + end + td + "&nbsp;" +
                      end + td + "<i>fixed</i>" + end + "\r\n</tr>\r\n"),
            std::string::npos);

  // The link's value and the title's index come back; a value keeps its further "_".
  Post(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=2_a%27b_c"});
  Post(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=C0"});
  Post(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=C1"});  // no OnTitleClick: nothing
  Post(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=0_1"});  // no OnClick: nothing
  EXPECT_EQ(clicks, (std::vector<std::string>{"link a%27b_c", "title 0"}));

  // The six tests of highlighting, on the field's edit text.
  TIWDBGridColumn test;
  test.SetCompareValue("Abc");
  const std::pair<THighlightCompare, std::vector<bool>> cases[] = {
      // "abc", "Abc", "xAbcx", "abd", "ab"
      {hcEqualTo, {true, true, false, false, false}},      {hcNotEqualTo, {true, false, true, true, true}},
      {hcContains, {false, true, true, false, false}},     {hcDoesNotContain, {true, false, false, true, true}},
      {hcGreaterThan, {false, false, true, true, false}},  {hcLessThan, {false, false, false, false, true}}};
  for (const auto& [compare, expected] : cases) {
    test.SetCompareHighlight(compare);
    std::vector<bool> held;
    for (const char* text : {"abc", "Abc", "xAbcx", "abd", "ab"}) held.push_back(test.HighlightHolds(text));
    EXPECT_EQ(held, expected) << EnumInfoOf(compare).NameOf(compare);
  }

  // Row clicks: the row posts the link, the cell shows the escaped text; a memo shown whole,
  // and a raw column's markup as it is.
  grid.SetRowClick(true);
  memo.SetBlobCharLimit(0);
  memo.SetRawText(true);
  grid.SetOptions({});
  grid.SetFooterRowCount(0);
  rows = Rows(Render(Form()), grid);
  EXPECT_NE(rows.find("<tr ID=\"" + r + "1\" BGCOLOR=\"#FFFF00\" OnClick=\"SubmitClickConfirm('GRDLIST','2_a%27b', "
                      "true, '')\" STYLE=\"cursor:hand;\">" + td + "1" + end + td + "Line one\r\nline <two>" + end + td +
                      "1" + end),
            std::string::npos) << rows;
  memo.SetRawText(false);
  EXPECT_NE(Rows(Render(Form()), grid).find(td + "Line one<br>line &lt;two&gt;" + end), std::string::npos);

  // OnRenderCell sees every cell's working copy with its row and visible column, and may
  // change it.
  std::vector<std::string> seen;
  grid.SetOnRenderCell([&](TObject*, TIWGridCell& cell, int row, int column) {
    seen.push_back(IntToStr(row) + ":" + IntToStr(column));
    if (row == 2 && column == 0) {
      cell.SetBGColor(clBlue);
      cell.SetText("two");
    }
  });
  rows = Rows(Render(Form()), grid);
  EXPECT_EQ(seen.size(), 16u);
  EXPECT_EQ(seen[4], "2:0");
  EXPECT_NE(rows.find("<tr ID=\"" + r + "2\" BGCOLOR=\"#C0C0C0\" OnClick=\"SubmitClickConfirm('GRDLIST','2_x', true, "
                      "'')\" STYLE=\"cursor:hand;\">\r\n  <td VAlign=\"middle\" align=\"left\" NOWRAP BGColor=\"#0000FF\" "
                      "style=\"position:static;\">\r\n  <font STYLE=\"font-size:13px;\">2" + end),
            std::string::npos) << rows;
  EXPECT_EQ(notes->RecNo(), 1);
}

TEST_F(Grid, FailuresChangeNothing) {
  AddRequests(3);
  auto requests = Query("SELECT Id_Request, Description FROM Request ORDER BY Id_Request");
  TDataSource source;
  source.SetDataSet(requests.get());
  NewForm();
  TIWDBGrid& grid = PlainGrid(source);
  TIWDBGridColumn& column = grid.Columns().Add();
  column.SetDataField("Description");
  column.SetLinkField("Id_Request");
  grid.SetRowCurrentColor(clYellow);
  requests->Locate("Id_Request", 2);

  // Edit state: rmAutomatic shows the rows built last, rmAlways fails, rmManual never builds.
  Render(Form());
  requests->Edit();
  requests->FieldByName("Description").SetAsString("Changed");
  std::string page = Render(Form());
  EXPECT_NE(page.find(">Request 2</a>"), std::string::npos);
  EXPECT_EQ(page.find("Changed"), std::string::npos);
  grid.SetRefreshMode(rmAlways);
  EXPECT_EQ(Failure([&] { Render(Form()); }),
            "EIWException: Cannot refresh grid while data is in edit or insert mode.");
  requests->Cancel();
  // The failed build left no rows; rmManual shows the rows built last, whatever the dataset.
  grid.SetRefreshMode(rmManual);
  EXPECT_NE(Render(Form()).find("CLASS=\"GRDLISTCSS\"></table>"), std::string::npos);
  grid.SetRefreshMode(rmAutomatic);
  Render(Form());
  grid.SetRefreshMode(rmManual);
  requests->Locate("Id_Request", 3);
  EXPECT_NE(Rows(Render(Form()), grid).find("<tr ID=\"" + grid.RowIDPrefix() + "2\" BGCOLOR=\"#FFFF00\">"),
            std::string::npos);
  TIWDBGrid& manual = AddControl<TIWDBGrid>(Form(), Form(), "grdManual", 0, 0, 100, 100);
  manual.SetDataSource(&source);
  manual.SetRefreshMode(rmManual);
  EXPECT_NE(Render(Form()).find("<table ID=\"tblGRDMANUAL\" Border=\"1\" CELLPADDING=\"0\" CELLSPACING=\"0\" "
                                "WIDTH=\"100%\" STYLE=\"font-weight:normal;font-style:normal;text-decoration: none;"
                                "font-size:13px; \"></table>"),
            std::string::npos);
  grid.SetRefreshMode(rmAutomatic);

  // A field the dataset does not have fails the rendering and leaves the dataset as it was.
  column.SetLinkField("Nope");
  EXPECT_EQ(Failure([&] { Render(Form()); }), "EDatabaseError: Field 'Nope' not found");
  column.SetLinkField("Id_Request");
  column.SetDataField("Nothing");
  EXPECT_EQ(Failure([&] { Render(Form()); }), "EDatabaseError: Field 'Nothing' not found");
  EXPECT_EQ(requests->RecNo(), 3);
  EXPECT_FALSE(requests->ControlsDisabled());
  column.SetDataField("Description");

  // Cell sizes: refused values keep the old one.
  for (const char* width : {"60", "80%", "0", "3*", " 45 "}) {
    column.SetWidth(width);
    EXPECT_EQ(column.Width(), Trim(width));
  }
  for (const char* width : {"0%", "-5", "", "  ", "5px"})
    EXPECT_EQ(Failure([&] { column.SetWidth(width); }),
              std::string("EIWException: \"") + width + "\" is not a valid width.");
  EXPECT_EQ(column.Width(), "45");
  column.SetHeight("10%");
  for (const char* height : {"2*", "0%", "-1"})
    EXPECT_EQ(Failure([&] { column.SetHeight(height); }),
              std::string("EIWException: \"") + height + "\" is not a valid height.");
  EXPECT_EQ(column.Height(), "10%");
  Owned<TIWAppForm> read(new TIWAppForm);
  EXPECT_EQ(Failure([&] {
              ReadComponentDefinition(*read, "Bad.qxf",
                                      "object frmBad: TIWAppForm\n  object grd: TIWDBGrid\n"
                                      "    Columns = < item Width = '0%' end >\n  end\nend\n");
            }),
            "EFormReadError: Bad.qxf(3): \"0%\" is not a valid width.");

  // A grid in a cell of its own.
  EXPECT_EQ(Failure([&] { column.SetControl(&grid); }), "EComponentError: You cannot assign the control to itself");
  EXPECT_EQ(Failure([&] { column.Title().SetControl(&grid); }),
            "EComponentError: You cannot assign the control to itself");
  EXPECT_EQ(column.Control(), nullptr);

  // Posted parameters whose column index is no number or no column.
  EXPECT_EQ(PostFailure(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=x_1"}),
            "EConvertError: 'x' is not a valid integer value");
  EXPECT_EQ(PostFailure(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=99_1"}),
            "EListError: List index out of bounds (99)");
  EXPECT_EQ(PostFailure(Form(), {"IW_Action=GRDLIST", "IW_ActionParam=C9"}),
            "EListError: List index out of bounds (9)");
}

}  // namespace
}  // namespace qx::test
