// SPDX-License-Identifier: MIT
/* Included before the SOAP runtime's own sources in a test build with
   allocation gates (cmake/Gsoap.cmake): the runtime then asks the gate for
   its memory, so that a test can refuse any of its requests. */
#ifndef NV_TEXT_ALLOCATION_GATE_RUNTIME_H
#define NV_TEXT_ALLOCATION_GATE_RUNTIME_H

#include <stddef.h>

#ifdef __cplusplus
extern "C"
#endif
    void*
    nv_gated_malloc(size_t size);

#define SOAP_MALLOC(soap, size) nv_gated_malloc((size))
#define SOAP_MALLOC_UNMANAGED(size) nv_gated_malloc((size))

#endif
