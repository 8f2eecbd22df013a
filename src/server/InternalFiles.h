// The internal-file registry: resources inside the library that the service serves (client
// scripts, pictures, the favicon, the system-page templates), each with the path it would
// have when written out to disk.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Streams.h"

namespace qx {

extern const char* const kCannotFindInternalFile;  // Format: name
extern const char* const kResourceNotFound;        // Format: name
extern const char* const kUnableToCreateInternalFilesDir;

struct TInternalFile {
  std::string Name;  // upper-cased
  std::string Path;  // where it goes when written out ('/'-separated, may be empty)
  std::string_view Bytes;
};

// Adds a library resource under its upper-cased name. A name already registered does nothing;
// a name the library holds no resource for fails with Format(kCannotFindInternalFile, name).
void RegisterInternalFile(std::string_view name, std::string path);

// Registers the library's own resources and then every internal file, in the service's order.
// Runs while the library loads; later calls do nothing new.
void RegisterInternalFiles();

// The registered entries in order of registration.
std::vector<TInternalFile> InternalFiles();

// A new read-only stream over a registered resource's bytes (no copy); a name that is not
// registered (letter case ignored) fails with EIWException Format(kResourceNotFound, name).
std::unique_ptr<TStream> InternalResource(std::string_view name);
// The registered resource's bytes, with the same failure.
std::string_view InternalResourceBytes(std::string_view name);

// Writes every entry with a path to `folder` + its path, creating folders, unless the file is
// there already; write failures are ignored. The folder itself must be creatable, else
// EIWException kUnableToCreateInternalFilesDir. Used when UseInternalFiles is off.
void WriteInternalFiles(const std::string& folder);

}  // namespace qx
