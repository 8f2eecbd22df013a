// Hooks of the test extension that host tests call directly (it is loaded in-process), to
// see what the library side observed and to wait for it without sleeping.
#pragma once

#include <cstdint>

extern "C" {

struct TestExtensionStats {
  std::uint32_t versionCalls;     // GetExtensionVersion
  std::uint32_t terminateCalls;   // TerminateExtension
  std::uint32_t asyncStarted;     // asynchronous writes started
  std::uint32_t completions;      // completion routine calls
  std::uint32_t completionErrors; // ... with a non-zero error code
  std::uint32_t completionsOffIo; // ... on a thread other than the host's I/O threads
  std::uint32_t doneCalls;        // done-with-session requests that returned TRUE
  std::uint32_t readFailures;     // ReadClient calls that failed
};

void TestExtensionStatsGet(TestExtensionStats* stats);
void TestExtensionReset();
// Waits until `count` requests are parked in /wait (true) or the time runs out (false).
bool TestExtensionWaitParked(std::uint32_t count, std::uint32_t timeoutMs);
// Lets every parked /wait request go on.
void TestExtensionReleaseParked();
// Waits until doneCalls reaches `count` (true) or the time runs out (false).
bool TestExtensionWaitDone(std::uint32_t count, std::uint32_t timeoutMs);

typedef void (*TestExtensionStatsGetFn)(TestExtensionStats*);
typedef void (*TestExtensionResetFn)();
typedef bool (*TestExtensionWaitParkedFn)(std::uint32_t, std::uint32_t);
typedef void (*TestExtensionReleaseParkedFn)();
typedef bool (*TestExtensionWaitDoneFn)(std::uint32_t, std::uint32_t);
}
