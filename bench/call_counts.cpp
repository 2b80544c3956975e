// SPDX-License-Identifier: MIT
#include "bench/call_counts.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace nvbench {

namespace {

bool isNumber(const std::string& word) {
  if (word.empty()) return false;
  for (char ch : word)
    if ((ch < '0' || ch > '9') && ch != '.') return false;
  return true;
}

}  // namespace

SyscallCounts parseStraceSummary(const std::string& text) {
  // A row: % time, seconds, usecs/call, calls, [errors,] syscall.
  SyscallCounts counts;
  bool sawTotal = false;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    if (words.size() != 5 && words.size() != 6) continue;
    bool numeric = true;
    for (size_t i = 0; i + 1 < words.size(); ++i) numeric = numeric && isNumber(words[i]);
    if (!numeric) continue;
    if (words.back() == "total") {
      sawTotal = true;
      continue;
    }
    counts[words.back()] += std::stod(words[3]);
  }
  if (!sawTotal) throw std::runtime_error("no strace summary in the output");
  return counts;
}

double callgrindInstructions(const std::string& text) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    for (const char* key : {"totals:", "summary:"}) {
      if (line.rfind(key, 0) != 0) continue;
      std::istringstream fields(line.substr(std::string(key).size()));
      double instructions = 0;
      if (fields >> instructions) return instructions;
    }
  }
  throw std::runtime_error("no totals in the callgrind output");
}

SyscallCounts perCall(const SyscallCounts& many, const SyscallCounts& few, int calls) {
  SyscallCounts difference = many;
  for (const auto& [name, count] : few) difference[name] -= count;
  for (auto& entry : difference) entry.second /= calls;
  return difference;
}

}  // namespace nvbench
