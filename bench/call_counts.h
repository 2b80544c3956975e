// SPDX-License-Identifier: MIT
// Counts of what a call costs, read from the tools that count them: the
// system calls of `strace -c -f -o FILE` and the instructions of a valgrind
// callgrind output file. A figure per call is the difference between a run
// of many calls and a run of few, so start-up and exit cancel out.
#ifndef NVBENCH_CALL_COUNTS_H
#define NVBENCH_CALL_COUNTS_H

#include <map>
#include <string>

namespace nvbench {

using SyscallCounts = std::map<std::string, double>;  // calls by system call name

// The calls column of a `strace -c` summary, by name ("total" left out).
// Throws when the text holds no summary.
SyscallCounts parseStraceSummary(const std::string& text);

// The instructions executed (the first event, Ir) over the whole run, from
// the "totals:" or "summary:" line of a callgrind output file. Throws when
// there is neither.
double callgrindInstructions(const std::string& text);

// (many - few) / calls, by name; names that appear in either run.
SyscallCounts perCall(const SyscallCounts& many, const SyscallCounts& few, int calls);

}  // namespace nvbench

#endif
