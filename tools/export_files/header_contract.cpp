// SPDX-License-Identifier: MIT
#include "tools/export_files/header_contract.h"

#include <regex>

namespace nvgen {

std::vector<Prototype> readPrototypes(const std::string& header) {
  // Comments could hold text like a prototype: they are dropped first.
  const std::string code = std::regex_replace(header, std::regex(R"(/\*[\s\S]*?\*/|//[^\n]*)"), " ");
  static const std::regex prototype(R"(NV_API\s+[^;(){}]*?\bNV_CALL\s+(\w+)\s*\(([^)]*)\)\s*;)");
  static const std::regex word(R"(\w+)");
  std::vector<Prototype> found;
  for (std::sregex_iterator it(code.begin(), code.end(), prototype), end; it != end; ++it) {
    Prototype p{(*it)[1], {}};
    const std::string list = (*it)[2];
    size_t start = 0;
    while (start <= list.size()) {
      size_t comma = list.find(',', start);
      if (comma == std::string::npos) comma = list.size();
      const std::string parameter = list.substr(start, comma - start);
      std::string last;
      for (std::sregex_iterator w(parameter.begin(), parameter.end(), word), wend; w != wend; ++w) last = w->str();
      if (!last.empty() && !(last == "void" && p.parameters.empty() && comma == list.size()))
        p.parameters.push_back(last);
      start = comma + 1;
    }
    found.push_back(std::move(p));
  }
  return found;
}

namespace {

const nv::ExportFacts* factsNamed(const std::vector<nv::ExportFacts>& facts, const std::string& name) {
  for (const nv::ExportFacts& f : facts)
    if (name == f.name) return &f;
  return nullptr;
}

}  // namespace

std::vector<std::string> contractProblems(const std::vector<Prototype>& header,
                                          const std::vector<nv::ExportFacts>& facts) {
  std::vector<std::string> problems;
  for (const Prototype& p : header) {
    const nv::ExportFacts* f = factsNamed(facts, p.name);
    if (!f) {
      problems.push_back(p.name + ": declared in NvInterFace.h, but no sheet describes it");
      continue;
    }
    if (f->parameters.size() != p.parameters.size()) {
      problems.push_back(p.name + ": " + std::to_string(p.parameters.size()) + " parameters in NvInterFace.h, " +
                         std::to_string(f->parameters.size()) + " in its sheet");
      continue;
    }
    for (size_t i = 0; i < p.parameters.size(); ++i)
      if (p.parameters[i] != f->parameters[i])
        problems.push_back(p.name + ": parameter " + std::to_string(i + 1) + " is " + p.parameters[i] +
                           " in NvInterFace.h, " + f->parameters[i] + " in its sheet");
  }
  for (const nv::ExportFacts& f : facts) {
    int declared = 0;
    for (const Prototype& p : header) declared += p.name == f.name;
    if (declared != 1)
      problems.push_back(std::string(f.name) + ": declared " + std::to_string(declared) +
                         " times in NvInterFace.h, not once");
  }
  return problems;
}

std::vector<nv::ExportFacts> inHeaderOrder(const std::vector<Prototype>& header,
                                           const std::vector<nv::ExportFacts>& facts) {
  std::vector<nv::ExportFacts> ordered;
  for (const Prototype& p : header)
    if (const nv::ExportFacts* f = factsNamed(facts, p.name)) ordered.push_back(*f);
  return ordered;
}

}  // namespace nvgen
