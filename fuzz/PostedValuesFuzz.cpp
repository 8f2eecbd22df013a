// Fuzz target: posted values of list and combo boxes and the data grid's action parameter.
// The input's lines are the values posted for a combo box, a list box, a multi-select list
// box and the grid's parameter (the first byte picks the control whose action runs). Each
// post applies or fails with a clear error; the boxes' indexes stay within their items and
// the form still renders.
#include <cstdint>
#include <string>
#include <vector>

#include "controls/ControlsUnit.h"
#include "controls/IWComboBox.h"
#include "controls/IWDBGrid.h"
#include "controls/IWListbox.h"
#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "data/DataSource.h"
#include "data/DataUnit.h"
#include "data/Schema.h"
#include "forms/FormsSession.h"

using namespace qx;

namespace {

struct Screen {
  test::FormsSession session;
  TADOConnection connection;
  TADODataSet requests;
  TDataSource source;
  TIWComboBox* combo = nullptr;
  TIWListbox* list = nullptr;
  TIWListbox* multi = nullptr;
  TIWDBGrid* grid = nullptr;

  template <class T>
  T& Add(const char* name, int top) {
    T& control = CreateComponent<T>(session.Form());
    control.SetName(name);
    control.SetParent(&session.Form());
    control.SetBounds(10, top, 200, 100);
    return control;
  }

  Screen() {
    InitializeDataUnit();
    InitializeControlsUnit();
    const std::string path = session.dir_ / "Requests.mdb";
    CreateDatabaseFile(path);
    connection.SetConnectionString(DatabaseConnectionString(path));
    connection.Open();
    requests.SetConnection(&connection);
    requests.SetCommandText("SELECT 14 AS Id_Request, 'Door' AS Description UNION ALL "
                            "SELECT 15, 'Tap'");
    requests.Open();
    source.SetDataSet(&requests);
    session.NewForm();
    combo = &Add<TIWComboBox>("cbx", 0);
    combo->SetItems(TStringList{"a=1", "b=2", "c=", "d\"=\"x"});
    combo->SetItemsHaveValues(true);
    list = &Add<TIWListbox>("lbx", 110);
    list->SetItems(TStringList{"one", "two", "three"});
    multi = &Add<TIWListbox>("lbm", 220);
    multi->SetItems(TStringList{"x=10", "y=20", "z=30"});
    multi->SetItemsHaveValues(true);
    multi->SetMultiSelect(true);
    grid = &Add<TIWDBGrid>("grd", 330);
    grid->SetDataSource(&source);
    TIWDBGridColumn& id = grid->Columns().Add();
    id.SetDataField("Id_Request");
    id.SetOnTitleClick([](TObject*) {});
    TIWDBGridColumn& link = grid->Columns().Add();
    link.SetDataField("Description");
    link.SetLinkField("Id_Request");
    // As the home screen does: the clicked link's value selects the record.
    link.SetOnClick([this](TObject*, const std::string& value) {
      requests.Locate("Id_Request", Variant(value));
    });
  }
};

void CheckIndex(const TIWCustomListCombo& box) {
  if (box.ItemIndex() < -1 || box.ItemIndex() >= box.Items().Count()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Screen* screen = new Screen;
  if (size == 0) return 0;
  static const char* const actions[] = {"", "CBX", "LBX", "LBM", "GRD"};
  std::vector<std::string> values;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  for (std::size_t start = 0; values.size() < 4;) {
    std::size_t end = text.find('\n', start);
    values.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  values.resize(4);
  TIWAppForm& form = screen->session.Form();
  form.PostedValues() = TStringList{"CBX=" + values[0], "LBX=" + values[1], "LBM=" + values[2],
                                    std::string("IW_Action=") + actions[data[0] % 5],
                                    "IW_ActionParam=" + values[3]};
  try {
    form.ProcessPost();
  } catch (const Exception&) {
  }
  CheckIndex(*screen->combo);
  CheckIndex(*screen->list);
  CheckIndex(*screen->multi);
  form.RenderPageText();
  return 0;
}
