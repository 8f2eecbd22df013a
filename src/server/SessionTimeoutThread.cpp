// The time-out sweep.
#include "server/SessionTimeoutThread.h"

#include "server/Sessions.h"

namespace qx {

void TSessionTimeoutThread::Sweep(TIWSessions& sessions) {
  // COM needs no initialisation for the freeing on this platform.
  std::vector<Owned<IIWApplication>> expired = sessions.CollectExpired(Now());
  FreeSessions(expired);
}

}  // namespace qx
