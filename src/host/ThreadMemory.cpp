#include "host/ThreadMemory.h"

#include <malloc.h>

#include <cstddef>

// Defined when the process allocates through jemalloc (release builds link it); null otherwise.
extern "C" int mallctl(const char* name, void* oldp, std::size_t* oldlenp, void* newp,
                       std::size_t newlen) __attribute__((weak));

// jemalloc reads its settings from this symbol when the process starts: a thread of its own
// gives back, a few seconds after a load peak, the pages left free, instead of waiting for the
// next allocations to do it.
extern "C" {
const char* malloc_conf = "background_thread:true";
}

namespace qx::host {

void ReleaseIdleThreadMemory() noexcept {
  // jemalloc: the thread's cache of freed blocks goes back to the shared arenas, which the
  // background thread purges; the C library's allocator: free memory goes back at once.
  if (mallctl) mallctl("thread.tcache.flush", nullptr, nullptr, nullptr, 0);
  else ::malloc_trim(0);
}

}  // namespace qx::host
