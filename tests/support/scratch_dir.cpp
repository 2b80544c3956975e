// SPDX-License-Identifier: MIT
#include "tests/support/scratch_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace nvtest {

std::string base64(std::string_view bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned n = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 | (unsigned char)bytes[i + 2];
    for (int s = 18; s >= 0; s -= 6) out += kAlphabet[(n >> s) & 63];
  }
  if (i < bytes.size()) {
    unsigned n = (unsigned char)bytes[i] << 16;
    if (i + 1 < bytes.size()) n |= (unsigned char)bytes[i + 1] << 8;
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string centreLines(const CentreConfig& c) {
  std::string lines;
  auto line = [&](const char* key, const std::string& value) {
    lines += std::string(key) + "=" + base64(value) + "\n";
  };
  line("f7ad02e", c.centerNo);
  line("957b527", c.serviceUrl);
  line("1c1be9c", c.hospCode);
  line("170e2c1", c.orgLevel);
  line("8e44f00", c.userNo);
  line("8e44f01", c.bk);
  return lines;
}

ScratchDir::ScratchDir() {
  previous_ = std::filesystem::current_path().string();
  std::string pattern = (std::filesystem::temp_directory_path() / "nvtest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void ScratchDir::writeConfig(std::string_view bytes) const {
  std::ofstream out(path_ + "/NvConfiguration.ini", std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ScratchDir::writeCentres(const std::vector<CentreConfig>& centres) const {
  std::string bytes;
  for (const CentreConfig& c : centres) bytes += centreLines(c);
  writeConfig(bytes);
}

void ScratchDir::removeConfig() const {
  std::error_code ignored;
  std::filesystem::remove(path_ + "/NvConfiguration.ini", ignored);
}

}  // namespace nvtest
