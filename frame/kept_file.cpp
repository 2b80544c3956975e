// SPDX-License-Identifier: MIT
#include "frame/kept_file.h"

#include <atomic>
#include <memory>
#include <vector>

#include "client/library_lifetime.h"
#include "text/platform.h"

namespace nv {
namespace {

// Within this span of now a file's times cannot tell one write from the
// next: the coarsest clocks a HIS's working directory may sit on tick in
// 2 s (FAT).
constexpr long long kUnsettledNs = 2000000000LL;

struct KeptCopy {
  std::string name;
  FileStamp stamp;
  std::shared_ptr<const std::string> bytes;
};

struct KeptFiles {
  Lock lock;
  std::vector<KeptCopy> copies;  // one per name read, three at most in practice
};

std::atomic<KeptFiles*> made{nullptr};
std::atomic<bool> watchingForks{false};

// A forked child may inherit the lock held by a thread it does not have:
// it starts with copies of its own and never touches its parent's.
void forgetInChild() { made.store(nullptr); }

KeptFiles& keptFiles() {
  if (KeptFiles* files = made.load(std::memory_order_acquire)) return *files;
  auto* created = new KeptFiles;
  KeptFiles* expected = nullptr;
  if (!made.compare_exchange_strong(expected, created)) {
    delete created;
    return *expected;
  }
  if (!watchingForks.exchange(true)) {
    watchForks(nullptr, nullptr, forgetInChild);
    releaseAlsoWithLibrary(releaseKeptFiles);
  }
  return *created;
}

}  // namespace

FileRead readKeptFile(const char* name, std::string& bytes) {
  bytes.clear();
  FileStamp stamp;
  const FileRead state = stampRegularFile(name, stamp);
  if (state != FileRead::kRead) return state;
  KeptFiles& files = keptFiles();
  const bool settled = fileClockNow() - stamp.modifiedAt >= kUnsettledNs;
  if (settled) {
    std::shared_ptr<const std::string> kept;
    {
      Locked held(files.lock);
      for (const KeptCopy& copy : files.copies)
        if (copy.name == name && copy.stamp == stamp) kept = copy.bytes;
    }
    if (kept) {
      bytes = *kept;
      return FileRead::kRead;
    }
  }
  // Read outside the lock. What is kept is the stamp taken before reading:
  // a write during the read changes the stamp, and the next call reads again.
  const FileRead read = readRegularFile(name, bytes);
  if (read != FileRead::kRead || !settled) return read;
  auto copy = std::make_shared<const std::string>(bytes);
  Locked held(files.lock);
  for (KeptCopy& kept : files.copies)
    if (kept.name == name) {
      kept.stamp = stamp;
      kept.bytes = std::move(copy);
      return read;
    }
  files.copies.push_back({name, stamp, std::move(copy)});
  return read;
}

void releaseKeptFiles() { delete made.exchange(nullptr); }

}  // namespace nv
