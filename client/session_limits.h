// SPDX-License-Identifier: MIT
// The bounds on one exchange with the centre. Every wait of a call is
// bounded: connecting as a whole (name resolution, TCP, a proxy's CONNECT
// and the TLS handshake together), then the low-speed limit over the whole
// exchange, both directions counted.
#ifndef NV_CLIENT_SESSION_LIMITS_H
#define NV_CLIENT_SESSION_LIMITS_H

#include <chrono>
#include <cstddef>

namespace nv {

struct SessionLimits {
  std::chrono::milliseconds connect{100000};
  // Fewer than lowSpeedBytesPerSecond on average for lowSpeedSeconds in a
  // row ends the call as a time-out does. A slow but steady link still
  // carries a big catalogue; a centre that trickles cannot hold the HIS.
  long lowSpeedBytesPerSecond = 10;
  long lowSpeedSeconds = 100;
  // The answer's status line and headers together.
  size_t headBytes = 64 * 1024;
  // A kept connection is used again only this soon after its last answer
  // (a web server's own keep-alive time-out is commonly 5 s).
  std::chrono::seconds idleReuse{3};
};

}  // namespace nv

#endif
