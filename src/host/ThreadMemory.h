// Giving the allocator's memory back from a thread that has gone idle.
#pragma once

namespace qx::host {

// Gives back what the calling thread's allocator keeps free for it: a thread's cache of freed
// blocks is only reused by that thread, so a worker left idle would otherwise hold it for good.
void ReleaseIdleThreadMemory() noexcept;

}  // namespace qx::host
