// SPDX-License-Identifier: MIT
#include "text/codec.h"
#include "text/gbk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(Codec, EncodeTable) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"abc", "YWJj"},      {"ab", "YWI="}, {"a", "YQ=="},
      {"\xD6\xD0", "1tA="}, {"", ""},       {std::string("\0\xFF\x80", 3), "AP+A"},
  };
  for (const auto& c : cases) EXPECT_EQ(nv::base64Encode(c.in), c.out) << c.in;
}

TEST(Codec, DecodeFieldTable) {
  const struct {
    std::string in, out, why;
  } cases[] = {
      {"YWJj", "abc", "well-formed"},
      {"YWJj\r\n", "abc", "line breaks removed first"},
      {"YW\r\nJj", "abc", "line breaks anywhere"},
      {"abc", "abc", "length not a multiple of four"},
      {"abcd", "\x69\xB7\x1D", "well-formed plain text is decoded"},
      {"YW Jj", "YW Jj", "blank is not base64"},
      {"\r\n", "", "nothing left"},
      {"", "", "empty"},
      {"MTIzNDU2Nzg5MDEy", "123456789012", "twelve digits"},
      {"YWI=", "ab", "one pad"},
      {"YQ==", "a", "two pads"},
      {"YQ==\r", "a", "trailing CR"},
      {"http://a:1/x", "http://a:1/x", "address stays"},
      {"YWJj ", "YWJj ", "trailing blank"},
      {"YQ=a", "YQ=a", "pad before a character"},
      {"Y===", "Y===", "three pads"},
      {"====", "====", "only pads"},
      {"YQ==YWJj", "YQ==YWJj", "pad in the middle"},
      {"YQBi", "a", "decoded text ends at its zero byte"},
      {"YW\rI=", "ab", "CR inside"},
      {"1tA=", "\xD6\xD0", "GBK"},
      {"\xD6\xD0\xCE\xC4", "\xD6\xD0\xCE\xC4", "Chinese passes"},
      {"YWJjYQ==", "abca", "pads after whole groups"},
      {"YWJjYQ==\r\n", "abca", "pads before a line break"},
      {"YW=I", "YW=I", "pad before the last place"},
      {"YW!=", "YW!=", "stray byte before a pad"},
      {"=WJj", "=WJj", "pad first"},
      {"YWJjYW!j", "YWJjYW!j", "stray byte in a later group"},
      {std::string("YW\0j", 4), std::string("YW\0j", 4), "zero byte is not base64"},
  };
  for (const auto& c : cases) EXPECT_EQ(nv::decodeField(std::string_view(c.in)), c.out) << c.why;
  EXPECT_EQ(nv::decodeField(static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(nv::decodeField(static_cast<const std::string*>(nullptr)), "");
}

TEST(Codec, StrictAndLenientKeepZeroBytes) {
  EXPECT_EQ(nv::decodeStrict("YQBi"), std::string("a\0b", 3));
  EXPECT_EQ(nv::decodeLenient("YQ=="), std::string("a\0\0", 3));
  EXPECT_EQ(nv::decodeLenient(""), "");
  EXPECT_EQ(nv::decodeLenient("YQ"), std::string("a\0\0", 3));  // partial group as if padded
  EXPECT_EQ(nv::decodeLenient("YWJjZ"), std::string("abcd\0\0", 6));
  // A stray byte counts as all bits set.
  EXPECT_EQ(nv::decodeLenient("!!!!"), "\xFF\xFF\xFF");
  EXPECT_EQ(nv::decodeLenient("A!AA"), std::string("\xFF\xF0\0", 3));
}

TEST(Codec, RoundTripOfRandomBytes) {
  std::mt19937 random(7);
  for (int length = 0; length < 300; ++length) {
    std::string bytes(length, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    std::string encoded = nv::encodeField(bytes);
    EXPECT_TRUE(length == 0 || nv::isWellFormedBase64(encoded));
    EXPECT_EQ(nv::decodeStrict(encoded), bytes);
    std::string lenient = nv::decodeLenient(encoded);
    EXPECT_EQ(lenient.substr(0, bytes.size()), bytes);
  }
}

TEST(Codec, LongTextsAreNotTruncated) {
  std::string text(100000, 'x');
  std::string encoded = nv::encodeField(text);
  EXPECT_EQ(encoded.size(), 133336u);
  EXPECT_EQ(nv::decodeField(std::string_view(encoded)), text);
}

}  // namespace

// Answer text to GBK: each character GBK lacks, and each stray byte, is one
// "?"; a GB18030 answer gives the same UTF-8 however its bytes are cut.
TEST(GbkText, ConversionTable) {
  const struct {
    std::string utf8, gbk;
  } cases[] = {
      {"abc", "abc"},    {"中文", "\xD6\xD0\xCE\xC4"}, {"a\xF0\x9F\x98\x80z", "a?z"}, {"\xE2\x82\xAC", "?"},
      {"a\xFFz", "a?z"}, {"\xE4\xB8", "??"},
  };
  for (const auto& c : cases) {
    std::string out;
    nv::appendUtf8AsGbk(out, c.utf8);
    EXPECT_EQ(out, c.gbk) << c.utf8;
  }
  const std::string gb18030 =
      "\xC0\xEE\xCB\xC4<a>\x81\x30\x81\x30\x80z";  // 李四<a>, a four-byte sequence, a stray byte
  const std::string expected = "李四<a>\xEF\xBF\xBD\xEF\xBF\xBDz";
  for (size_t cut = 0; cut <= gb18030.size(); ++cut) {
    nv::Gb18030ToUtf8 decoder;
    std::string out;
    decoder.append(out, gb18030.substr(0, cut));
    decoder.append(out, gb18030.substr(cut));
    decoder.finish(out);
    EXPECT_EQ(out, expected) << "cut at " << cut;
  }
}
