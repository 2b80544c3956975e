// SPDX-License-Identifier: MIT
// Writes every file made from the export sheets, or checks that the
// committed ones are what the sheets say. The sheets are the one source of
// an export's name, arguments, checks, request members and meanings;
// NvInterFace.h, written by hand as the contract, must agree with them.
//
//   nv_export_files SOURCE_DIR           writes the files below SOURCE_DIR
//   nv_export_files --check SOURCE_DIR   exit status 1 when one differs, or
//                                        when NvInterFace.h and the sheets disagree
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/export_files/declarations.h"
#include "tools/export_files/header_contract.h"
#include "tools/export_files/reference_text.h"

namespace {

std::vector<nv::ExportFacts> allFacts() {
  std::vector<nv::ExportFacts> facts;
  nv::addCodecFacts(facts);
  nv::addCentreListingFacts(facts);
  nv::addMemberHospitalFacts(facts);
  nv::addOutpatientFacts(facts);
  nv::addInpatientFacts(facts);
  nv::addCatalogueFacts(facts);
  nv::addCodeTableFacts(facts);
  return facts;
}

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  text = read.str();
  return static_cast<bool>(in);
}

// The line number (from 1) where two texts first differ.
size_t firstDifferentLine(const std::string& a, const std::string& b) {
  size_t line = 1;
  for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) line += a[i] == '\n';
  return line;
}

// A file made from the facts: whole, or blocks of a hand-written file
// between their marker lines.
struct Made {
  const char* path;  // below the source directory
  std::function<std::string(const nvgen::Facts&)> whole;
  std::vector<std::pair<const char*, std::string (*)(const nvgen::Facts&)>> blocks;
};

std::vector<Made> madeFiles() {
  using nvref::Language;
  return {
      {"docs/reference.zh.md", [](const nvgen::Facts& f) { return nvref::renderReference(f, Language::kChinese); }, {}},
      {"docs/reference.en.md", [](const nvgen::Facts& f) { return nvref::renderReference(f, Language::kEnglish); }, {}},
      {"exports/NvInterFace.def", nvgen::moduleDefinition, {}},
      {"tools/common/export_list.h", nullptr, {{"nv_export_files: list of exports", nvgen::exportList}}},
      {"wrappers/NvInterFace.cs",
       nullptr,
       {{"nv_export_files: native declarations", nvgen::csharpNative},
        {"nv_export_files: string methods", nvgen::csharpStrings}}},
      {"wrappers/NvInterFace.pas",
       nullptr,
       {{"nv_export_files: external declarations", nvgen::pascalExternals},
        {"nv_export_files: string function declarations", nvgen::pascalStringDeclarations},
        {"nv_export_files: string function definitions", nvgen::pascalStringDefinitions}}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool check = !args.empty() && args[0] == "--check";
  if (args.size() != (check ? 2u : 1u)) {
    std::cerr << "usage: nv_export_files [--check] SOURCE_DIR\n";
    return 2;
  }
  const std::string root = args.back();
  std::string header;
  if (!readFile(root + "/include/NvInterFace.h", header)) {
    std::cerr << "nv_export_files: cannot read " << root << "/include/NvInterFace.h\n";
    return 1;
  }
  const std::vector<nvgen::Prototype> prototypes = nvgen::readPrototypes(header);
  const std::vector<nv::ExportFacts> unordered = allFacts();
  std::vector<std::string> problems = nvgen::contractProblems(prototypes, unordered);
  for (const std::string& problem : nvref::factProblems(unordered)) problems.push_back(problem);
  for (const std::string& problem : problems) std::cerr << "nv_export_files: " << problem << "\n";
  if (!problems.empty()) return 1;
  const nvgen::Facts facts = nvgen::inHeaderOrder(prototypes, unordered);

  int status = 0;
  for (const Made& made : madeFiles()) {
    const std::string path = root + "/" + made.path;
    std::string committed;
    const bool present = readFile(path, committed);
    std::string text = committed;
    bool complete = true;
    if (made.whole) {
      text = made.whole(facts);
    } else {
      for (const auto& [marker, block] : made.blocks)
        if (!present || !nvgen::replaceBlock(text, marker, block(facts))) {
          std::cerr << "nv_export_files: " << path << " lacks the lines BEGIN and END " << marker << "\n";
          complete = false;
        }
    }
    if (!complete) {
      status = 1;
      continue;
    }
    if (text == committed) continue;
    if (check) {
      std::cerr << "nv_export_files: " << path << " differs from the export sheets from line "
                << firstDifferentLine(committed, text) << " on; write it anew with nv_export_files " << root << "\n";
      status = 1;
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
      std::cerr << "nv_export_files: cannot write " << path << "\n";
      status = 1;
    }
  }
  return status;
}
