// New database files made beside their target and moved into place at the end, so that a
// failure leaves nothing half-made and an existing file is replaced only when asked.
#pragma once

#include <string>

namespace qx::admin {

// A name beside `path` that nothing uses yet.
std::string ScratchName(const std::string& path);
// The file and its SQLite journal files.
void RemoveDatabaseFiles(const std::string& path);
// Failure unless nothing is at `path`, or (with `replace`) a file is.
void CheckTarget(const std::string& path, bool replace);
// Makes the folder that is to hold `path` (Failure when it cannot).
void MakeFolderFor(const std::string& path);
// Puts the finished `scratch` file at `path`: only where nothing exists (a hard link fails
// when something appeared meanwhile), or, with `replace`, over the old file and without its
// journal files. Failure otherwise; the scratch file is the caller's to remove then.
void PlaceNewFile(const std::string& scratch, const std::string& path, bool replace);

}  // namespace qx::admin
