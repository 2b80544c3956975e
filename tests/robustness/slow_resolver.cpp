// SPDX-License-Identifier: MIT
// A system resolver that does not answer, for the names under
// "slow-resolver.test": the test program's own getaddrinfo, which the HTTP
// library's resolver thread calls in place of the C library's, holds such a
// lookup for kSlowResolverMs and then fails it. Other names go to the C
// library's.
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

#include "tests/robustness/slow_resolver.h"

extern "C" __attribute__((visibility("default"))) int getaddrinfo(const char* node, const char* service,
                                                                  const struct addrinfo* hints,
                                                                  struct addrinfo** result) {
  const char* suffix = "slow-resolver.test";
  if (node != nullptr) {
    size_t length = std::strlen(node), tail = std::strlen(suffix);
    if (length >= tail && std::strcmp(node + length - tail, suffix) == 0) {
      ::usleep(nvtest::kSlowResolverMs * 1000);
      return EAI_AGAIN;
    }
  }
  using Real = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
  return real(node, service, hints, result);
}
