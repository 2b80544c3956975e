// SPDX-License-Identifier: MIT
// NvInterFace.h is written by hand: it is the contract. These read its
// prototypes and hold them against the export sheets.
#ifndef NV_TOOLS_EXPORT_FILES_HEADER_CONTRACT_H
#define NV_TOOLS_EXPORT_FILES_HEADER_CONTRACT_H

#include <string>
#include <vector>

#include "frame/export_sheet.h"

namespace nvgen {

struct Prototype {
  std::string name;
  std::vector<std::string> parameters;
};

// Every NV_API prototype of the header's text, in its order.
std::vector<Prototype> readPrototypes(const std::string& header);

// Where the header and the facts disagree: an export one of them lacks, or
// a parameter count, name or order that differs. Empty when they agree.
std::vector<std::string> contractProblems(const std::vector<Prototype>& header,
                                          const std::vector<nv::ExportFacts>& facts);

// The facts in the header's order (every prototype has its facts: see
// contractProblems).
std::vector<nv::ExportFacts> inHeaderOrder(const std::vector<Prototype>& header,
                                           const std::vector<nv::ExportFacts>& facts);

}  // namespace nvgen

#endif
