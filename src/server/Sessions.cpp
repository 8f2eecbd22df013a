// The session registry, the release of a session, the security checks of a lookup and the
// process-wide registry instance.
#include "server/Sessions.h"

#include <arpa/inet.h>

#include <atomic>
#include <thread>

#include "runtime/Strings.h"
#include "server/ClientAcceptance.h"
#include "server/ServerControllerBase.h"
#include "server/SessionErrors.h"

namespace qx {

const char* const kAddSessionError = "An internal error occurred in TIWSessions.AddSession.";
const char* const kSessionNotFound = "Session not found. Session may have expired.";
const char* const kWrongIP =
    "Security Exception: The IP you are using is different than the one that is assigned to "
    "the specified session.";
const char* const kWrongSubnet =
    "Security Exception: The IP you are using is from a different subnet than the one that is "
    "assigned to the specified session.";
const char* const kWrongBrowser =
    "Security Exception: The browser you are using is different than the one that is assigned "
    "to the specified session.";

TIWSessions::~TIWSessions() { Clear(); }

IIWApplication& TIWSessions::Add(Owned<IIWApplication>&& session) {
  std::lock_guard guard(lock_);
  if (table_.Find(session->AppID())) throw EIWException(kAddSessionError);
  IIWApplication& added = *session;
  table_.Add(added.AppID(), std::move(session));
  // No lookup can reach it before the registry's lock is released.
  added.Lock().Lock();
  return added;
}

template <class Find>
IIWApplication* TIWSessions::LockWhenFree(std::unique_lock<std::mutex>& guard, Find find) {
  for (;;) {
    guard.lock();
    IIWApplication* session = find();
    if (!session || session->Lock().TryLock()) return session;
    guard.unlock();
    std::this_thread::sleep_for(kRetryInterval);
  }
}

IIWApplication* TIWSessions::Registered(std::string_view appID) {
  Owned<IIWApplication>* found = table_.Find(appID);
  return found ? found->get() : nullptr;
}

IIWApplication* TIWSessions::FindAndLock(std::string_view appID) {
  std::unique_lock guard(lock_, std::defer_lock);
  return LockWhenFree(guard, [&] { return Registered(appID); });
}

IIWApplication* TIWSessions::FindByTag(std::string_view tag) {
  // Sessions started without a tag must not answer to an empty one.
  if (tag.empty()) return nullptr;
  std::unique_lock guard(lock_, std::defer_lock);
  return LockWhenFree(guard, [&]() -> IIWApplication* {
    for (int b = 0; b < table_.BucketCount(); ++b) {
      auto* bucket = table_.Bucket(b);
      if (!bucket) continue;
      for (auto& node : *bucket)
        if (SameText(node.Value->SessionTag(), tag)) return node.Value.get();
    }
    return nullptr;
  });
}

bool TIWSessions::RemoveAndFree(std::string_view appID) {
  std::vector<Owned<IIWApplication>> removed;
  {
    std::unique_lock guard(lock_, std::defer_lock);
    IIWApplication* session = LockWhenFree(guard, [&] { return Registered(appID); });
    if (!session) return false;
    // Once unregistered, no request can reach it again.
    removed.emplace_back();
    table_.Remove(appID, removed.back());
    session->Lock().Unlock();
  }
  FreeSessions(removed);
  return true;
}

std::vector<Owned<IIWApplication>> TIWSessions::CollectExpired(TDateTime now) {
  std::vector<Owned<IIWApplication>> expired;
  std::lock_guard guard(lock_);
  for (int b = 0; b < table_.BucketCount(); ++b) {
    auto* bucket = table_.Bucket(b);
    for (int i = bucket ? static_cast<int>(bucket->size()) - 1 : -1; i >= 0; --i) {
      IIWApplication& session = *(*bucket)[static_cast<std::size_t>(i)].Value;
      // A busy session is in use, so not idle; waiting for it here would stop every lookup.
      if (!session.Lock().TryLock()) continue;
      const int limit = session.IdleLimitSeconds();
      bool idle = now - session.LastAccess() >= EncodeTime(limit / 3600, limit / 60 % 60, limit % 60, 0);
      if (idle) expired.push_back(table_.RemoveAt(b, i));
      session.Lock().Unlock();
      // The bucket is freed when its last node goes.
      bucket = table_.Bucket(b);
    }
  }
  return expired;
}

void TIWSessions::Clear() noexcept {
  std::vector<Owned<IIWApplication>> all;
  {
    std::lock_guard guard(lock_);
    for (int b = 0; b < table_.BucketCount(); ++b) {
      while (auto* bucket = table_.Bucket(b)) {
        int last = static_cast<int>(bucket->size()) - 1;
        IIWApplication& session = *(*bucket)[static_cast<std::size_t>(last)].Value;
        session.Lock().Lock();
        all.push_back(table_.RemoveAt(b, last));
        session.Lock().Unlock();
      }
    }
  }
  FreeSessions(all);
}

int TIWSessions::Count() {
  std::lock_guard guard(lock_);
  return table_.Count();
}

void ReleaseSession(IIWApplication& session) noexcept {
  session.SetLastAccess(Now());
  session.Lock().Unlock();
}

void FreeSessions(std::vector<Owned<IIWApplication>>& sessions) noexcept {
  for (Owned<IIWApplication>& session : sessions) {
    // Freeing runs the session's close handling and frees its forms and data module, which
    // find their session as the current application.
    TCurrentApplicationScope current(session.get());
    session.reset();
  }
  sessions.clear();
}

bool SameClassfulNetwork(std::string_view sessionAddress, std::string_view clientAddress) {
  auto parse = [](std::string_view text, std::uint32_t& address) {
    in_addr parsed{};
    std::string copy = Trim(text);
    if (::inet_pton(AF_INET, copy.c_str(), &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
  };
  std::uint32_t a = 0, b = 0;
  if (!parse(sessionAddress, a) || !parse(clientAddress, b)) return false;
  std::uint32_t first = a >> 24;
  std::uint32_t mask;
  if (first >= 1 && first <= 124) mask = 0xFF000000u;
  else if (first == 127) mask = 0xFFFFFFFFu;
  else if (first >= 128 && first <= 191) mask = 0xFFFF0000u;
  else if (first >= 192 && first <= 223) mask = 0xFFFFFF00u;
  else return false;
  return (a & mask) == (b & mask);
}

void CheckSession(IIWApplication& session, std::string_view clientAddress,
                  TIWBrowser clientType) {
  try {
    const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
    if (controller && controller->RestrictIPs() && !SameText(session.IP(), clientAddress))
      throw EIWException(kWrongIP);
    if (controller && controller->RestrictSubnet() &&
        !SameClassfulNetwork(session.IP(), clientAddress))
      throw EIWWrongSubnet(kWrongSubnet);
    TIWBrowser own = session.Browser();
    bool testClient = own == brHTML32Test || own == brWMLTest || own == brXHTMLMPTest;
    if (!testClient && clientType != own && session.ActiveFormBrowserSecurityCheck())
      throw EIWException(kWrongBrowser);
  } catch (...) {
    ReleaseSession(session);
    throw;
  }
}

IIWApplication& LookupSession(std::string_view appID, std::string_view clientAddress,
                              std::string_view userAgent) {
  TIWBrowser clientType = ClientTypeOf(userAgent);
  TIWSessions* sessions = GSessions();
  IIWApplication* session = sessions ? sessions->FindAndLock(appID) : nullptr;
  if (!session) throw EInvalidSession(kSessionNotFound);
  CheckSession(*session, clientAddress, clientType);
  return *session;
}

namespace {

std::atomic<TIWSessions*> registry{nullptr};

}  // namespace

void CreateSessionRegistry() {
  if (registry.load()) return;
  auto* sessions = new TIWSessions;
  TIWSessions* expected = nullptr;
  if (!registry.compare_exchange_strong(expected, sessions)) delete sessions;
}

void FreeSessionRegistry() noexcept { delete registry.exchange(nullptr); }

TIWSessions* GSessions() noexcept { return registry.load(); }

}  // namespace qx
