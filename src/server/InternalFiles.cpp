// The internal-file registry and the table of what the service registers at load.
#include "server/InternalFiles.h"

#include <mutex>
#include <shared_mutex>

#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Resources.h"
#include "runtime/Strings.h"
#include "server/IWExceptions.h"

// Generated from the server layer's resource list (src/server/CMakeLists.txt).
void RegisterResources_server();

namespace qx {

const char* const kCannotFindInternalFile = "Cannot find internal file: %s";
const char* const kResourceNotFound = "Resource %s not found.";
const char* const kUnableToCreateInternalFilesDir = "Unable to create InternalFiles directory.";

namespace {

// Filled while the library loads and read by request threads afterwards.
struct Registry {
  std::shared_mutex lock;
  std::vector<TInternalFile> entries;

  const TInternalFile* Find(std::string_view name) const {
    for (const TInternalFile& entry : entries)
      if (SameText(entry.Name, name)) return &entry;
    return nullptr;
  }
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// The pictures of the data navigator, each plain and disabled.
constexpr const char* kNavigatorButtons[] = {"Cancel", "delete", "edit",  "first",  "insert",
                                             "last",   "next",   "post",  "prior",  "refresh"};

}  // namespace

void RegisterInternalFile(std::string_view name, std::string path) {
  Registry& r = TheRegistry();
  std::unique_lock guard(r.lock);
  if (r.Find(name)) return;
  std::optional<std::string_view> bytes = FindResource(name);
  if (!bytes) throw EIWException(Format(kCannotFindInternalFile, {name}));
  r.entries.push_back(TInternalFile{UpperCase(name), std::move(path), *bytes});
}

void RegisterInternalFiles() {
  RegisterResources_server();
  RegisterInternalFile("IW_JS_TABCONTROL", "/js/tabcontrol.js");
  RegisterInternalFile("IW_JS_IWSPLITTER", "/js/IWSplitter.js");
  RegisterInternalFile("IW_FAVICON", "FAVICON.ICO");
  RegisterInternalFile("IW_GFX_ERROR", "Error.html");
  RegisterInternalFile("IW_GFX_SESSIONTIMEOUT", "SessionTimeout.html");
  RegisterInternalFile("IW_JS_IWCOMMON", "/js/IWCommon.js");
  RegisterInternalFile("IW_JS_IWEXPLORER", "/js/IWExplorer.js");
  RegisterInternalFile("IW_JS_IWOPERA", "/js/IWOpera.js");
  RegisterInternalFile("IW_JS_IWGECKO", "/js/IWGecko.js");
  RegisterInternalFile("IW_JS_IWCL", "/js/IWCL.js");
  RegisterInternalFile("IW_JS_IWCSDATA", "/js/IWCSData.js");
  RegisterInternalFile("IW_JS_IWPRESCRIPT", "/js/IWPreScript.js");
  RegisterInternalFile("IW_JS_IWPARTIALUPDATE", "/js/IWPartialUpdate.js");
  RegisterInternalFile("IW_JS_IWAJAX", "/js/IWAjax.js");
  RegisterInternalFile("IW_GFX_Tp", "/gfx/Tp.gif");
  RegisterInternalFile("IW_JS_IWMENU", "/js/IWMenu.js");
  RegisterInternalFile("IW_GFX_menu_arrow_right", "/gfx/menu_arrow_right.gif");
  RegisterInternalFile("IW_GFX_ComboBoxDownArrow", "/gfx/ComboBoxDownArrow.gif");
  RegisterInternalFile("IW_GFX_CoolCheckBox_False", "/gfx/CoolCheckBox_False.gif");
  RegisterInternalFile("IW_GFX_CoolCheckBox_True", "/gfx/CoolCheckBox_True.gif");
  for (const char* suffix : {"", "Disabled"}) {
    for (std::string_view button : kNavigatorButtons) {
      std::string name = std::string(button) + suffix;
      std::string fileName = name;
      fileName[0] = AnsiUpperChar(fileName[0]);
      RegisterInternalFile("IW_GFX_DBNav_" + name, "/gfx/DBNav_" + fileName + ".gif");
    }
  }
}

std::vector<TInternalFile> InternalFiles() {
  Registry& r = TheRegistry();
  std::shared_lock guard(r.lock);
  return r.entries;
}

std::string_view InternalResourceBytes(std::string_view name) {
  Registry& r = TheRegistry();
  std::shared_lock guard(r.lock);
  const TInternalFile* entry = r.Find(name);
  if (!entry) throw EIWException(Format(kResourceNotFound, {name}));
  return entry->Bytes;
}

std::unique_ptr<TStream> InternalResource(std::string_view name) {
  return std::make_unique<TReadOnlyMemoryStream>(InternalResourceBytes(name));
}

void WriteInternalFiles(const std::string& folder) {
  if (!ForceDirectories(folder)) throw EIWException(kUnableToCreateInternalFilesDir);
  for (const TInternalFile& entry : InternalFiles()) {
    if (entry.Path.empty()) continue;
    std::string_view relative = entry.Path;
    if (relative.front() == PathDelim) relative.remove_prefix(1);
    std::string target = IncludeTrailingPathDelimiter(folder) + std::string(relative);
    if (FileExists(target)) continue;
    ForceDirectories(ExtractFilePath(target));
    WriteFileBytes(target, entry.Bytes);
  }
}

}  // namespace qx
