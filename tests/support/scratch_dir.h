// SPDX-License-Identifier: MIT
// A fresh working directory for one test, so each test writes its own
// NvConfiguration.ini; the previous directory is restored afterwards.
#ifndef NV_TESTS_SUPPORT_SCRATCH_DIR_H
#define NV_TESTS_SUPPORT_SCRATCH_DIR_H

#include <string>
#include <string_view>
#include <vector>

namespace nvtest {

// One centre as the configuration file stores it (plain values; written base64).
struct CentreConfig {
  std::string centerNo;
  std::string serviceUrl;
  std::string hospCode;
  std::string orgLevel;
  std::string userNo;
  std::string bk;
};

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes NvConfiguration.ini with exactly these bytes.
  void writeConfig(std::string_view bytes) const;
  // Writes one group of six lines per centre, values in base64.
  void writeCentres(const std::vector<CentreConfig>& centres) const;
  void removeConfig() const;

 private:
  std::string path_;
  std::string previous_;
};

// The six lines of one centre, "key=base64(value)", each ended by LF.
std::string centreLines(const CentreConfig& centre);
std::string base64(std::string_view bytes);

}  // namespace nvtest

#endif
