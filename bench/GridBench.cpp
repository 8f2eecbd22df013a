// The grid benchmark: the home screen's request list (the request statement over a real SQLite
// file with 1,000 and 10,000 listed requests) (a) opened and walked, reading each grid column's
// display text, and (b) rendered as a page of the home screen's request grid over the open list.
// Items processed are rows; the report turns them into microseconds per row and ratios.
#include <benchmark/benchmark.h>

#include "GridTestForm.h"
#include "controls/ControlsUnit.h"
#include "controls/IWDBGrid.h"
#include "data/ADOCommand.h"
#include "data/ADODataSet.h"
#include "data/DataUnit.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "forms/FormsSession.h"
#include "runtime/DateTime.h"
#include "runtime/FormReader.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"

void RegisterResources_grid_bench();

namespace qx::bench {
namespace {

constexpr int kUser = 1;

// A database whose user 1 has `count` pending requests, each with its current note.
class TRequestDatabase {
 public:
  explicit TRequestDatabase(int count) : path_(dir_ / "Requests.mdb") {
    CreateDatabaseFile(path_);
    connection_.SetConnectionString(DatabaseConnectionString(path_));
    connection_.Open();
    Exec("INSERT INTO Users (Id_User, Id_Language, UserName) VALUES (1, 'EN', 'Ana')");
    Exec("INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'Reported')");
    TADOCommand request, note;
    Prepare(request, "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) "
                     "VALUES (:n, :d, :n, 1, :u)");
    Prepare(note, "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, "
                  "Id_UserStatus) VALUES (:n, :n, 1, :t, 1)");
    connection_.BeginTrans();
    for (int n = 1; n <= count; ++n) {
      request.Parameters()[0].SetValue(Variant(n));
      request.Parameters()[1].SetValue(Variant("Water leaking under the sink in room " + IntToStr(n)));
      request.Parameters()[2].SetValue(Variant(n % 7 == 0));
      request.Execute();
      note.Parameters()[0].SetValue(Variant(n));
      note.Parameters()[1].SetValue(Variant(46000.0 + n / 100.0));
      note.Execute();
    }
    connection_.CommitTrans();
  }
  const std::string& Path() const noexcept { return path_; }

 private:
  void Exec(std::string_view sql) {
    TADOCommand command;
    Prepare(command, sql);
    command.Execute();
  }
  void Prepare(TADOCommand& command, std::string_view sql) {
    command.SetConnection(&connection_);
    command.SetCommandText(std::string(sql));
  }

  test::TempDir dir_;
  std::string path_;
  TADOConnection connection_;
};

// (a) Opening the request list and reading each column's display text of every row; with a
// second argument 0 the list is opened once and only walked (what the grid's walk costs).
void WalkRequests(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TRequestDatabase db(count);
  TADOConnection connection;
  connection.SetConnectionString(DatabaseConnectionString(db.Path()));
  TADODataSet requests;
  requests.SetConnection(&connection);
  // The request list's declared fields, as the home screen declares them.
  for (const char* name : {"Admin", "Status", "User"}) requests.DeclareField(name, ftString, 50);
  requests.DeclareField("Comments", ftMemo);
  requests.DeclareField("Description", ftString, 255);
  for (const char* name : {"Id_Request", "Id_Status", "Id_User"}) requests.DeclareField(name, ftInteger);
  requests.DeclareField("StatusDate", ftDateTime);
  requests.DeclareField("Urgent", ftBoolean).SetDisplayValues("!;");
  requests.SetCommandText(SqlRequestList("EN", kUser, 0, Now()));
  std::size_t chars = 0;
  const bool reopen = state.range(1) != 0;
  requests.Open();
  for (auto _ : state) {
    if (reopen) {
      requests.Close();
      requests.Open();
    }
    const TField* columns[] = {&requests.FieldByName("Id_Request"), &requests.FieldByName("Urgent"),
                               &requests.FieldByName("Description"), &requests.FieldByName("Status")};
    for (requests.First(); !requests.Eof(); requests.Next())
      for (const TField* field : columns) chars += field->DisplayText().size();
  }
  if (requests.RecordCount() != count) state.SkipWithError("the list does not hold every request");
  benchmark::DoNotOptimize(chars);
  state.SetItemsProcessed(state.iterations() * count);
}

// (b) The page of the home screen's request grid over the open list, as a reply renders it.
void RenderRequestGrid(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TRequestDatabase db(count);
  test::FormsSession session;
  InitializeDataUnit();
  InitializeControlsUnit();
  RegisterResources_grid_bench();
  session.StartSession();
  auto& form = CreateComponent<TfrmGridTest>(session.App());
  form.Show();
  form.NotesGrid().SetVisible(false);
  form.Connection().SetConnectionString(DatabaseConnectionString(db.Path()));
  form.BuildRequestList(kUser);
  form.Requests().MoveBy(count / 2);  // the current row in the middle of the list
  std::size_t pageBytes = 0;
  for (auto _ : state) {
    session.App().PreparePage();
    TMemoryStream out;
    session.App().Render(out);
    pageBytes = out.TakePage().Size();  // as the reply takes it, in its pieces
  }
  if (form.RequestGrid().RowCount() != count) state.SkipWithError("the grid lacks rows");
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["page_bytes"] = static_cast<double>(pageBytes);
}

BENCHMARK(WalkRequests)->Args({1000, 1})->Args({10000, 1})->Args({1000, 0})->Args({10000, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(RenderRequestGrid)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
