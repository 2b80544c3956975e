// SPDX-License-Identifier: MIT
// The allocation gates of a test build (NV_ALLOCATION_GATES): arming this
// thread's gate makes its k-th request for memory, counting from 1, fail;
// the requests after it are granted again. Tests and their own allocators
// (operator new, libcurl's, OpenSSL's) consult nv::allocationAllowed().
#ifndef NV_TEXT_ALLOCATION_GATE_SEAMS_H
#define NV_TEXT_ALLOCATION_GATE_SEAMS_H

namespace nv::seams {

// Arms the gate (k > 0) or disarms it (0); the count starts again.
void failAllocation(long k);
// Requests for memory counted since the gate was armed.
long allocationsCounted();
// Whether the armed request was refused.
bool allocationFailed();

}  // namespace nv::seams

#endif
