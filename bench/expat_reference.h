// SPDX-License-Identifier: MIT
/* The streaming reference of the catalogue download: a minimal C client on
   expat. It sends the request bytes over a plain socket, parses the answer
   with expat as the bytes arrive, base64-decodes every member of every list
   entry and writes the rows into one growing text, marked up as the result
   document's rows. What the library's download costs beyond it is the cost
   of the library's own design. */
#ifndef NVBENCH_EXPAT_REFERENCE_H
#define NVBENCH_EXPAT_REFERENCE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

struct nvref_download {
  char* text;          /* the rows; release with nvref_release */
  size_t length;       /* bytes of text */
  long rows;           /* list entries read */
  size_t answer_bytes; /* HTTP body bytes parsed */
};

/* One exchange with 127.0.0.1:port. The answer must carry Content-Length
   (the benchmark's servers always do). Returns 0 on success; otherwise -1
   with `error` naming what failed. */
int nvref_exchange(int port, const char* request, size_t request_length, struct nvref_download* out,
                   const char** error);
void nvref_release(struct nvref_download* download);

#ifdef __cplusplus
}
#endif

#endif
