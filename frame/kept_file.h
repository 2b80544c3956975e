// SPDX-License-Identifier: MIT
// The settings files every call reads (NvConfiguration.ini, NvTrace.ini,
// NvNetwork.ini) as they stand, without reading an unchanged one again: a
// copy of each is kept, process-wide, with the stamp it was read under
// (text/platform.h). A call looks at the file's stamp alone, and reads
// it again when anything differs: another file under the name (the
// working directory changed, the file was replaced), another size, another
// modification time. A file changed within the last 2 s is always read
// again, so that an edit within one tick of a coarse clock (FAT, a network
// share) is never missed. The next call after an edit sees the edit.
#ifndef NV_FRAME_KEPT_FILE_H
#define NV_FRAME_KEPT_FILE_H

#include <string>

#include "text/platform.h"

namespace nv {

// As readRegularFile. Throws std::bad_alloc when memory runs out.
FileRead readKeptFile(const char* name, std::string& bytes);

// Forgets every kept copy (the library's unloading).
void releaseKeptFiles();

}  // namespace nv

#endif
