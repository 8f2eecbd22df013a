// TIWSessions: the process-wide registry of live sessions keyed by AppID, with find-and-lock,
// find by tag, removal, the expiry sweep's collection, and the security checks of a lookup.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "server/ApplicationInterface.h"
#include "server/HashTable.h"

namespace qx {

extern const char* const kAddSessionError;    // duplicate AppID at registration
extern const char* const kSessionNotFound;    // "Session not found. Session may have expired."
extern const char* const kWrongIP;
extern const char* const kWrongSubnet;
extern const char* const kWrongBrowser;

// Lock order, everywhere: the registry's lock first, then a session's Lock. A thread that holds
// a session's Lock never waits for the registry's lock: a request that removes its own session
// releases it first. Nothing waits on a busy session while it holds the registry's lock: one
// long request (a mail to a slow server) would otherwise stop every other session's requests.
// Lookups only try a session's Lock and retry after kRetryInterval with the registry's lock
// released; the sweep skips a busy session, which is in use and so not idle.
class TIWSessions {
 public:
  // Between two attempts of find-and-lock on a busy session.
  static constexpr std::chrono::milliseconds kRetryInterval{100};

  TIWSessions() = default;
  // Frees every session still registered (see Clear).
  ~TIWSessions();
  TIWSessions(const TIWSessions&) = delete;
  TIWSessions& operator=(const TIWSessions&) = delete;

  // Registers the session and takes its Lock; it stays locked for the creating request.
  // A registered AppID fails with EIWException kAddSessionError; the caller then still owns
  // the session, unregistered and unlocked.
  IIWApplication& Add(Owned<IIWApplication>&& session);
  // The session locked for the calling thread, or null when the AppID (letter case ignored) is
  // not registered. A busy session is retried every kRetryInterval, without limit.
  IIWApplication* FindAndLock(std::string_view appID);
  // The first session whose tag equals `tag` (letter case ignored), locked; null when none
  // or when `tag` is empty (sessions without a tag are never found by it). A busy session is
  // retried like FindAndLock's.
  IIWApplication* FindByTag(std::string_view tag);
  // Unregisters the session and frees it (as the current application while it is freed),
  // once the request using it has ended; false when the AppID is not registered. The caller
  // must not hold the session's Lock.
  bool RemoveAndFree(std::string_view appID);
  // Unregisters every session idle for at least its SessionTimeOut at `now` and hands them to
  // the caller, which frees them outside the registry's lock. Busy sessions are left for the
  // next sweep.
  std::vector<Owned<IIWApplication>> CollectExpired(TDateTime now);
  // Unregisters and frees every session; failures while freeing are ignored.
  void Clear() noexcept;
  int Count();

 private:
  // Finds a session with `find` under the registry's lock and takes its Lock without
  // waiting; a busy one is looked for again after kRetryInterval, the registry's lock
  // released meanwhile. Returns with `guard` locked: the session locked, or null when `find`
  // found none.
  template <class Find>
  IIWApplication* LockWhenFree(std::unique_lock<std::mutex>& guard, Find find);
  // The session registered under `appID`, or null; the registry's lock must be held.
  IIWApplication* Registered(std::string_view appID);

  std::mutex lock_;  // guards table_
  THashTable<Owned<IIWApplication>> table_;
};

// The end of every request of a session, failures included: LastAccess := now, then the
// session's Lock is released.
void ReleaseSession(IIWApplication& session) noexcept;

// Frees sessions that are no longer registered, each as the current application, ignoring
// failures (the sweep and Clear use it).
void FreeSessions(std::vector<Owned<IIWApplication>>& sessions) noexcept;

// Whether two IPv4 addresses lie in the same classful network (first octet 1–124: /8, 127:
// /32, 128–191: /16, 192–223: /24); any other address is in no network.
bool SameClassfulNetwork(std::string_view sessionAddress, std::string_view clientAddress);

// The checks of a looked-up request against a locked session: its address (RestrictIPs),
// its network (RestrictSubnet) and its client type (unless the active form turns the check
// off). A failed check stamps LastAccess, releases the session's Lock and fails with the
// security message; the session stays registered.
void CheckSession(IIWApplication& session, std::string_view clientAddress,
                  TIWBrowser clientType);

// Find, lock and check, as every request that names a session does: the session locked, or
// EInvalidSession kSessionNotFound when none is registered under `appID`.
IIWApplication& LookupSession(std::string_view appID, std::string_view clientAddress,
                              std::string_view userAgent);

// --- The process-wide registry: created while the library loads, cleared and freed by the
// server controller's shut-down. Both run when no request is being served.
void CreateSessionRegistry();  // does nothing when one exists
void FreeSessionRegistry() noexcept;
TIWSessions* GSessions() noexcept;

}  // namespace qx
