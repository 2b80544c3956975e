// SPDX-License-Identifier: MIT
// Writes the reference of every export from the export sheets, or checks
// that the committed one is what the sheets say.
//
//   nv_reference DIR           writes DIR/reference.zh.md and DIR/reference.en.md
//   nv_reference --check DIR   exit status 1 when they differ from the sheets
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/reference/reference_text.h"

namespace {

std::vector<nv::ExportFacts> allFacts() {
  std::vector<nv::ExportFacts> facts;
  nv::addCodecFacts(facts);
  nv::addCentreListingFacts(facts);
  nv::addMemberHospitalFacts(facts);
  nv::addOutpatientFacts(facts);
  nv::addInpatientFacts(facts);
  nv::addCatalogueFacts(facts);
  return facts;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The line number (from 1) where two texts first differ.
size_t firstDifferentLine(const std::string& a, const std::string& b) {
  size_t line = 1;
  for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) line += a[i] == '\n';
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool check = !args.empty() && args[0] == "--check";
  if (args.size() != (check ? 2u : 1u)) {
    std::cerr << "usage: nv_reference [--check] DIR\n";
    return 2;
  }
  const std::string dir = args.back();
  const std::vector<nv::ExportFacts> facts = allFacts();
  std::vector<std::string> problems = nvref::factProblems(facts);
  for (const std::string& problem : problems) std::cerr << "nv_reference: " << problem << "\n";
  if (!problems.empty()) return 1;

  int status = 0;
  for (auto [language, name] : {std::pair{nvref::Language::kChinese, "reference.zh.md"},
                                std::pair{nvref::Language::kEnglish, "reference.en.md"}}) {
    const std::string path = dir + "/" + name;
    const std::string text = nvref::renderReference(facts, language);
    if (check) {
      std::string committed = fileText(path);
      if (committed != text) {
        std::cerr << "nv_reference: " << path << " differs from the export sheets from line "
                  << firstDifferentLine(committed, text) << " on; write it anew with nv_reference " << dir << "\n";
        status = 1;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
      std::cerr << "nv_reference: cannot write " << path << "\n";
      status = 1;
    }
  }
  return status;
}
