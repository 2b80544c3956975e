// SPDX-License-Identifier: MIT
// Runs a measurement in a process of its own, so that its peak resident
// memory is its own and not the driver's (which holds the server and its
// canned responses).
#ifndef NVBENCH_CHILD_PROCESS_H
#define NVBENCH_CHILD_PROCESS_H

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nvbench {

// Runs argv[0] with the arguments, stderr passed through, and returns what
// it wrote to stdout. Throws when it cannot start or does not exit with 0.
std::string runChild(const std::vector<std::string>& argv);
// The same, but a child still running after `seconds` is killed and
// nothing is returned.
std::optional<std::string> runChildWithin(const std::vector<std::string>& argv, double seconds);

// The "key=value key=value" pairs of a child's report line.
std::map<std::string, std::string> parseReport(const std::string& line);

// The peak resident set of the calling process so far (VmHWM), in KiB.
// Read from /proc because the kernel's rusage figure of a child also
// counts the parent's pages for a child started by fork or vfork.
long peakResidentKb();
// The current resident set (VmRSS), in KiB.
long residentKb();

}  // namespace nvbench

#endif
