// The database schema: the statements that create the six tables (with their keys and the
// declared types the datasets report), and creating a new database file with them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TADOConnection;

// The creation statements, in order.
std::span<const std::string_view> SchemaStatements();

// A table of the schema with its columns, as its creation statement declares them.
struct SchemaTable {
  std::string name;
  std::vector<std::string> columns;
};
// Every table of the schema, in the order of the creation statements.
std::vector<SchemaTable> SchemaTables();

// Creates the tables on an open connection, in one transaction.
void CreateSchema(TADOConnection& connection);

// Creates a new database file at `path` (where nothing exists yet) holding the empty tables.
// EADOError when something exists at the path or the file cannot be written; a failure after
// the file was made removes it again.
void CreateDatabaseFile(const std::string& path);

// The connection string the service uses for a database file.
std::string DatabaseConnectionString(std::string_view path);

}  // namespace qx
