// SPDX-License-Identifier: MIT
// NvInterFace.h against the sheets' facts, and the splicing of written
// blocks into hand-written files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/export_files/declarations.h"
#include "tools/export_files/header_contract.h"

namespace {

struct Described {
  const char* name;
  std::vector<const char*> parameters;
};

struct ContractCase {
  const char* label;
  const char* header;
  std::vector<Described> sheets;
  std::vector<std::string> problems;
};

std::vector<nv::ExportFacts> factsOf(const std::vector<Described>& sheets) {
  std::vector<nv::ExportFacts> facts;
  for (const Described& d : sheets) {
    facts.emplace_back(d.name, nv::ExportKind::kTemplate);
    facts.back().parameters = d.parameters;
  }
  return facts;
}

const char* const kTwoExports =
    "/* NV_API char* NV_CALL commented(NvText x); */\n"
    "#define NV_API\n"
    "NV_API char* NV_CALL first(NvText a,\n"
    "                           NvText b);  // NV_API char* NV_CALL inLineComment(NvText y);\n"
    "NV_API void NV_CALL release(char* result);\n"
    "NV_API char* NV_CALL none(void);\n";

const ContractCase kContractCases[] = {
    {"agreeing", kTwoExports, {{"none", {}}, {"first", {"a", "b"}}, {"release", {"result"}}}, {}},
    {"renamed",
     kTwoExports,
     {{"first", {"a", "c"}}, {"release", {"result"}}, {"none", {}}},
     {"first: parameter 2 is b in NvInterFace.h, c in its sheet"}},
    {"one more",
     kTwoExports,
     {{"first", {"a", "b", "c"}}, {"release", {"result"}}, {"none", {}}},
     {"first: 2 parameters in NvInterFace.h, 3 in its sheet"}},
    {"swapped",
     kTwoExports,
     {{"first", {"b", "a"}}, {"release", {"result"}}, {"none", {}}},
     {"first: parameter 1 is a in NvInterFace.h, b in its sheet",
      "first: parameter 2 is b in NvInterFace.h, a in its sheet"}},
    {"no sheet",
     kTwoExports,
     {{"first", {"a", "b"}}, {"none", {}}},
     {"release: declared in NvInterFace.h, but no sheet describes it"}},
    {"not declared",
     kTwoExports,
     {{"first", {"a", "b"}}, {"release", {"result"}}, {"none", {}}, {"commented", {"x"}}},
     {"commented: declared 0 times in NvInterFace.h, not once"}},
    {"declared twice",
     "NV_API char* NV_CALL twice(NvText a);\nNV_API char* NV_CALL twice(NvText a);\n",
     {{"twice", {"a"}}},
     {"twice: declared 2 times in NvInterFace.h, not once"}},
};

TEST(HeaderContract, HoldsTheHeaderAgainstTheSheets) {
  for (const ContractCase& c : kContractCases) {
    SCOPED_TRACE(c.label);
    const std::vector<nvgen::Prototype> header = nvgen::readPrototypes(c.header);
    EXPECT_EQ(nvgen::contractProblems(header, factsOf(c.sheets)), c.problems);
  }
}

TEST(HeaderContract, OrdersTheFactsAsTheHeaderDoes) {
  const std::vector<nvgen::Prototype> header = nvgen::readPrototypes(kTwoExports);
  std::vector<std::string> names;
  for (const nv::ExportFacts& f : nvgen::inHeaderOrder(header, factsOf(kContractCases[0].sheets)))
    names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"first", "release", "none"}));
}

struct BlockCase {
  const char* label;
  const char* text;
  bool replaced;
  const char* after;  // the text afterwards
};

const BlockCase kBlockCases[] = {
    {"between its lines", "keep\n// BEGIN m (note)\nold\nold\n// END m\nkeep\n", true,
     "keep\n// BEGIN m (note)\nnew\n// END m\nkeep\n"},
    {"empty before", "{ BEGIN m }\n{ END m }\n", true, "{ BEGIN m }\nnew\n{ END m }\n"},
    {"no end", "// BEGIN m\nold\n", false, "// BEGIN m\nold\n"},
    {"end first", "// END m\nold\n// BEGIN m\n", false, "// END m\nold\n// BEGIN m\n"},
    {"another marker", "// BEGIN mm\nold\n// END mm\n", false, "// BEGIN mm\nold\n// END mm\n"},
};

TEST(WrittenBlocks, ReplaceOnlyWhatLiesBetweenTheirMarkers) {
  for (const BlockCase& c : kBlockCases) {
    SCOPED_TRACE(c.label);
    std::string text = c.text;
    EXPECT_EQ(nvgen::replaceBlock(text, "m", "new\n"), c.replaced);
    EXPECT_EQ(text, c.after);
  }
}

}  // namespace
