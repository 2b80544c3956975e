// SPDX-License-Identifier: MIT
// NvConfiguration.ini as the library's calls read it: through the kept copy
// (frame/kept_file.h). The tools read the file themselves and parse it with
// parseCentreTable.
#include "frame/centre_store.h"
#include "frame/kept_file.h"

namespace nv {

CentreTable loadCentreTable() {
  // Read as bytes on every platform, so a Windows host sees the same records.
  std::string bytes;
  if (readKeptFile(kConfigurationFile, bytes) != FileRead::kRead) return {};
  return parseCentreTable(bytes);
}

CentreRecord findCentre(std::string_view code) { return findCentre(loadCentreTable(), code); }

}  // namespace nv
