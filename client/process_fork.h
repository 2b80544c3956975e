// SPDX-License-Identifier: MIT
// A process the HIS forks inherits the library's caches as they stood, kept
// connections and locks included: the child must start afresh and leave its
// parent's connections alone. Each platform has its own
// (process_fork_posix.cpp; Windows has no fork).
#ifndef NV_CLIENT_PROCESS_FORK_H
#define NV_CLIENT_PROCESS_FORK_H

namespace nv {

// Once per process: prepare runs in the forking thread just before a fork,
// parent after it in the parent and child in the child.
void watchForks(void (*prepare)(), void (*parent)(), void (*child)());

}  // namespace nv

#endif
