// SPDX-License-Identifier: MIT
// NvConfiguration.ini: which centres the hospital deals with, where their
// service is and the hospital's own codes there.
#ifndef NV_FRAME_CENTRE_STORE_H
#define NV_FRAME_CENTRE_STORE_H

#include <string>
#include <string_view>
#include <vector>

namespace nv {

// One configured centre; a field the file does not set is the empty text.
struct CentreRecord {
  std::string CenterNO;
  std::string ServiceURL;
  std::string HOSP_CODE;
  std::string ORG_LEVEL;
  std::string UserNo;
  std::string BK;
};

using CentreTable = std::vector<CentreRecord>;

inline constexpr const char* kConfigurationFile = "NvConfiguration.ini";

// Parses the file's bytes: groups of six lines, each line "key" + any one
// separator byte + a base64 value. A trailing incomplete group is dropped.
// A UTF-8 byte order mark opening the file is skipped.
CentreTable parseCentreTable(std::string_view fileBytes);

// Reads NvConfiguration.ini as it stands in the current working directory
// (an unchanged file from the copy kept of it, frame/kept_file.h); a missing
// or unreadable file gives an empty table.
CentreTable loadCentreTable();

// The last record whose CenterNO equals code, the first record for an empty
// code, or a record of empty fields when there is none.
CentreRecord findCentre(const CentreTable& table, std::string_view code);
CentreRecord findCentre(std::string_view code);

}  // namespace nv

#endif
