// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "NvInterFace.h"

namespace {

struct Block {
  explicit Block(char* p) : text(p) {}
  ~Block() { freeResult(text); }
  char* text;
};

TEST(CodecExports, Table) {
  const struct {
    char* (*fn)(const char*);
    const char* name;
    const char* in;
    std::string out;
  } cases[] = {
      {Encypt, "Encypt", "abc", "YWJj"},
      {Encypt, "Encypt", "", ""},
      {Encypt, "Encypt", nullptr, ""},
      {Encypt, "Encypt", "\xD6\xD0", "1tA="},
      {DeEncypt, "DeEncypt", "YQ==", "a"},
      {DeEncypt, "DeEncypt", "", ""},
      {DeEncypt, "DeEncypt", nullptr, ""},
      {DeEncypt, "DeEncypt", "YWJj", "abc"},
      {DeEncypt, "DeEncypt", "YWJjZA", "abcd"},  // partial group as if padded
      {DeEncypt, "DeEncypt", "1tA=", "\xD6\xD0"},
      {DeEncypt, "DeEncypt", "YQBi", "a"},             // ends at the first zero byte
      {DeEncypt, "DeEncypt", "!!!!", "\xFF\xFF\xFF"},  // stray bytes: all bits set
  };
  for (const auto& c : cases) {
    Block block(c.fn(c.in));
    ASSERT_NE(block.text, nullptr);
    EXPECT_EQ(std::string(block.text), c.out) << c.name << "(" << (c.in ? c.in : "null") << ")";
    EXPECT_EQ(block.text[3999], '\0') << "blocks are at least 4000 bytes";
  }
}

TEST(CodecExports, LongTextsRoundTripWhole) {
  for (size_t length : {2997u, 2998u, 4000u, 1u << 20}) {
    std::string text(length, 'z');
    text[length / 2] = '\xB0';
    Block encoded(Encypt(text.c_str()));
    ASSERT_NE(encoded.text, nullptr);
    EXPECT_EQ(std::strlen(encoded.text), (length + 2) / 3 * 4);
    Block decoded(DeEncypt(encoded.text));
    EXPECT_EQ(std::string(decoded.text), text) << length;
  }
}

}  // namespace
