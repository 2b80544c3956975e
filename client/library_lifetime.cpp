// SPDX-License-Identifier: MIT
#include "client/library_lifetime.h"

#include <atomic>

#include "client/connection_pool.h"
#include "client/service_session.h"
#include "client/xml_stream.h"

namespace nv {
namespace {
std::atomic<long> running{0};
}  // namespace

CallInFlight::CallInFlight() { running.fetch_add(1, std::memory_order_relaxed); }
CallInFlight::~CallInFlight() { running.fetch_sub(1, std::memory_order_release); }
bool callsInFlight() { return running.load(std::memory_order_acquire) > 0; }

namespace {
std::atomic<void (*)()> alsoReleased[4] = {};
}  // namespace

void releaseAlsoWithLibrary(void (*release)()) {
  for (auto& slot : alsoReleased) {
    void (*expected)() = nullptr;
    if (slot.compare_exchange_strong(expected, release) || expected == release) return;
  }
}

void releaseLibrary() {
  releaseClient();
  releaseSessionContexts();
  releaseXmlParsers();
  for (auto& slot : alsoReleased)
    if (void (*release)() = slot.load()) release();
  releaseTlsLibrary();
}

bool releaseOnUnload() {
  if (callsInFlight()) return false;
  releaseLibrary();
  return true;
}

}  // namespace nv
