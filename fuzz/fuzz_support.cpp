// SPDX-License-Identifier: MIT
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace nvfuzz {
namespace {
const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int alphabetValue(char c) {
  size_t at = kAlphabet.find(c);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}
}  // namespace

void fail(const std::string& property, const std::string& detail) {
  std::fprintf(stderr, "\n*** property broken: %s\n%s\n", property.c_str(), detail.c_str());
  std::abort();
}

std::string take(char* result, const char* what) {
  if (result == nullptr) fail(std::string(what) + " returned a text", "it returned null");
  std::string text(result);
  std::free(result);
  return text;
}

void enterScratchDirectory() {
  static bool entered = false;
  if (entered) return;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/nvfuzz.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) fail("a scratch directory", pattern);
  entered = true;
}

void writeFile(const char* name, std::string_view bytes) {
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) fail(std::string(name) + " written", "");
}

void writeConfiguration(std::string_view bytes) { writeFile("NvConfiguration.ini", bytes); }

std::string centreLines(const std::string& centerNo, const std::string& serviceUrl, const std::string& hospCode,
                        const std::string& orgLevel, const std::string& userNo, const std::string& bk) {
  return "f7ad02e=" + referenceEncode(centerNo) + "\n957b527=" + referenceEncode(serviceUrl) +
         "\n1c1be9c=" + referenceEncode(hospCode) + "\n170e2c1=" + referenceEncode(orgLevel) +
         "\n8e44f00=" + referenceEncode(userNo) + "\n8e44f01=" + referenceEncode(bk) + "\n";
}

std::string standardConfiguration() {
  return centreLines(kCentre, "http://127.0.0.1:9/clinic/webservice/inpatientRedeem", "H4401", "2", "op01", "") +
         centreLines("341199", "http://127.0.0.1:9/other", "H2", "3", "op02", "");
}

void enterConfiguredScratchDirectory() {
  enterScratchDirectory();
  writeConfiguration(standardConfiguration());
}

std::string referenceEncode(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    uint32_t group = 0;
    for (size_t j = 0; j < 3; ++j) group = group << 8 | (j < n ? static_cast<uint8_t>(bytes[i + j]) : 0);
    for (size_t j = 0; j < 4; ++j) out += j <= n ? kAlphabet[(group >> (18 - 6 * j)) & 63] : '=';
  }
  return out;
}

std::string referenceDecodeField(std::string_view value) {
  std::string text;
  for (char c : value)
    if (c != '\r' && c != '\n') text += c;
  if (text.empty() || text.size() % 4 != 0) return text;
  size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding > 2) return text;
  for (size_t i = 0; i < text.size() - padding; ++i)
    if (alphabetValue(text[i]) < 0) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    uint32_t group = 0;
    for (size_t j = 0; j < 4; ++j) group = group << 6 | (text[i + j] == '=' ? 0 : alphabetValue(text[i + j]));
    for (size_t j = 0; j < 3; ++j) out += static_cast<char>((group >> (16 - 8 * j)) & 0xFF);
  }
  out.resize(out.size() - padding);
  return out.substr(0, out.find('\0'));
}

std::string referenceDecodeLenient(std::string_view text) {
  auto v = [&](size_t i) {
    if (i >= text.size() || text[i] == '=') return 0;
    return alphabetValue(text[i]);
  };
  auto shiftRight = [](int value, int bits) { return value < 0 ? -1 : value >> bits; };
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    int a = v(i), b = v(i + 1), c = v(i + 2), d = v(i + 3);
    out += static_cast<char>(((a * 4) | shiftRight(b, 4)) & 0xFF);
    out += static_cast<char>(((b * 16) | shiftRight(c, 2)) & 0xFF);
    out += static_cast<char>(((c * 64) | d) & 0xFF);
  }
  return out;
}

std::string_view asText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string cText(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

}  // namespace nvfuzz
