// A fresh database with the service's schema in a temporary folder, an open connection to it,
// and small helpers to write rows and open statements; as a test fixture of its own and as a
// part of other layers' fixtures.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/ADODataSet.h"
#include "data/Schema.h"
#include "support/TempDir.h"

namespace qx::test {

class TestDatabase {
 protected:
  TestDatabase() : path_(dir_ / "Requests.mdb") {
    CreateDatabaseFile(path_);
    connection_.SetConnectionString(DatabaseConnectionString(path_));
    connection_.Open();
  }

  // Runs a statement with values by position on the fixture's (or another) connection.
  static std::int64_t Exec(TADOConnection& connection, std::string_view sql,
                           std::initializer_list<Variant> values = {}) {
    TADOCommand command;
    command.SetConnection(&connection);
    command.SetCommandText(std::string(sql));
    int i = 0;
    for (const Variant& v : values) command.Parameters()[i++].SetValue(v);
    return command.Execute();
  }
  std::int64_t Exec(std::string_view sql, std::initializer_list<Variant> values = {}) {
    return Exec(connection_, sql, values);
  }

  // A dataset on the fixture's connection, opened on `sql`.
  std::unique_ptr<TADODataSet> Query(std::string_view sql) {
    auto ds = std::make_unique<TADODataSet>();
    ds->SetConnection(&connection_);
    ds->SetCommandText(std::string(sql));
    ds->Open();
    return ds;
  }

  // A second connection to the same file.
  std::unique_ptr<TADOConnection> OtherConnection(int busyTimeoutMs) {
    auto other = std::make_unique<TADOConnection>();
    other->SetBusyTimeout(busyTimeoutMs);
    other->SetConnectionString(DatabaseConnectionString(path_));
    other->Open();
    return other;
  }

  TempDir dir_;
  std::string path_;
  TADOConnection connection_;
};

class DataFixture : public ::testing::Test, public TestDatabase {};

}  // namespace qx::test
