// SPDX-License-Identifier: MIT
// The declarations other languages and tools make of the exports, written
// from the facts in the header's order: the module definition, the list of
// exports the tools call by name, and the C# and Pascal wrappers' blocks.
#ifndef NV_TOOLS_EXPORT_FILES_DECLARATIONS_H
#define NV_TOOLS_EXPORT_FILES_DECLARATIONS_H

#include <string>
#include <vector>

#include "frame/export_sheet.h"

namespace nvgen {

using Facts = std::vector<nv::ExportFacts>;

// exports/NvInterFace.def, whole.
std::string moduleDefinition(const Facts& facts);
// The NV_EXPORT_LIST block of tools/common/export_list.h.
std::string exportList(const Facts& facts);
// wrappers/NvInterFace.cs: the DllImport declarations, and the methods
// taking .NET strings.
std::string csharpNative(const Facts& facts);
std::string csharpStrings(const Facts& facts);
// wrappers/NvInterFace.pas: the external declarations, and the string
// functions' declarations and definitions.
std::string pascalExternals(const Facts& facts);
std::string pascalStringDeclarations(const Facts& facts);
std::string pascalStringDefinitions(const Facts& facts);

// Puts block between the line holding "BEGIN <marker>" and the line holding
// "END <marker>", in place of what was there; false when text lacks either.
bool replaceBlock(std::string& text, const std::string& marker, const std::string& block);

}  // namespace nvgen

#endif
