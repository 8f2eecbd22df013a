// The table of database engines by connection-string provider. The desktop-database provider
// the service names is served by SQLite files.
#include "data/Engine.h"

#include "data/SqliteEngine.h"
#include "runtime/Strings.h"

namespace qx {

const DbEngine* FindDbEngine(std::string_view provider) {
  static const SqliteEngine sqlite;
  struct Entry {
    std::string_view provider;
    const DbEngine* engine;
  };
  static const Entry kEngines[] = {
      {"Microsoft.Jet.OLEDB.4.0", &sqlite},
      {"SQLite", &sqlite},
  };
  for (const Entry& e : kEngines)
    if (SameText(e.provider, provider)) return e.engine;
  return nullptr;
}

}  // namespace qx
