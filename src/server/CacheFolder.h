// The cache folder's name when none is set, and its removal at shut-down.
#pragma once

#include <string>

#include "runtime/DateTime.h"

namespace qx {

// `moment` in whole milliseconds since the date-time epoch (30 Dec 1899), fraction dropped, in
// base 36, left-padded with "0" to 10 characters.
std::string CacheTimeStampName(TDateTime moment);

// Deletes the folder with every file and subfolder in it; failures are ignored. Anything that
// is not a folder (a file of that name belongs to someone else) and names that would reach
// beyond one folder of the service's own ("", "/", ".", "..", or a doubled '/') are left alone.
void DeleteCacheFolder(const std::string& folder) noexcept;

}  // namespace qx
