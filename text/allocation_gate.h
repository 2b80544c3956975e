// SPDX-License-Identifier: MIT
// The library's own requests for memory outside operator new: the result
// text, the XML parser's blocks and, in a test build, the SOAP runtime's. A
// test build (NV_ALLOCATION_GATES, allocation_gate_test_build.cpp) can make
// any one of them fail, so that every path through a failure is tried; in
// the library as shipped (allocation_gate.cpp) each is plain malloc.
#ifndef NV_TEXT_ALLOCATION_GATE_H
#define NV_TEXT_ALLOCATION_GATE_H

#include <cstddef>

namespace nv {

// Whether the next request for memory on this thread may be granted.
bool allocationAllowed();

void* gatedMalloc(size_t size);
void* gatedRealloc(void* block, size_t size);
void gatedFree(void* block);

}  // namespace nv

#endif
