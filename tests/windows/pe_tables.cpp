// SPDX-License-Identifier: MIT
#include "tests/windows/pe_tables.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace nvwine {

PeTables parseObjdump(const std::string& text) {
  static const std::regex formatLine(R"(file format (\S+))");
  static const std::regex importLine(R"(^\s*DLL Name: (\S+)\s*$)");
  static const std::regex exportLine(R"(^\s*\[\s*\d+\] (\S+)\s*$)");
  PeTables tables;
  std::istringstream lines(text);
  std::string line;
  bool inExportNames = false;
  std::smatch m;
  while (std::getline(lines, line)) {
    if (tables.format.empty() && std::regex_search(line, m, formatLine)) tables.format = m[1];
    if (std::regex_match(line, m, importLine)) tables.imports.push_back(m[1]);
    if (line.rfind("[Ordinal/Name Pointer] Table", 0) == 0) {
      inExportNames = true;
      continue;
    }
    if (inExportNames) {
      if (std::regex_match(line, m, exportLine))
        tables.exports.push_back(m[1]);
      else
        inExportNames = false;
    }
  }
  return tables;
}

std::string runObjdump(const std::string& objdump, const std::string& file) {
  std::string command = "'" + objdump + "' -p '" + file + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  return text;
}

std::vector<std::string> definitionFileExports(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> names;
  std::string line;
  bool inExports = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "EXPORTS") {
      inExports = true;
    } else if (inExports) {
      names.push_back(word);
    }
  }
  return names;
}

}  // namespace nvwine
