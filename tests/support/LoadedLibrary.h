// The built service library loaded for a test: copied into a folder of the test's own (which
// becomes its library folder) beside an empty database, and loaded from there, with its three
// exports at hand.
#pragma once

#include <cstdint>
#include <string>

#include "entry/ConnectionBlock.h"
#include "support/InMemoryConnection.h"

namespace qx::test {

// The library the build produced (set by the build for targets that link qx_test_library).
std::string BuiltLibraryFile();

// Creates "database/Requests.mdb" with the service's empty tables in `libraryFolder` unless
// it is there: the database a service without a settings file opens for every session.
void CreateInstallDatabase(const std::string& libraryFolder);

class LoadedLibrary {
 public:
  // Copies `builtLibrary` into `folder` as "RequestQX9.so", lays out the database
  // (CreateInstallDatabase) and loads the library; fails with std::runtime_error naming the
  // loader's complaint.
  explicit LoadedLibrary(const std::string& folder,
                         const std::string& builtLibrary = BuiltLibraryFile());
  // Terminates the extension (unless Terminate was called) and unloads it.
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  // The copy that was loaded.
  const std::string& FileName() const noexcept { return fileName_; }

  int GetExtensionVersion(QxExtensionVersion& version) const;
  // One call of HttpExtensionProc, returning its result as it is.
  std::uint32_t HttpExtensionProc(InMemoryConnection& connection) const;
  // A whole request: HttpExtensionProc and, when it reports a write under way, the wait for
  // done-with-session (the connection's completions must run on its own thread).
  std::uint32_t Run(InMemoryConnection& connection) const;
  int Terminate(std::uint32_t flags = 0);

 private:
  std::string fileName_;
  void* handle_ = nullptr;
  QxGetExtensionVersionFn getExtensionVersion_ = nullptr;
  QxHttpExtensionProcFn httpExtensionProc_ = nullptr;
  QxTerminateExtensionFn terminateExtension_ = nullptr;
  bool terminated_ = false;
};

}  // namespace qx::test
