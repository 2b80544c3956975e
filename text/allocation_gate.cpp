// SPDX-License-Identifier: MIT
#include "text/allocation_gate.h"

#include <cstdlib>

namespace nv {

bool allocationAllowed() { return true; }
void* gatedMalloc(size_t size) { return std::malloc(size); }
void* gatedRealloc(void* block, size_t size) { return std::realloc(block, size); }
void gatedFree(void* block) { std::free(block); }

}  // namespace nv
