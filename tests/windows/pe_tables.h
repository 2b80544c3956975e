// SPDX-License-Identifier: MIT
// What a Windows DLL shows the loader, read with objdump -p: its format, the
// names of its exports and the DLLs it imports.
#ifndef NV_TESTS_WINDOWS_PE_TABLES_H
#define NV_TESTS_WINDOWS_PE_TABLES_H

#include <string>
#include <vector>

namespace nvwine {

struct PeTables {
  std::string format;                // "pei-i386" for a 32-bit x86 PE file
  std::vector<std::string> exports;  // names, as the export table spells them
  std::vector<std::string> imports;  // DLL names, as the import table spells them
};

// Parses the text of `objdump -p`.
PeTables parseObjdump(const std::string& text);

// Runs `objdump -p file`; "" and an empty table when it cannot run.
std::string runObjdump(const std::string& objdump, const std::string& file);

// The EXPORTS names of a module definition file, in file order.
std::vector<std::string> definitionFileExports(const std::string& path);

}  // namespace nvwine

#endif
