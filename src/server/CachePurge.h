// The cache folder's upkeep: PurgeDirectory deletes generated files past an age (or, at
// shut-down, the whole folder), and TCachePurgeThread ("Cache Purge") runs it every 15 seconds
// on the current cache folder.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "runtime/Exceptions.h"
#include "server/IntervalThread.h"

namespace qx {

QX_EXCEPTION_CLASS(EAssertionFailed, Exception);

// "Assertion failed: PurgeDirectory attempts to delete \"" + folder + "\"".
extern const char* const kPurgeRefused;

// Deletes every file in `folder` and its subfolders last written more than `ageMinutes` ago
// (every file when `ageMinutes` is 0); with `removeFolders` the emptied subfolders and the
// folder itself go too. A folder that does not exist is left alone. Names that could reach
// beyond one folder of the service's own are refused with EAssertionFailed kPurgeRefused
// before anything is deleted: empty, "/" or "\", a drive alone ("C:", "C:\", "C:/"), "." or
// "..", or a doubled delimiter anywhere. Failures to delete single entries are ignored.
void PurgeDirectory(const std::string& folder, int ageMinutes, bool removeFolders);

class TCachePurgeThread : public TIntervalThread {
 public:
  static constexpr std::chrono::milliseconds kPurgeInterval{15000};

  // `expiryMinutes` is the controller's CacheExpiry, fixed once the service runs.
  TCachePurgeThread(std::string folder, int expiryMinutes,
                    std::chrono::milliseconds interval = kPurgeInterval)
      : TIntervalThread("Cache Purge", interval),
        folder_(std::move(folder)),
        expiryMinutes_(expiryMinutes) {}
  ~TCachePurgeThread() override { Stop(); }

  // Waits for a purge under way, then purges `folder` from the next run on.
  void SetFolder(std::string folder);
  std::string Folder();
  // True while a purge is deleting files.
  bool Purging() const noexcept { return purging_.load(); }
  // One purge now, on the calling thread; a failure is written to the service's log.
  void Purge() noexcept;

 protected:
  void Run() override { Purge(); }

 private:
  std::mutex lock_;  // guards folder_ and serialises purges with SetFolder
  std::string folder_;
  int expiryMinutes_;
  std::atomic<bool> purging_{false};
};

}  // namespace qx
