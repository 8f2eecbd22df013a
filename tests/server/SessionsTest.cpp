// The session table's bucket rule, the registry's operations and their locking under many
// threads, the security checks of a lookup, and the lookup's failures.
#include "server/Sessions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "FakeApplication.h"
#include "ServerFixture.h"
#include "server/HashTable.h"
#include "server/SessionErrors.h"
#include "support/Failure.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

constexpr char kFirefox[] =
    "Mozilla/5.0 (X11; Linux x86_64; rv:109.0) Gecko/20100101 Firefox/115.0";
constexpr char kMsie6[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

using test::LockIsFree;

TEST(HashBucket, FirstFourCharactersInBase36ModuloThenModulo97) {
  EXPECT_EQ(HashBucket("abcd", 97), 12);        // 481,261 mod 65,535 = 22,516; mod 97 = 12
  EXPECT_EQ(HashBucket("ABCD", 97), 12);        // letter case is ignored
  EXPECT_EQ(HashBucket("zzzz", 97), 15);
  EXPECT_EQ(HashBucket("0000", 97), 0);
  EXPECT_EQ(HashBucket("ab", 97), 80);          // shorter keys use what they have
  EXPECT_EQ(HashBucket("k3x9q", 97), HashBucket("k3x9z", 97));
  EXPECT_EQ(HashBucket("", 97), 0);
}

TEST(HashBucket, OtherCharactersStillGiveABucketOfTheTable) {
  // "!!!!" reads as a negative number; it must not index before the table.
  EXPECT_EQ(HashBucket("!!!!", 97), 26);
  for (const char* key : {"----", "!a!b", "\xff\xfe\xfd\xfc", "-"}) {
    int bucket = HashBucket(key, 97);
    EXPECT_GE(bucket, 0) << key;
    EXPECT_LT(bucket, 97) << key;
  }
}

TEST(HashTable, KeysWithOneBucketAreToldApartAndCaseIsIgnored) {
  THashTable<int> table;
  EXPECT_EQ(table.BucketCount(), 97);
  table.Add("k3x9q0000", 1);
  table.Add("k3x9z1111", 2);
  ASSERT_NE(table.Find("K3X9Q0000"), nullptr);
  EXPECT_EQ(*table.Find("K3X9Q0000"), 1);
  EXPECT_EQ(*table.Find("k3x9z1111"), 2);
  EXPECT_EQ(table.Find("k3x9q0001"), nullptr);
  EXPECT_EQ(table.Bucket(HashBucket("k3x9", 97))->size(), 2u);
}

TEST(HashTable, AddingAPresentKeyFailsAndChangesNothing) {
  THashTable<int> table;
  table.Add("abcdef", 1);
  try {
    table.Add("ABCDEF", 2);
    FAIL();
  } catch (const EHashTableException& e) {
    EXPECT_EQ(e.Message(), "Item is all ready in the table.");
    EXPECT_STREQ(e.ClassName(), "EHashTableException");
  }
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(*table.Find("abcdef"), 1);
}

TEST(HashTable, ABucketEmptiedBecomesAbsentAndSmallCountsGive97) {
  THashTable<int> table(3);
  EXPECT_EQ(table.BucketCount(), 97);
  table.Add("abcd1", 1);
  int removed = 0;
  EXPECT_TRUE(table.Remove("ABCD1", removed));
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(table.Bucket(12), nullptr);
  EXPECT_FALSE(table.Remove("abcd1", removed));
}

class Registry : public ::testing::Test {
 protected:
  FakeTracker tracker_;
  TIWSessions sessions_;
};

TEST_F(Registry, AddKeepsTheSessionLockedForItsRequest) {
  IIWApplication& s = sessions_.Add(MakeSession("abc123", &tracker_));
  EXPECT_FALSE(LockIsFree(s));
  ReleaseSession(s);
  EXPECT_TRUE(LockIsFree(s));
  EXPECT_EQ(sessions_.Count(), 1);
}

TEST_F(Registry, AddingARegisteredAppIDFailsAndLeavesTheSessionWithTheCaller) {
  ReleaseSession(sessions_.Add(MakeSession("dup00", &tracker_)));
  Owned<IIWApplication> second = MakeSession("DUP00", &tracker_);
  try {
    sessions_.Add(std::move(second));
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_EQ(e.Message(), "An internal error occurred in TIWSessions.AddSession.");
  }
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(LockIsFree(*second));
  EXPECT_EQ(sessions_.Count(), 1);
  EXPECT_TRUE(tracker_.freed.empty());
}

TEST_F(Registry, FindAndLockIgnoresLetterCaseAndMissesUnknownIds) {
  ReleaseSession(sessions_.Add(MakeSession("abcdefg")));
  IIWApplication* found = sessions_.FindAndLock("ABCDEFG");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->AppID(), "abcdefg");
  EXPECT_FALSE(LockIsFree(*found));
  ReleaseSession(*found);
  EXPECT_EQ(sessions_.FindAndLock("abcdefh"), nullptr);
  EXPECT_EQ(sessions_.FindAndLock(""), nullptr);
}

TEST_F(Registry, ReleaseStampsTheLastAccess) {
  IIWApplication& s = sessions_.Add(MakeSession("stamp"));
  s.SetLastAccess(1.0);
  TDateTime before = Now();
  ReleaseSession(s);
  EXPECT_GE(s.LastAccess(), before);
}

TEST_F(Registry, ASecondRequestWaitsUntilTheFirstReleasesTheSession) {
  IIWApplication& s = sessions_.Add(MakeSession("busy1"));
  std::atomic<bool> released{false};
  std::atomic<bool> secondGotItAfterRelease{false};
  std::thread second([&] {
    IIWApplication* found = sessions_.FindAndLock("busy1");
    secondGotItAfterRelease = found != nullptr && released.load();
    if (found) ReleaseSession(*found);
  });
  // The second request is now retrying; the first one finishes its work and releases.
  std::this_thread::sleep_for(150ms);
  released = true;
  ReleaseSession(s);
  second.join();
  EXPECT_TRUE(secondGotItAfterRelease);
}

TEST_F(Registry, ManyRequestsOfOneSessionNeverOverlap) {
  ReleaseSession(sessions_.Add(MakeSession("shared")));
  constexpr int kThreads = 6, kRounds = 4;
  std::atomic<int> inside{0}, overlaps{0};
  int served = 0;  // guarded by the session's lock only
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&] {
      for (int r = 0; r < kRounds; ++r) {
        IIWApplication* s = sessions_.FindAndLock("shared");
        ASSERT_NE(s, nullptr);
        if (inside.fetch_add(1) != 0) ++overlaps;
        ++served;
        std::this_thread::sleep_for(1ms);
        inside.fetch_sub(1);
        ReleaseSession(*s);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(served, kThreads * kRounds);
}

TEST_F(Registry, FindByTagWaitsForABusySessionAndIgnoresCase) {
  Owned<IIWApplication> tagged = MakeSession("tag01");
  tagged->SetSessionTag("Kiosk-7");
  IIWApplication& s = sessions_.Add(std::move(tagged));
  ReleaseSession(sessions_.Add(MakeSession("tag02")));
  EXPECT_EQ(sessions_.FindByTag("kiosk-8"), nullptr);
  // "tag02" has no tag; an empty one must not find it.
  EXPECT_EQ(sessions_.FindByTag(""), nullptr);
  // Busy: find-by-tag waits for the request to end.
  s.Lock().Lock();
  std::atomic<bool> released{false};
  std::atomic<bool> gotAfterRelease{false};
  std::thread finder([&] {
    IIWApplication* found = sessions_.FindByTag("KIOSK-7");
    gotAfterRelease = found == &s && released.load();
    if (found) ReleaseSession(*found);
  });
  std::this_thread::sleep_for(50ms);
  released = true;
  s.Lock().Unlock();
  ReleaseSession(s);
  finder.join();
  EXPECT_TRUE(gotAfterRelease);
}

TEST_F(Registry, RemoveAndFreeFreesTheSessionAsTheCurrentApplication) {
  ReleaseSession(sessions_.Add(MakeSession("gone1", &tracker_)));
  ReleaseSession(sessions_.Add(MakeSession("stay1", &tracker_)));
  EXPECT_TRUE(sessions_.RemoveAndFree("GONE1"));
  EXPECT_TRUE(tracker_.WasFreed("gone1"));
  EXPECT_TRUE(tracker_.freedAsCurrent);
  EXPECT_EQ(CurrentApplication(), nullptr);
  EXPECT_FALSE(sessions_.RemoveAndFree("gone1"));
  EXPECT_EQ(sessions_.FindAndLock("gone1"), nullptr);
  EXPECT_EQ(sessions_.Count(), 1);
}

TEST_F(Registry, RemoveAndFreeWaitsForTheRequestThatUsesTheSession) {
  IIWApplication& s = sessions_.Add(MakeSession("inuse", &tracker_));
  std::atomic<bool> released{false};
  std::atomic<bool> freedAfterRelease{false};
  std::thread remover([&] {
    sessions_.RemoveAndFree("inuse");
    freedAfterRelease = released.load();
  });
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(tracker_.WasFreed("inuse"));
  released = true;
  ReleaseSession(s);
  remover.join();
  EXPECT_TRUE(freedAfterRelease);
  EXPECT_TRUE(tracker_.WasFreed("inuse"));
}

TEST_F(Registry, ClearFreesEverySession) {
  for (const char* id : {"aaaa1", "aaaa2", "bbbb1", "zzzz9"})
    ReleaseSession(sessions_.Add(MakeSession(id, &tracker_)));
  sessions_.Clear();
  EXPECT_EQ(sessions_.Count(), 0);
  EXPECT_EQ(tracker_.freed.size(), 4u);
  EXPECT_TRUE(tracker_.freedAsCurrent);
}

TEST_F(Registry, DestroyingTheRegistryFreesWhatIsLeft) {
  FakeTracker tracker;
  {
    TIWSessions local;
    ReleaseSession(local.Add(MakeSession("left1", &tracker)));
  }
  EXPECT_TRUE(tracker.WasFreed("left1"));
}

TEST(SameClassfulNetwork, MasksFollowTheFirstOctet) {
  EXPECT_TRUE(SameClassfulNetwork("10.1.2.3", "10.200.0.1"));
  EXPECT_FALSE(SameClassfulNetwork("10.1.2.3", "11.1.2.3"));
  EXPECT_TRUE(SameClassfulNetwork("124.0.0.1", "124.255.0.1"));
  EXPECT_TRUE(SameClassfulNetwork("172.16.5.5", "172.16.200.1"));
  EXPECT_FALSE(SameClassfulNetwork("172.16.5.5", "172.17.5.5"));
  EXPECT_TRUE(SameClassfulNetwork("192.168.1.5", "192.168.1.200"));
  EXPECT_FALSE(SameClassfulNetwork("192.168.1.5", "192.168.2.5"));
  EXPECT_TRUE(SameClassfulNetwork("127.0.0.1", "127.0.0.1"));
  EXPECT_FALSE(SameClassfulNetwork("127.0.0.1", "127.0.0.2"));
  // Outside the classes, and anything that is no IPv4 address, is in no network.
  EXPECT_FALSE(SameClassfulNetwork("125.0.0.1", "125.0.0.1"));
  EXPECT_FALSE(SameClassfulNetwork("0.0.0.1", "0.0.0.1"));
  EXPECT_FALSE(SameClassfulNetwork("224.0.0.1", "224.0.0.1"));
  EXPECT_FALSE(SameClassfulNetwork("::1", "::1"));
  EXPECT_FALSE(SameClassfulNetwork("10.0.0.1", "host"));
}

class SecurityChecks : public test::ServerTest {
 protected:
  // Registers a released session for 10.0.0.5 with Internet Explorer.
  IIWApplication& Register(const std::string& id, TIWBrowser browser = brIE) {
    IIWApplication& s = Sessions().Add(MakeSession(id, nullptr, "10.0.0.5", browser));
    ReleaseSession(s);
    return s;
  }
  // The failure of a lookup, or "none" when it succeeds (the session is released).
  std::string Lookup(const std::string& id, const std::string& address, const char* agent) {
    return test::FailureOf([&] { ReleaseSession(LookupSession(id, address, agent)); });
  }
};

TEST_F(SecurityChecks, AnotherAddressIsRefusedAndTheSessionStaysUsable) {
  Controller().SetRestrictIPs(true);
  IIWApplication& s = Register("ipchk");
  s.SetLastAccess(1.0);
  EXPECT_EQ(Lookup("ipchk", "10.0.0.6", kMsie6),
            std::string("EIWException: ") + kWrongIP);
  // The refusal stamped the session and released it; it is still registered.
  EXPECT_GT(s.LastAccess(), 1.0);
  EXPECT_TRUE(LockIsFree(s));
  EXPECT_EQ(Lookup("ipchk", "10.0.0.5", kMsie6), "none");
  EXPECT_EQ(Lookup("IPCHK", "10.0.0.5", kMsie6), "none");
}

TEST_F(SecurityChecks, AddressesCompareWithoutLetterCaseAndOnlyWhenRestricted) {
  Controller().SetRestrictIPs(true);
  Sessions().Add(MakeSession("v6", nullptr, "fe80::ABCD", brIE));
  ReleaseSession(*Sessions().FindAndLock("v6"));
  EXPECT_EQ(Lookup("v6", "FE80::abcd", kMsie6), "none");
  Controller().SetRestrictIPs(false);
  Register("free");
  EXPECT_EQ(Lookup("free", "10.9.9.9", kMsie6), "none");
}

TEST_F(SecurityChecks, AnotherNetworkIsRefusedWithItsOwnClass) {
  Controller().SetRestrictSubnet(true);
  Register("net01");
  EXPECT_EQ(Lookup("net01", "10.77.1.1", kMsie6), "none");
  EXPECT_EQ(Lookup("net01", "11.0.0.5", kMsie6),
            std::string("EIWWrongSubnet: ") + kWrongSubnet);
}

TEST_F(SecurityChecks, AnotherBrowserFamilyIsRefusedUnlessTheFormSaysOtherwise) {
  IIWApplication& s = Register("brw01");
  EXPECT_EQ(Lookup("brw01", "10.0.0.5", kFirefox),
            std::string("EIWException: ") + kWrongBrowser);
  auto& fake = static_cast<TIWApplication&>(s);
  fake.securityCheck = false;
  EXPECT_EQ(Lookup("brw01", "10.0.0.5", kFirefox), "none");
  // A session without an active form is checked.
  fake.hasActiveForm = false;
  EXPECT_EQ(Lookup("brw01", "10.0.0.5", kFirefox),
            std::string("EIWException: ") + kWrongBrowser);
}

TEST_F(SecurityChecks, TestClientTypesAcceptAnyBrowser) {
  Register("t32", brHTML32Test);
  Register("twml", brWMLTest);
  EXPECT_EQ(Lookup("t32", "10.0.0.5", kFirefox), "none");
  EXPECT_EQ(Lookup("twml", "10.0.0.5", kMsie6), "none");
}

TEST_F(SecurityChecks, AnUnknownSessionIsNotFound) {
  EXPECT_EQ(Lookup("nosuchsession", "10.0.0.5", kMsie6),
            "EInvalidSession: Session not found. Session may have expired.");
}

TEST_F(SecurityChecks, NoRegistryMeansNoSession) {
  FreeSessionRegistry();
  EXPECT_EQ(Lookup("any", "10.0.0.5", kMsie6),
            "EInvalidSession: Session not found. Session may have expired.");
}

}  // namespace
}  // namespace qx
