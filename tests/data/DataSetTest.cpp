// Datasets: navigation and its flags, the after-scroll notification, typed and null reads,
// Locate, parameters, declared and calculated fields, bookmarks, links and edit state.
#include <gtest/gtest.h>

#include "DataFixture.h"
#include "data/DataErrors.h"
#include "data/DataSource.h"
#include "runtime/DateTime.h"

namespace qx::test {
namespace {

class DataSetTest : public DataFixture {
 protected:
  void SetUp() override {
    DataFixture::SetUp();
    for (int id : {10, 20, 30})
      Exec("INSERT INTO Request (Id_Request, Description, Id_User, Urgent) VALUES (:a, :b, :c, :d)",
           {id, "Request " + std::to_string(id), id / 10, id == 20});
  }
  std::unique_ptr<TADODataSet> Requests(int* scrolls = nullptr) {
    auto ds = std::make_unique<TADODataSet>();
    ds->SetConnection(&connection_);
    ds->SetCommandText("SELECT * FROM Request ORDER BY Id_Request");
    if (scrolls) ds->SetAfterScroll([scrolls](TDataSet&) { ++*scrolls; });
    ds->Open();
    return ds;
  }
  static int Id(TDataSet& ds) { return ds.FieldByName("Id_Request").AsInteger(); }
};

TEST_F(DataSetTest, NavigationMovesAndSetsBofAndEof) {
  auto ds = Requests();
  EXPECT_TRUE(ds->Active());
  EXPECT_FALSE(ds->IsEmpty());
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 1);
  ds->Next();
  EXPECT_EQ(Id(*ds), 20);
  EXPECT_FALSE(ds->Bof());
  ds->Next();
  EXPECT_EQ(Id(*ds), 30);
  EXPECT_FALSE(ds->Eof());
  ds->Next();  // past the last row: stays there, Eof
  EXPECT_EQ(Id(*ds), 30);
  EXPECT_TRUE(ds->Eof());
  ds->Prior();
  EXPECT_EQ(Id(*ds), 20);
  EXPECT_FALSE(ds->Eof());
  ds->Last();
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 3);
  EXPECT_EQ(ds->MoveBy(-5), -2);
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(Id(*ds), 10);
  EXPECT_EQ(ds->MoveBy(2), 2);
  EXPECT_EQ(ds->RecNo(), 3);
  ds->First();
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(Id(*ds), 10);
}

TEST_F(DataSetTest, EmptyResultHasBofAndEofAndNoRecordNumber) {
  auto ds = Query("SELECT * FROM Request WHERE Id_Request < 0");
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Bof());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), -1);
  EXPECT_EQ(ds->RecordCount(), 0);
  EXPECT_TRUE(ds->Bookmark().IsNull());
  EXPECT_EQ(ds->FieldByName("Id_Request").AsInteger(), 0);
  EXPECT_EQ(ds->FieldByName("Description").AsString(), "");
}

TEST_F(DataSetTest, AfterScrollIsRaisedExactlyWhereItShould) {
  int scrolls = 0;
  int seenRow = 0;
  auto ds = Requests(&scrolls);
  EXPECT_EQ(scrolls, 1);  // Open with rows
  ds->SetAfterScroll([&](TDataSet& d) {
    ++scrolls;
    seenRow = d.RecNo();  // the hook already sees the new row
  });
  ds->Next();
  EXPECT_EQ(scrolls, 2);
  EXPECT_EQ(seenRow, 2);
  ds->Prior();
  ds->Last();
  EXPECT_EQ(seenRow, 3);
  ds->First();
  EXPECT_EQ(scrolls, 5);
  EXPECT_EQ(ds->MoveBy(0), 0);  // no move, no notification
  EXPECT_EQ(scrolls, 5);
  EXPECT_FALSE(ds->Locate("Id_Request", 99));  // not found: none, row kept
  EXPECT_EQ(scrolls, 5);
  EXPECT_EQ(ds->RecNo(), 1);
  EXPECT_TRUE(ds->Locate("Id_Request", 30));
  EXPECT_EQ(scrolls, 6);
  EXPECT_EQ(seenRow, 3);
  TBookmark mark = ds->Bookmark();
  ds->First();
  ds->SetBookmark(mark);
  EXPECT_EQ(scrolls, 8);
  EXPECT_EQ(seenRow, 3);
  // Suspended (nested), the moves raise nothing, until the last EnableScrollEvents.
  ds->DisableScrollEvents();
  ds->DisableScrollEvents();
  ds->First();
  ds->Next();
  ds->EnableScrollEvents();
  ds->SetBookmark(mark);
  EXPECT_EQ(scrolls, 8);
  ds->EnableScrollEvents();
  ds->EnableScrollEvents();  // unmatched: no effect
  ds->First();
  EXPECT_EQ(scrolls, 9);
  ds->Edit();
  ds->FieldByName("Description").SetAsString("changed");
  ds->Post();
  ds->Close();
  EXPECT_EQ(scrolls, 9);  // Close, Edit, field writes and Post raise none

  // An empty result: none at Open, but the moves still raise it.
  TADODataSet empty;
  int emptyScrolls = 0;
  empty.SetConnection(&connection_);
  empty.SetCommandText("SELECT * FROM Request WHERE Id_Request < 0");
  empty.SetAfterScroll([&](TDataSet&) { ++emptyScrolls; });
  empty.Open();
  EXPECT_EQ(emptyScrolls, 0);
  empty.First();
  empty.Next();
  EXPECT_EQ(emptyScrolls, 2);
}

TEST_F(DataSetTest, MissingValuesReadAsZeroEmptyAndFalse) {
  Exec("INSERT INTO Request_Status (Id_Req_Status) VALUES (1)");
  auto ds = Query("SELECT * FROM Request_Status");
  for (const char* name : {"Id_Request", "Comments", "Status_dt", "UserNameQX", "StatusType"}) {
    SCOPED_TRACE(name);
    TField& f = ds->FieldByName(name);
    EXPECT_TRUE(f.IsNull());
    EXPECT_EQ(f.AsInteger(), 0);
    EXPECT_EQ(f.AsString(), "");
    EXPECT_FALSE(f.AsBoolean());
    EXPECT_EQ(f.AsDateTime(), 0.0);
    EXPECT_EQ(f.DisplayText(), "");
  }
  EXPECT_FALSE(ds->FieldByName("Id_Req_Status").IsNull());
}

TEST_F(DataSetTest, FieldNamesIgnoreCaseAndUnknownNamesFailClearly) {
  auto ds = Requests();
  EXPECT_EQ(&ds->FieldByName("DESCRIPTION"), &ds->FieldByName("description"));
  EXPECT_EQ(ds->FindField("Nope"), nullptr);
  try {
    ds->FieldByName("Nope");
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'Nope' not found");
    EXPECT_STREQ(e.ClassName(), "EDatabaseError");
  }
}

TEST_F(DataSetTest, TypedReadsFollowTheStoredValues) {
  Exec(
      "INSERT INTO Request_Status (Id_Req_Status, Id_Status, Status_dt, Comments, StatusType) "
      "VALUES (1, 7, :d, :c, -1)",
      {EncodeDate(2024, 3, 15) + EncodeTime(9, 30, 0, 0), "12"});
  auto ds = Query("SELECT * FROM Request_Status");
  EXPECT_EQ(ds->FieldByName("Id_Status").AsInteger(), 7);
  EXPECT_EQ(ds->FieldByName("Id_Status").AsString(), "7");
  EXPECT_TRUE(ds->FieldByName("StatusType").AsBoolean());  // any non-zero is true
  EXPECT_EQ(ds->FieldByName("Comments").AsInteger(), 12);  // a text that spells a number
  EXPECT_EQ(ds->FieldByName("Status_dt").DisplayText(), "15/03/2024 09:30:00");
  ds->FieldByName("Status_dt").SetDisplayFormat("yyyy-mm-dd hh:nn");
  EXPECT_EQ(ds->FieldByName("Status_dt").DisplayText(), "2024-03-15 09:30");
  EXPECT_EQ(ds->FieldByName("Status_dt").Text(), "15/03/2024 09:30:00");
  // The copy-free display text says the same, whatever its buffer held before.
  std::string buffer = "left over";
  for (const char* name : {"Id_Status", "Status_dt", "Comments", "StatusType", "Id_Request"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ds->FieldByName(name).DisplayText(buffer), ds->FieldByName(name).DisplayText());
  }
  Exec("UPDATE Request_Status SET Comments = 'not a number'");
  auto again = Query("SELECT * FROM Request_Status");
  EXPECT_THROW(again->FieldByName("Comments").AsInteger(), EConvertError);
  EXPECT_THROW(again->FieldByName("Comments").AsBoolean(), EConvertError);
}

TEST_F(DataSetTest, BooleanDisplayValuesAndBlobTexts) {
  auto ds = Requests();
  TField& urgent = ds->FieldByName("Urgent");
  EXPECT_EQ(urgent.DisplayText(), "False");
  urgent.SetDisplayValues("!;");
  EXPECT_EQ(urgent.DisplayText(), "");
  ds->Next();
  EXPECT_EQ(urgent.DisplayText(), "!");
  std::string buffer;
  EXPECT_EQ(urgent.DisplayText(buffer), "!");
  EXPECT_EQ(urgent.AsString(), "True");

  Exec("INSERT INTO Users (Id_User, Id_Language, Photo) VALUES (1, 'EN', :p)",
       {Variant::Blob(std::string("\xFF\xD8\x00\x01", 4))});
  auto users = Query("SELECT Photo FROM Users");
  TField& photo = users->FieldByName("Photo");
  EXPECT_TRUE(photo.IsBlob());
  EXPECT_EQ(photo.AsBytes(), std::string("\xFF\xD8\x00\x01", 4));
  EXPECT_EQ(photo.DisplayText(), "(BLOB)");
}

TEST_F(DataSetTest, LocateComparesWholeValues) {
  auto ds = Requests();
  ds->Last();
  EXPECT_TRUE(ds->Locate("id_request", "20"));  // a text compared with an integer column
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_FALSE(ds->Eof());
  EXPECT_FALSE(ds->Locate("Description", "Request"));     // no partial match
  EXPECT_FALSE(ds->Locate("Description", "request 30"));  // letter case counts
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_TRUE(ds->Locate("Description", "Request 30"));
  EXPECT_EQ(ds->RecNo(), 3);
  EXPECT_FALSE(ds->Locate("Id_Request", "abc"));
  EXPECT_TRUE(ds->Locate("Urgent", true));
  EXPECT_EQ(Id(*ds), 20);
  EXPECT_THROW(ds->Locate("Nope", 1), EDatabaseError);
}

TEST_F(DataSetTest, ParametersByNameIgnoreCaseAndMustHaveValues) {
  TADOQuery q;
  q.SetConnection(&connection_);
  q.SQL().Add("SELECT * FROM Request");
  q.SQL().Add("WHERE Id_Request >= :Low AND Id_Request <= :HIGH AND Description <> ':Low'");
  ASSERT_EQ(q.Parameters().Count(), 2);
  EXPECT_EQ(q.Parameters()[0].Name(), "Low");
  q.Parameters().ParamByName("low").SetValue(15);
  try {
    q.Open();
    FAIL() << "opened without a value for HIGH";
  } catch (const EADOError& e) {
    EXPECT_STREQ(e.what(), "No value given for parameter 'HIGH'");
  }
  EXPECT_FALSE(q.Active());
  q.Parameters().ParamByName("High").SetValue(30);
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
  EXPECT_THROW(q.Parameters().ParamByName("Other"), EDatabaseError);

  // A name used twice is one parameter, given to both places.
  auto twice = std::make_unique<TADODataSet>();
  twice->SetConnection(&connection_);
  twice->SetCommandText("SELECT * FROM Request WHERE Id_Request = :id OR Id_User * 10 = :ID");
  ASSERT_EQ(twice->Parameters().Count(), 1);
  twice->Parameters()[0].SetValue(20);
  twice->Open();
  EXPECT_EQ(twice->RecordCount(), 1);
  // Changing the text keeps the values of names that remain.
  twice->Close();
  twice->SetCommandText("SELECT * FROM Request WHERE Id_Request <> :Id");
  twice->Open();
  EXPECT_EQ(twice->RecordCount(), 2);
}

TEST_F(DataSetTest, DeclaredFieldsMustBeReturnedAndHideTheRest) {
  TADODataSet ds;
  ds.SetConnection(&connection_);
  ds.SetCommandText("SELECT Id_Request, Description FROM Request");
  ds.DeclareField("Id_Request", ftInteger);
  ds.DeclareField("Urgent", ftBoolean);
  try {
    ds.Open();
    FAIL() << "opened without a declared column";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("'Urgent'"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(ds.Active());
  ds.SetCommandText("SELECT * FROM Request ORDER BY Id_Request");
  ds.Open();
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.FindField("Description"), nullptr);
  ds.Next();
  EXPECT_TRUE(ds.FieldByName("Urgent").AsBoolean());
  EXPECT_THROW(ds.DeclareField("Id_User", ftInteger), EDatabaseError);  // only while closed
  ds.Close();
  EXPECT_EQ(ds.FieldCount(), 2);                                       // declared fields stay
  EXPECT_THROW(ds.FieldByName("Urgent").AsBoolean(), EDatabaseError);  // closed
}

TEST_F(DataSetTest, CalculatedFieldsAreFilledForEveryRow) {
  TADODataSet ds;
  ds.SetConnection(&connection_);
  ds.SetCommandText("SELECT Id_Request, Id_User FROM Request ORDER BY Id_Request");
  ds.DeclareField("Id_Request", ftInteger);
  ds.DeclareField("Id_User", ftInteger);
  ds.DeclareCalculatedField("Label", ftString, 60);
  int calls = 0;
  ds.SetOnCalcFields([&](TDataSet& d) {
    ++calls;
    EXPECT_EQ(d.State(), dsCalcFields);
    EXPECT_THROW(d.FieldByName("Id_User").SetAsInteger(1), EDatabaseError);
    int user = d.FieldByName("Id_User").AsInteger();
    d.FieldByName("Label").SetAsString(user < 2 ? "first" : "user " + std::to_string(user));
  });
  ds.Open();
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.FieldByName("Label").AsString(), "first");
  ds.Last();
  EXPECT_EQ(ds.FieldByName("Label").AsString(), "user 3");
  EXPECT_EQ(ds.FieldByName("label").FieldKind(), fkCalculated);
  // Calculated fields are not written outside the hook.
  ds.Edit();
  EXPECT_THROW(ds.FieldByName("Label").SetAsString("x"), EDatabaseError);
  ds.FieldByName("Id_User").SetAsInteger(1);
  ds.Post();  // recalculated from the edited row
  EXPECT_EQ(ds.FieldByName("Label").AsString(), "first");
}

TEST_F(DataSetTest, BookmarksReturnToARowAndDieWithTheOpen) {
  auto ds = Requests();
  ds->Next();
  TBookmark mark = ds->Bookmark();
  EXPECT_TRUE(ds->BookmarkValid(mark));
  ds->Last();
  EXPECT_EQ(ds->Bookmark() == mark, false);
  ds->SetBookmark(mark);
  EXPECT_EQ(Id(*ds), 20);
  EXPECT_FALSE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  ds->Close();
  ds->Open();
  EXPECT_FALSE(ds->BookmarkValid(mark));
  EXPECT_THROW(ds->SetBookmark(mark), EDatabaseError);
  EXPECT_EQ(Id(*ds), 10);
  auto other = Requests();
  other->Next();
  EXPECT_FALSE(ds->BookmarkValid(other->Bookmark()));
}

// A link that counts what it is told.
struct CountingLink : TDataLink {
  int active = 0, changed = 0, scrolled = 0, editing = 0, records = 0;
  void ActiveChanged() override { ++active; }
  void DataSetChanged() override { ++changed; }
  void DataSetScrolled(int) override { ++scrolled; }
  void EditingChanged() override { ++editing; }
  void RecordChanged(TField*) override { ++records; }
};

TEST_F(DataSetTest, LinksAreToldUnlessControlsAreDisabled) {
  int scrolls = 0;
  TADODataSet ds;
  ds.SetConnection(&connection_);
  ds.SetCommandText("SELECT * FROM Request ORDER BY Id_Request");
  ds.SetAfterScroll([&](TDataSet&) { ++scrolls; });
  TDataSource source;
  source.SetDataSet(&ds);
  CountingLink link;
  link.SetDataSource(&source);
  link.active = 0;
  ds.Open();
  EXPECT_EQ(link.active, 1);
  EXPECT_TRUE(link.Active());
  ds.Next();
  EXPECT_EQ(link.scrolled, 1);
  ds.First();
  EXPECT_EQ(link.changed, 1);

  ds.DisableControls();
  ds.DisableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  ds.Next();
  ds.Last();
  EXPECT_EQ(scrolls, 5);  // the dataset's own event still runs
  EXPECT_EQ(link.scrolled, 1);
  EXPECT_EQ(link.changed, 1);
  ds.EnableControls();
  EXPECT_EQ(link.changed, 1);  // still disabled once
  ds.EnableControls();
  EXPECT_EQ(link.changed, 2);  // one summary notification
  EXPECT_FALSE(ds.ControlsDisabled());

  source.Edit();
  EXPECT_TRUE(link.Editing());
  EXPECT_EQ(link.editing, 1);
  ds.FieldByName("Description").SetAsString("edited");
  EXPECT_EQ(link.records, 1);
  ds.Cancel();
  EXPECT_FALSE(link.Editing());
  EXPECT_EQ(ds.FieldByName("Description").AsString(), "Request 30");

  ds.Close();
  EXPECT_EQ(link.active, 2);
  EXPECT_EQ(source.State(), dsInactive);
}

TEST_F(DataSetTest, EditChangesOnlyTheFetchedRows) {
  auto ds = Requests();
  EXPECT_THROW(ds->FieldByName("Description").SetAsString("x"), EDatabaseError);
  ds->Edit();
  EXPECT_EQ(ds->State(), dsEdit);
  ds->FieldByName("Description").SetAsString("changed");
  ds->FieldByName("Id_User").SetAsString("42");  // converted to the field's type
  EXPECT_THROW(ds->FieldByName("Id_User").SetAsString("forty"), EConvertError);
  ds->Next();  // moving posts the edit
  EXPECT_EQ(ds->State(), dsBrowse);
  ds->First();
  EXPECT_EQ(ds->FieldByName("Description").AsString(), "changed");
  EXPECT_EQ(ds->FieldByName("Id_User").Value(), Variant(42));
  EXPECT_EQ(Query("SELECT Description FROM Request WHERE Id_Request = 10")
                ->FieldByName("Description")
                .AsString(),
            "Request 10");
  auto empty = Query("SELECT * FROM Request WHERE 0");
  EXPECT_THROW(empty->Edit(), EDatabaseError);
}

TEST_F(DataSetTest, DetailFollowsItsMasterAndIsListed) {
  Exec("INSERT INTO Request_Status (Id_Req_Status, Id_Request) VALUES (1, 10), (2, 10), (3, 20)");
  auto master = Requests();
  TDataSource masterSource;
  masterSource.SetDataSet(master.get());
  TADODataSet detail;
  detail.SetConnection(&connection_);
  detail.SetCommandText("SELECT * FROM Request_Status WHERE Id_Request = :Id_Request");
  detail.SetDataSource(&masterSource);
  detail.Open();
  EXPECT_EQ(detail.RecordCount(), 2);
  EXPECT_EQ(master->GetDetailDataSets(), std::vector<TDataSet*>{&detail});
  master->Next();
  EXPECT_EQ(detail.RecordCount(), 1);
  master->DisableControls();
  master->Next();
  EXPECT_EQ(detail.RecordCount(), 1);  // not followed while controls are disabled
  master->Prior();
  master->EnableControls();
  EXPECT_EQ(detail.RecordCount(), 1);  // the master is back on the same record
  master->Last();
  EXPECT_EQ(detail.RecordCount(), 0);
  detail.SetDataSource(nullptr);
  EXPECT_TRUE(master->GetDetailDataSets().empty());
}

TEST_F(DataSetTest, FailedOpenLeavesTheDatasetClosedAndWritesNothing) {
  TADODataSet ds;
  ds.SetConnection(&connection_);
  ds.SetCommandText("SELECT * FROM NoSuchTable");
  EXPECT_THROW(ds.Open(), EADOError);
  EXPECT_FALSE(ds.Active());
  EXPECT_THROW(ds.RecordCount(), EDatabaseError);
  ds.SetCommandText("DELETE FROM Request");
  EXPECT_THROW(ds.Open(), EADOError);
  EXPECT_EQ(Query("SELECT * FROM Request")->RecordCount(), 3);
  ds.SetCommandText("");
  EXPECT_THROW(ds.Open(), EADOError);
  TADODataSet unconnected;
  unconnected.SetCommandText("SELECT 1");
  EXPECT_THROW(unconnected.Open(), EADOError);
}

TEST_F(DataSetTest, DuplicateColumnNamesStayReachable) {
  auto ds = Query("SELECT r.Id_User, u.Id_User FROM Request r LEFT JOIN Users u ON 0");
  EXPECT_EQ(ds->FieldCount(), 2);
  EXPECT_EQ(ds->Fields(1).FieldName(), "Id_User_1");
  EXPECT_TRUE(ds->FieldByName("Id_User_1").IsNull());
}

}  // namespace
}  // namespace qx::test
