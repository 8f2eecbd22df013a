// Loading a copy of the service library for integration tests.
#include "support/LoadedLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

#include "data/Schema.h"
#include "runtime/Files.h"

namespace qx::test {
namespace {

template <typename Fn>
Fn Export(void* handle, const char* name) {
  void* symbol = ::dlsym(handle, name);
  if (!symbol) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace

std::string BuiltLibraryFile() { return QX_REQUESTQX9_FILE; }

void CreateInstallDatabase(const std::string& libraryFolder) {
  const std::string folder = IncludeTrailingPathDelimiter(libraryFolder) + "database";
  const std::string file = folder + "/Requests.mdb";
  if (FileExists(file)) return;
  if (!ForceDirectories(folder)) throw std::runtime_error("cannot make " + folder);
  CreateDatabaseFile(file);
}

LoadedLibrary::LoadedLibrary(const std::string& folder, const std::string& builtLibrary) {
  std::filesystem::path target = std::filesystem::path(folder) / "RequestQX9.so";
  std::filesystem::copy_file(builtLibrary, target,
                             std::filesystem::copy_options::overwrite_existing);
  fileName_ = target.string();
  CreateInstallDatabase(folder);
  handle_ = ::dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(std::string("dlopen failed: ") + ::dlerror());
  getExtensionVersion_ = Export<QxGetExtensionVersionFn>(handle_, "GetExtensionVersion");
  httpExtensionProc_ = Export<QxHttpExtensionProcFn>(handle_, "HttpExtensionProc");
  terminateExtension_ = Export<QxTerminateExtensionFn>(handle_, "TerminateExtension");
}

LoadedLibrary::~LoadedLibrary() {
  if (!terminated_) Terminate();
  ::dlclose(handle_);
}

int LoadedLibrary::GetExtensionVersion(QxExtensionVersion& version) const {
  return getExtensionVersion_(&version);
}

std::uint32_t LoadedLibrary::HttpExtensionProc(InMemoryConnection& connection) const {
  return httpExtensionProc_(connection.Block());
}

std::uint32_t LoadedLibrary::Run(InMemoryConnection& connection) const {
  std::uint32_t result = HttpExtensionProc(connection);
  if (result == QX_STATUS_PENDING && !connection.WaitForDone())
    throw std::runtime_error("the request never ended with done-with-session");
  return result;
}

int LoadedLibrary::Terminate(std::uint32_t flags) {
  terminated_ = true;
  return terminateExtension_(flags);
}

}  // namespace qx::test
