// SPDX-License-Identifier: MIT
// The bounds on one exchange with the centre. Every wait of a call is
// bounded, counted from the call's start: connecting as a whole (name
// resolution, TCP, a proxy's CONNECT and the TLS handshake together, across
// a read's second attempt too), then the low-speed limit over the whole
// exchange, both directions counted, which a second attempt continues.
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
  // Once the answer's envelope is read through, what the answer still
  // announced (a line end after the envelope) may take this long to come;
  // then the exchange ends, and its connection is given up.
  std::chrono::milliseconds settledGrace{1000};
};

}  // namespace nv

#endif
