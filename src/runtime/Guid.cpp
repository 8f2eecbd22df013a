// GUIDs from getrandom(2), with the version and variant bits of a random GUID.
#include "runtime/Guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace qx {

TGUID CreateGUID() {
  std::uint8_t bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    got += static_cast<std::size_t>(n);
  }
  TGUID g;
  std::memcpy(&g.D1, bytes, 4);
  std::memcpy(&g.D2, bytes + 4, 2);
  std::memcpy(&g.D3, bytes + 6, 2);
  std::memcpy(g.D4, bytes + 8, 8);
  g.D3 = static_cast<std::uint16_t>((g.D3 & 0x0FFF) | 0x4000);
  g.D4[0] = static_cast<std::uint8_t>((g.D4[0] & 0x3F) | 0x80);
  return g;
}

}  // namespace qx
