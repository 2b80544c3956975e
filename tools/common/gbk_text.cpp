// SPDX-License-Identifier: MIT
#include "tools/common/gbk_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace nvtools {
namespace {

// One conversion descriptor per call: nothing shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as possible; returns false at an invalid or incomplete
  // sequence, leaving `in` at its first byte.
  bool convert(std::string_view& in, std::string& out) {
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      int error = errno;
      out.append(buffer, sizeof buffer - dstLeft);
      in.remove_prefix(in.size() - srcLeft);
      if (rc != static_cast<size_t>(-1)) continue;
      if (error == E2BIG) continue;  // the buffer was full: go on
      return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
  Converter converter("GBK", "UTF-8");
  std::string out;
  if (!converter.convert(utf8, out)) return std::nullopt;
  return out;
}

std::string gbk(std::string_view utf8) {
  std::optional<std::string> converted = utf8ToGbk(utf8);
  if (!converted) throw std::runtime_error("text without a GBK form");
  return *converted;
}

std::string gbkToUtf8ForDisplay(std::string_view gbkBytes, bool escapeBackslash) {
  Converter converter("UTF-8", "GBK");
  std::string out;
  auto convertRun = [&] {
    std::string run;
    bool complete = converter.convert(gbkBytes, run);
    // No UTF-8 sequence holds the byte 5C but the backslash itself.
    for (char c : run) out += escapeBackslash && c == '\\' ? std::string("\\\\") : std::string(1, c);
    return complete;
  };
  while (!convertRun()) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(gbkBytes.front()));
    out += escaped;
    gbkBytes.remove_prefix(1);
  }
  return out;
}

}  // namespace nvtools
