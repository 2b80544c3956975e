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
  MakeFromFile madeBy = nullptr;  // what made `made` of these bytes
  MadeFromFile made;
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

// The file's bytes, from its kept copy when the file is unchanged, else
// read and kept (a settled file only); settled says whether they were. With
// make, also what make made of them before, when the copy holds it.
FileRead keptBytes(const char* name, std::shared_ptr<const std::string>& bytes, bool& settled,
                   MakeFromFile make = nullptr, MadeFromFile* made = nullptr) {
  FileStamp stamp;
  const FileRead state = stampRegularFile(name, stamp);
  if (state != FileRead::kRead) return state;
  KeptFiles& files = keptFiles();
  settled = fileClockNow() - stamp.modifiedAt >= kUnsettledNs;
  if (settled) {
    Locked held(files.lock);
    for (const KeptCopy& copy : files.copies)
      if (copy.name == name && copy.stamp == stamp) {
        bytes = copy.bytes;
        if (made != nullptr && copy.madeBy == make) *made = copy.made;
        return FileRead::kRead;
      }
  }
  // Read outside the lock. What is kept is the stamp taken before reading:
  // a write during the read changes the stamp, and the next call reads again.
  std::string read;
  const FileRead outcome = readRegularFile(name, read);
  if (outcome != FileRead::kRead) return outcome;
  bytes = std::make_shared<const std::string>(std::move(read));
  if (!settled) return outcome;
  Locked held(files.lock);
  for (KeptCopy& kept : files.copies)
    if (kept.name == name) {
      kept = {kept.name, stamp, bytes, nullptr, nullptr};
      return outcome;
    }
  files.copies.push_back({name, stamp, bytes, nullptr, nullptr});
  return outcome;
}

}  // namespace

FileRead readKeptFile(const char* name, std::string& bytes) {
  bytes.clear();
  std::shared_ptr<const std::string> kept;
  bool settled = false;
  const FileRead state = keptBytes(name, kept, settled);
  if (state == FileRead::kRead) bytes = *kept;
  return state;
}

MadeFromFile readKeptFileAs(const char* name, MakeFromFile make, FileRead& state) {
  std::shared_ptr<const std::string> bytes;
  MadeFromFile made;
  bool settled = false;
  state = keptBytes(name, bytes, settled, make, &made);
  if (state != FileRead::kRead || made) return made;
  // Made outside the lock, from the bytes of this state of the file; kept
  // only while the copy is still of that state.
  made = make(*bytes);
  if (!settled) return made;
  KeptFiles& files = keptFiles();
  Locked held(files.lock);
  for (KeptCopy& copy : files.copies)
    if (copy.name == name && copy.bytes == bytes) {
      copy.madeBy = make;
      copy.made = made;
    }
  return made;
}

void releaseKeptFiles() { delete made.exchange(nullptr); }

}  // namespace nv
