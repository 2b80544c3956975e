// SPDX-License-Identifier: MIT
// The reference of the exports as Markdown, in Chinese or English, from the
// facts the export sheets state.
#ifndef NV_TOOLS_EXPORT_FILES_REFERENCE_TEXT_H
#define NV_TOOLS_EXPORT_FILES_REFERENCE_TEXT_H

#include <string>
#include <vector>

#include "frame/export_sheet.h"

namespace nvref {

enum class Language { kChinese, kEnglish };

// What is wrong with the facts (an export described twice, a meaning
// missing or too many, a check of an argument that does not exist); empty
// when they can be written. header_contract.h holds them against the header.
std::vector<std::string> factProblems(const std::vector<nv::ExportFacts>& facts);

// The whole document, UTF-8 (the sheets' texts are GBK and are converted),
// with the exports in the order of facts.
std::string renderReference(const std::vector<nv::ExportFacts>& facts, Language language);

// The code tables section: every coded argument and result value, what the
// centre defines, where to get it, and the sandbox centre's values and
// messages.
std::string codeTables(Language language);

// The sandbox's texts the code tables quote (UTF-8): each is a string
// literal of the sandbox's sources.
std::vector<std::string> sandboxTextsQuoted();

}  // namespace nvref

#endif
