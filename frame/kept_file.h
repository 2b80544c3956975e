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

#include <memory>
#include <string>
#include <string_view>

#include "text/platform.h"

namespace nv {

// As readRegularFile. Throws std::bad_alloc when memory runs out.
FileRead readKeptFile(const char* name, std::string& bytes);

// What a caller makes of a file's bytes (a parsed table), kept with the
// copy of the file: made once for each state of the file and shared by
// every call that finds the file in that state; an unsettled file's is made
// afresh on each call. Null unless state is kRead. One maker per file name.
using MadeFromFile = std::shared_ptr<const void>;
using MakeFromFile = MadeFromFile (*)(std::string_view bytes);
MadeFromFile readKeptFileAs(const char* name, MakeFromFile make, FileRead& state);

// Forgets every kept copy (the library's unloading).
void releaseKeptFiles();

}  // namespace nv

#endif
