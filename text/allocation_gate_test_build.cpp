// SPDX-License-Identifier: MIT
#include <cstdlib>

#include "text/allocation_gate.h"
#include "text/allocation_gate_runtime.h"
#include "text/allocation_gate_seams.h"

namespace nv {
namespace {
thread_local long failAt = 0;  // 0: disarmed
thread_local long counted = 0;
thread_local bool failed = false;
}  // namespace

bool allocationAllowed() {
  if (failAt == 0) return true;
  if (++counted != failAt) return true;
  failed = true;
  return false;
}

void* gatedMalloc(size_t size) { return allocationAllowed() ? std::malloc(size) : nullptr; }
void* gatedRealloc(void* block, size_t size) { return allocationAllowed() ? std::realloc(block, size) : nullptr; }
void gatedFree(void* block) { std::free(block); }

namespace seams {
void failAllocation(long k) {
  failAt = k;
  counted = 0;
  failed = false;
}
long allocationsCounted() { return counted; }
bool allocationFailed() { return failed; }
}  // namespace seams

}  // namespace nv

extern "C" void* nv_gated_malloc(size_t size) { return nv::gatedMalloc(size); }
