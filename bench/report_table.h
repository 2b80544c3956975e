// SPDX-License-Identifier: MIT
// The one table a benchmark run prints: each scenario with our figure, the
// floor's and the peer's and their ratios, then the targets, met or missed.
#ifndef NVBENCH_REPORT_TABLE_H
#define NVBENCH_REPORT_TABLE_H

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace nvbench {

class ReportTable {
 public:
  std::string title;

  // A cost (time or memory; lower is better): ratios ours/floor, peer/ours.
  void addTime(const std::string& scenario, const std::string& unit, double ours, double floor,
               std::optional<double> peer);
  // A rate (higher is better): ratio ours/floor.
  void addRate(const std::string& scenario, double ours, double floor);
  // A figure of ours alone.
  void addInfo(const std::string& scenario, const std::string& unit, double ours);
  // A cost against the streaming reference (bench/expat_reference.c), in a
  // part of the table of its own: ours, the reference's, ours/reference.
  void addReference(const std::string& scenario, const std::string& unit, double ours, double reference);
  // Counts of ours, the floor's and the peer's, with no ratios.
  void addCount(const std::string& scenario, const std::string& unit, double ours, double floor,
                std::optional<double> peer);
  // Ratios already taken, ours and the floor's.
  void addRatio(const std::string& scenario, double ours, double floor);
  void addNote(const std::string& text);

  // A target on a ratio (unit "x") or a figure: met when value <= limit
  // (atMost) or >= limit.
  void target(const std::string& description, double value, double limit, bool atMost, const std::string& unit = "x");
  bool allMet() const;

  void print(std::FILE* out) const;
  static std::string format(double value, int decimals);

 private:
  struct Row {
    std::string scenario, unit, ours, floor, peer, oursPerFloor, peerPerOurs;
  };
  struct Target {
    std::string description;
    double value, limit;
    bool atMost, met;
    std::string unit;
  };
  std::vector<Row> rows_;
  std::vector<Row> referenceRows_;  // reference in `floor`, ours/reference in `oursPerFloor`
  std::vector<std::string> notes_;
  std::vector<Target> targets_;
};

}  // namespace nvbench

#endif
