// SPDX-License-Identifier: MIT
#include "bench/report_table.h"

#include <cmath>

namespace nvbench {

namespace {

int decimalsFor(const std::string& unit, double value) {
  if (unit == "calls/s") return 0;
  if (unit == "x") return 2;
  return std::fabs(value) >= 100 ? 1 : std::fabs(value) >= 1 ? 2 : 3;
}

std::string times(double ratio) { return ReportTable::format(ratio, 2) + "x"; }

}  // namespace

std::string ReportTable::format(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void ReportTable::addTime(const std::string& scenario, const std::string& unit, double ours, double floor,
                          std::optional<double> peer) {
  rows_.push_back({scenario, unit, format(ours, decimalsFor(unit, ours)), format(floor, decimalsFor(unit, floor)),
                   peer ? format(*peer, decimalsFor(unit, *peer)) : "-", floor > 0 ? times(ours / floor) : "-",
                   peer ? times(*peer / ours) : "-"});
}

void ReportTable::addCount(const std::string& scenario, const std::string& unit, double ours, double floor,
                           std::optional<double> peer) {
  rows_.push_back({scenario, unit, format(ours, 0), format(floor, 0), peer ? format(*peer, 0) : "-", "", ""});
}

void ReportTable::addReference(const std::string& scenario, const std::string& unit, double ours, double reference) {
  referenceRows_.push_back({scenario, unit, format(ours, decimalsFor(unit, ours)),
                            format(reference, decimalsFor(unit, reference)), "", times(ours / reference), ""});
}

void ReportTable::addRate(const std::string& scenario, double ours, double floor) {
  rows_.push_back({scenario, "calls/s", format(ours, 0), format(floor, 0), "-", times(ours / floor), "-"});
}

void ReportTable::addInfo(const std::string& scenario, const std::string& unit, double ours) {
  rows_.push_back({scenario, unit, format(ours, decimalsFor(unit, ours)), "", "", "", ""});
}

void ReportTable::addRatio(const std::string& scenario, double ours, double floor) {
  rows_.push_back({scenario, "x", format(ours, 2), format(floor, 2), "", "", ""});
}

void ReportTable::addNote(const std::string& text) { notes_.push_back(text); }

void ReportTable::target(const std::string& description, double value, double limit, bool atMost,
                         const std::string& unit) {
  targets_.push_back({description, value, limit, atMost, atMost ? value <= limit : value >= limit, unit});
}

bool ReportTable::allMet() const {
  for (const Target& t : targets_)
    if (!t.met) return false;
  return true;
}

void ReportTable::print(std::FILE* out) const {
  std::fprintf(out, "%s\n\n", title.c_str());
  const char* format = "%-46s %-8s %12s %12s %12s %11s %10s\n";
  std::fprintf(out, format, "scenario", "unit", "ours", "floor", "peer", "ours/floor", "peer/ours");
  for (const Row& r : rows_)
    std::fprintf(out, format, r.scenario.c_str(), r.unit.c_str(), r.ours.c_str(), r.floor.c_str(), r.peer.c_str(),
                 r.oursPerFloor.c_str(), r.peerPerOurs.c_str());
  if (!referenceRows_.empty()) {
    std::fprintf(out, "\n");
    std::fprintf(out, format, "against the streaming reference", "unit", "ours", "reference", "", "ours/ref", "");
    for (const Row& r : referenceRows_)
      std::fprintf(out, format, r.scenario.c_str(), r.unit.c_str(), r.ours.c_str(), r.floor.c_str(), "",
                   r.oursPerFloor.c_str(), "");
  }
  for (const std::string& note : notes_) std::fprintf(out, "note: %s\n", note.c_str());
  std::fprintf(out, "\ntargets (ratios of this run)\n");
  for (const Target& t : targets_) {
    auto figure = [&](double v) { return t.unit == "x" ? times(v) : ReportTable::format(v, 2) + " " + t.unit; };
    std::fprintf(out, "  [%s] %-48s %10s (%s %s)\n", t.met ? " met  " : "MISSED", t.description.c_str(),
                 figure(t.value).c_str(), t.atMost ? "<=" : ">=", figure(t.limit).c_str());
  }
}

}  // namespace nvbench
