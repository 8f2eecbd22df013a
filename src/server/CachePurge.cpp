// Purging the cache folder, and the thread that does it at an interval.
#include "server/CachePurge.h"

#include <filesystem>
#include <vector>

#include "entry/ServerControllerClass.h"
#include "runtime/Files.h"

namespace fs = std::filesystem;

namespace qx {

const char* const kPurgeRefused = "Assertion failed: PurgeDirectory attempts to delete \"";

namespace {

constexpr char kCachePurge[] = "Cache Purge";

bool IsDriveAlone(const std::string& folder) {
  if (folder.size() < 2 || folder.size() > 3 || folder[0] < 'A' || folder[0] > 'Z' ||
      folder[1] != ':')
    return false;
  return folder.size() == 2 || folder[2] == '\\' || folder[2] == '/';
}

bool Refused(const std::string& folder) {
  return folder.empty() || folder == "\\" || folder == "/" || IsDriveAlone(folder) ||
         folder == ".." || folder == "." || folder.find("\\\\") != std::string::npos ||
         folder.find("//") != std::string::npos;
}

}  // namespace

void PurgeDirectory(const std::string& folder, int ageMinutes, bool removeFolders) {
  if (Refused(folder)) throw EAssertionFailed(kPurgeRefused + folder + "\"");
  std::string root = ExcludeTrailingPathDelimiter(folder);
  if (!DirectoryExists(root)) return;
  TDateTime oldest = Now() - ageMinutes / kMinutesPerDay;
  std::error_code ec;
  std::vector<fs::path> folders;
  // Symbolic links are deleted as entries; the folders they point to are never entered.
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    if (entry.is_directory(ec) && !entry.is_symlink(ec)) {
      folders.push_back(entry.path());
      continue;
    }
    if (ageMinutes > 0) {
      std::optional<TDateTime> written = FileAgeLocal(entry.path().string());
      if (!written || *written >= oldest) continue;
    }
    fs::remove(entry.path(), ec);
    ec.clear();
  }
  if (!removeFolders) return;
  // Deepest first, so that each folder is empty when its turn comes.
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) fs::remove(*it, ec);
  fs::remove(root, ec);
}

void TCachePurgeThread::SetFolder(std::string folder) {
  std::lock_guard guard(lock_);
  folder_ = std::move(folder);
}

std::string TCachePurgeThread::Folder() {
  std::lock_guard guard(lock_);
  return folder_;
}

void TCachePurgeThread::Purge() noexcept {
  std::lock_guard guard(lock_);
  try {
    if (!DirectoryExists(ExcludeTrailingPathDelimiter(folder_))) return;
    purging_ = true;
    PurgeDirectory(folder_, expiryMinutes_, false);
  } catch (...) {
    // A refused folder or a failure: the next purge tries again; the log keeps the reason.
    LogCurrentFailure(kCachePurge);
  }
  purging_ = false;
}

}  // namespace qx
