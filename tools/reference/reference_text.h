// SPDX-License-Identifier: MIT
// The reference of the exports as Markdown, in Chinese or English, from the
// facts the export sheets state.
#ifndef NV_TOOLS_REFERENCE_TEXT_H
#define NV_TOOLS_REFERENCE_TEXT_H

#include <string>
#include <vector>

#include "frame/export_sheet.h"

namespace nvref {

enum class Language { kChinese, kEnglish };

// What is wrong with the facts (an export of NvInterFace.h without facts, a
// meaning missing or too many, a check of an argument that does not exist);
// empty when they can be written.
std::vector<std::string> factProblems(const std::vector<nv::ExportFacts>& facts);

// The whole document, UTF-8 (the sheets' texts are GBK and are converted).
std::string renderReference(const std::vector<nv::ExportFacts>& facts, Language language);

}  // namespace nvref

#endif
