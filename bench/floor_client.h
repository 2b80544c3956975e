// SPDX-License-Identifier: MIT
// The physical floor of a call: a plain socket client that connects to the
// server, sends request bytes captured from the library, reads the whole
// response into memory and closes. No XML, no result document. On a kept
// connection the floor is the same socket left open: one request and one
// answer per call.
#ifndef NVBENCH_FLOOR_CLIENT_H
#define NVBENCH_FLOOR_CLIENT_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace nvbench {

// Response bytes in an uninitialised block: the floor touches each byte once.
struct Received {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
  std::string_view view() const { return {bytes.get(), size}; }
};

// One exchange with 127.0.0.1:port; the response as received (headers and
// body). Once the response head is in, the block is sized by its
// Content-Length, so a big body is read straight into place. Throws on a
// socket failure.
Received floorExchange(int port, const std::string& request);

// One connection to 127.0.0.1:port kept open for every exchange; the server
// must keep it too and answer with Content-Length. Throws on a socket
// failure, a connection closed before the whole answer, and when a
// connection cannot be made.
class KeptFloor {
 public:
  explicit KeptFloor(int port);
  ~KeptFloor();
  KeptFloor(const KeptFloor&) = delete;
  KeptFloor& operator=(const KeptFloor&) = delete;

  Received exchange(const std::string& request);

 private:
  int fd_;
};

}  // namespace nvbench

#endif
