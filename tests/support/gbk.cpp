#include "tests/support/gbk.h"

#include <iconv.h>

#include <cstdlib>
#include <stdexcept>

#include "NvInterFace.h"

namespace nvtest {
namespace {
std::string convert(std::string_view in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::runtime_error("iconv: unconvertible text");
  out.resize(out.size() - dstLeft);
  return out;
}
}  // namespace

std::string gbk(std::string_view text) { return convert(text, "GBK", "UTF-8"); }
std::string utf8(std::string_view text) { return convert(text, "UTF-8", "GBK"); }

std::string take(char* result) {
  if (result == nullptr) return "<null>";
  std::string text(result);
  freeResult(result);
  return text;
}

}  // namespace nvtest
