// SPDX-License-Identifier: MIT
// What the reference's code tables say of the sandbox centre is what its
// sources answer: every value and message they quote is one of the
// sandbox's string literals.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/export_files/reference_text.h"

namespace {

// The text of every source of the sandbox centre.
std::string sandboxSources() {
  const std::string folder = NV_SOURCE_DIR "/tools/sandbox";
  std::string all;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return all;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".cpp") != 0) continue;
    std::ifstream in(folder + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    all += text.str();
  }
  closedir(dir);
  return all;
}

TEST(ReferenceCodeTables, QuoteTheSandboxsOwnTexts) {
  const std::string sources = sandboxSources();
  ASSERT_NE(sources.find("BusinessError("), std::string::npos) << "no sandbox sources read";
  const std::vector<std::string> quoted = nvref::sandboxTextsQuoted();
  ASSERT_GE(quoted.size(), 10u);
  for (const std::string& text : quoted) EXPECT_NE(sources.find("\"" + text + "\""), std::string::npos) << text;
}

}  // namespace
