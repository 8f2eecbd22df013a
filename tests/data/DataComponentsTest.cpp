// Connections, datasets and data sources declared in a definition: links by name, declared
// fields with their display settings, events bound to the root's handlers, the session
// module's connection named from another definition.
#include <gtest/gtest.h>

#include "DataFixture.h"
#include "data/DataSource.h"
#include "data/DataUnit.h"
#include "data/Statements.h"
#include "runtime/ClassInfo.h"
#include "runtime/FormReader.h"
#include "support/OneModuleRegistry.h"

namespace qx::test {
namespace {

// A root with the handlers a screen would have.
class TDataScreen : public TComponent {
  QX_CLASS(TDataScreen, TComponent)

 public:
  std::vector<int> scrolledTo;
  void adodsServiciosAfterScroll(TDataSet& ds) { scrolledTo.push_back(ds.FieldByName("Id_Request").AsInteger()); }
  void adodsServiciosCalcFields(TDataSet& ds) {
    ds.FieldByName("Label").SetAsString("#" + ds.FieldByName("Id_Request").AsString());
  }
};

const TClassInfo& TDataScreen::StaticClassInfo() {
  using T = TDataScreen;
  static const TClassInfo info =
      TClassBuilder<T>("TDataScreen")
          .Creatable()
          .Handler("adodsServiciosAfterScroll", &T::adodsServiciosAfterScroll)
          .Handler("adodsServiciosCalcFields", &T::adodsServiciosCalcFields)
          .Build();
  return info;
}

class DataComponentsTest : public DataFixture {
 protected:
  void SetUp() override {
    DataFixture::SetUp();
    InitializeDataUnit();
    RegisterClasses<TDataScreen>();
    Exec("INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) "
         "VALUES (7, 'Leak', 1, 1, 1), (9, 'Door', 2, 1, 0)");
  }
  void TearDown() override { SetModuleRegistry(nullptr); }
};

TEST_F(DataComponentsTest, ADefinitionDeclaresLinksAndBindsItsDataComponents) {
  // The session's module owns the connection; the screen names it through the module.
  Owned<TComponent> module(new TDataScreen);
  module->SetName("usSesion");
  TADOConnection& shared = module->InsertComponent(Owned<TADOConnection>(new TADOConnection));
  shared.SetName("adoConnection");
  shared.SetConnectionString(DatabaseConnectionString(path_));
  OneModuleRegistry modules;
  modules.module = module.get();
  SetModuleRegistry(&modules);

  Owned<TDataScreen> screen(new TDataScreen);
  ReadComponentDefinition(*screen, "Data.qxf", R"(object frmData: TDataScreen
  object dsServicios: TDataSource
    DataSet = adodsServicios
  end
  object adodsServicios: TADODataSet
    Connection = usSesion.adoConnection
    CommandText = 'SELECT Id_Request, Description, Urgent FROM Request ORDER BY Id_Request'
    AfterScroll = adodsServiciosAfterScroll
    OnCalcFields = adodsServiciosCalcFields
    DeclaredFields = <
      item FieldName = 'Id_Request' DataType = ftInteger end
      item FieldName = 'Description' DataType = ftString Size = 255 DisplayLabel = 'Description' end
      item FieldName = 'Urgent' DataType = ftBoolean DisplayValues = '!;' end
      item FieldName = 'Label' DataType = ftString Size = 20 FieldKind = fkCalculated end >
  end
  object qryCount: TADOQuery
    Connection = usSesion.adoConnection
    SQL = ( 'SELECT Count(*) AS N' 'FROM Request' )
  end
end
)");
  auto& ds = static_cast<TADODataSet&>(*screen->FindComponent("adodsServicios"));
  auto& source = static_cast<TDataSource&>(*screen->FindComponent("dsServicios"));
  EXPECT_EQ(source.DataSet(), &ds);
  EXPECT_EQ(ds.Connection(), &shared);
  ASSERT_EQ(ds.FieldCount(), 4);

  ds.Open();
  EXPECT_EQ(ds.FieldByName("Urgent").DisplayText(), "!");
  EXPECT_EQ(ds.FieldByName("Label").AsString(), "#7");
  ds.Next();
  EXPECT_EQ(ds.FieldByName("Urgent").DisplayText(), "");
  EXPECT_EQ(ds.FieldByName("label").AsString(), "#9");
  EXPECT_EQ(screen->scrolledTo, (std::vector<int>{7, 9}));

  auto& count = static_cast<TADOQuery&>(*screen->FindComponent("qryCount"));
  count.Open();
  EXPECT_EQ(count.FieldByName("N").AsInteger(), 2);

  // Freeing the module's connection leaves the screen's datasets closed and unconnected.
  module.reset();
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ds.Connection(), nullptr);
}

TEST_F(DataComponentsTest, BadDeclarationsFailTheReadNamingTheLine) {
  auto read = [](std::string_view text) {
    Owned<TDataScreen> screen(new TDataScreen);
    try {
      ReadComponentDefinition(*screen, "Bad.qxf", text);
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string("read");
  };
  EXPECT_EQ(read("object f: TDataScreen\n  object ds: TADODataSet\n    DeclaredFields = <\n"
                 "      item FieldName = 'A' DataType = ftText end >\n  end\nend\n"),
            "Bad.qxf(4): unknown value 'ftText' of TFieldType");
  EXPECT_EQ(read("object f: TDataScreen\n  object src: TDataSource\n    DataSet = cn\n  end\n"
                 "  object cn: TADOConnection\n  end\nend\n"),
            "Bad.qxf(3): Component 'cn' is a TADOConnection, not a TDataSet.");
  EXPECT_EQ(read("object f: TDataScreen\n  object ds: TADODataSet\n    DeclaredFields = <\n"
                 "      item FieldName = 'A' end\n      item FieldName = 'a' end >\n  end\nend\n"),
            "Duplicate field name 'a'");
}

}  // namespace
}  // namespace qx::test
