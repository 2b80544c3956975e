// SPDX-License-Identifier: MIT
// The shared object shows the HIS the exports and nothing else of its own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

std::set<std::string> definitionNames() {
  std::ifstream def(std::string(NV_SOURCE_DIR) + "/exports/NvInterFace.def");
  std::set<std::string> names;
  std::string line;
  bool inExports = false;
  while (def >> line) {
    if (line == "EXPORTS")
      inExports = true;
    else if (inExports)
      names.insert(line);
  }
  return names;
}

std::set<std::string> dynamicSymbols(const std::string& path) {
  std::set<std::string> names;
  FILE* pipe = popen(("nm -D --defined-only " + path).c_str(), "r");
  if (pipe == nullptr) return names;
  char address[64], type[8], name[512];
  while (fscanf(pipe, "%63s %7s %511s", address, type, name) == 3) names.insert(name);
  pclose(pipe);
  return names;
}

TEST(SharedObject, ExportsExactlyTheModuleDefinition) {
  std::set<std::string> expected = definitionNames();
  ASSERT_EQ(expected.size(), 37u);  // the 36 functions of the interface and freeResult
  EXPECT_EQ(dynamicSymbols(NV_SHARED_LIBRARY), expected);
}

TEST(SharedObject, LoadsAndAnswers) {
  void* library = dlopen(NV_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const std::string& name : definitionNames()) EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  auto encypt = reinterpret_cast<char* (*)(const char*)>(dlsym(library, "Encypt"));
  auto release = reinterpret_cast<void (*)(char*)>(dlsym(library, "freeResult"));
  char* text = encypt("abc");
  EXPECT_STREQ(text, "YWJj");
  release(text);
  dlclose(library);
}

}  // namespace
