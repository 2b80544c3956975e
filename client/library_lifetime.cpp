// SPDX-License-Identifier: MIT
#include "client/library_lifetime.h"

#include <atomic>

#include "client/connection_pool.h"
#include "client/service_session.h"

namespace nv {
namespace {
std::atomic<long> running{0};
}  // namespace

CallInFlight::CallInFlight() { running.fetch_add(1, std::memory_order_relaxed); }
CallInFlight::~CallInFlight() { running.fetch_sub(1, std::memory_order_release); }
bool callsInFlight() { return running.load(std::memory_order_acquire) > 0; }

void releaseLibrary() {
  releaseClient();
  releaseSessionContexts();
}

}  // namespace nv
