// SPDX-License-Identifier: MIT
// NvConfiguration.ini as the library's calls read it: through the kept copy
// (frame/kept_file.h). The tools read the file themselves and parse it with
// parseCentreTable.
#include "frame/centre_store.h"
#include "frame/kept_file.h"

namespace nv {
namespace {

MadeFromFile makeCentreTable(std::string_view bytes) {
  return std::make_shared<const CentreTable>(parseCentreTable(bytes));
}

// Parsed once for each state of the file (frame/kept_file.h). Read as bytes
// on every platform, so a Windows host sees the same records.
std::shared_ptr<const CentreTable> keptCentreTable() {
  FileRead state;
  return std::static_pointer_cast<const CentreTable>(readKeptFileAs(kConfigurationFile, makeCentreTable, state));
}

}  // namespace

CentreTable loadCentreTable() {
  std::shared_ptr<const CentreTable> table = keptCentreTable();
  return table ? *table : CentreTable();
}

CentreRecord findCentre(std::string_view code) {
  std::shared_ptr<const CentreTable> table = keptCentreTable();
  return table ? findCentre(*table, code) : findCentre(CentreTable(), code);
}

}  // namespace nv
