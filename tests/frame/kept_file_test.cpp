// SPDX-License-Identifier: MIT
#include "frame/kept_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "frame/settings_file.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr const char* kName = "NvTrace.ini";

void write(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

// Sets the file's modification time to a moment that many seconds ago,
// past the span in which every call reads the file again.
void ageBy(const std::string& name, int seconds) {
  struct timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
}

std::string kept(const char* name = kName) {
  std::string bytes;
  EXPECT_EQ(nv::readKeptFile(name, bytes), nv::FileRead::kRead);
  return bytes;
}

// read() calls this process has made so far.
long long readCalls() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value)
    if (key == "syscr:") return value;
  return -1;
}

// Every way the file can change between two calls: the second sees it.
TEST(KeptFile, TheNextCallSeesEveryChange) {
  const struct {
    const char* how;
    std::function<void()> change;
    std::string seen;
  } cases[] = {
      {"rewritten, another size", [] { write(kName, "version two"); }, "version two"},
      {"rewritten, same size, another old time",
       [] {
         write(kName, "version 2");
         ageBy(kName, 300);
       },
       "version 2"},
      {"rewritten, same size, its old time put back",
       [] {
         write(kName, "version 3");
         ageBy(kName, 600);
       },
       "version 3"},
      {"another file renamed over it, same size and time",
       [] {
         write("other", "version 4");
         ageBy("other", 600);
         std::filesystem::rename("other", kName);
       },
       "version 4"},
  };
  nvtest::ScratchDir dir;
  write(kName, "version 1");
  ageBy(kName, 600);
  EXPECT_EQ(kept(), "version 1");
  EXPECT_EQ(kept(), "version 1") << "from the kept copy";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    c.change();
    EXPECT_EQ(kept(), c.seen);
    EXPECT_EQ(kept(), c.seen);
  }
  // Another working directory holding a file of the same size and times.
  nvtest::ScratchDir elsewhere;
  write(kName, "version 5");
  ageBy(kName, 600);
  EXPECT_EQ(kept(), "version 5");
  std::filesystem::remove(kName);
  std::string bytes = "left over";
  EXPECT_EQ(nv::readKeptFile(kName, bytes), nv::FileRead::kMissing);
  EXPECT_EQ(bytes, "");
  ASSERT_EQ(mkfifo(kName, 0600), 0);
  EXPECT_EQ(nv::readKeptFile(kName, bytes), nv::FileRead::kNotRegular) << "at once, without waiting for a writer";
}

// An unchanged file is not read again; one changed within the last 2 s is,
// on every call.
TEST(KeptFile, ReadsAgainOnlyWhatMayHaveChanged) {
  nvtest::ScratchDir dir;
  write(kName, "settled");
  ageBy(kName, 600);
  EXPECT_EQ(kept(), "settled");
  long long before = readCalls();
  ASSERT_GE(before, 0);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(kept(), "settled");
  EXPECT_LT(readCalls() - before, 20) << "an unchanged file is served from its copy";
  write(kName, "fresh");
  before = readCalls();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(kept(), "fresh");
  EXPECT_GE(readCalls() - before, 20) << "a file changed within 2 s is read on every call";
}

// What is made of a file is made once for each state of it: again after
// an edit, and on every call while the file is unsettled.
std::atomic<int> made{0};
nv::MadeFromFile madeCopy(std::string_view bytes) {
  ++made;
  return std::make_shared<const std::string>(bytes);
}
std::string keptAs() {
  nv::FileRead state;
  auto copy = std::static_pointer_cast<const std::string>(nv::readKeptFileAs(kName, madeCopy, state));
  EXPECT_EQ(state, nv::FileRead::kRead);
  return copy ? *copy : "<null>";
}

TEST(KeptFile, WhatIsMadeOfItIsMadeOncePerState) {
  nvtest::ScratchDir dir;
  write(kName, "one");
  ageBy(kName, 600);
  made = 0;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(keptAs(), "one");
  EXPECT_EQ(made.load(), 1);
  write(kName, "two");
  ageBy(kName, 500);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(keptAs(), "two");
  EXPECT_EQ(made.load(), 2) << "made again once after the edit";
  write(kName, "three");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(keptAs(), "three");
  EXPECT_EQ(made.load(), 7) << "made on every call while the file is unsettled";
  nv::FileRead state;
  std::filesystem::remove(kName);
  EXPECT_EQ(nv::readKeptFileAs(kName, madeCopy, state), nullptr);
  EXPECT_EQ(state, nv::FileRead::kMissing);
}

// A settings file is parsed once for each state of it, and the next call
// after an edit sees the edit, settled or not.
TEST(KeptFile, SettingsAreParsedOncePerStateAndSeeEveryEdit) {
  nvtest::ScratchDir dir;
  const struct {
    const char* bytes;
    int agedBy;  // seconds; 0: written just now
    const char* level;
  } states[] = {
      {"level=1\n", 600, "1"},        {"LEVEL = 2  # same size, another old time\n", 300, "2"},
      {"level=0\n", 0, "0"},          {"level=1\n", 0, "1"},
      {"; no level\n", 900, nullptr},
  };
  for (const auto& state : states) {
    SCOPED_TRACE(state.bytes);
    write(kName, state.bytes);
    if (state.agedBy > 0) ageBy(kName, state.agedBy);
    auto first = nv::readSettingsFile(kName), again = nv::readSettingsFile(kName);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(again, nullptr);
    auto level = first->find("level");
    if (state.level == nullptr)
      EXPECT_EQ(level, first->end());
    else
      EXPECT_TRUE(level != first->end() && level->second == state.level);
    EXPECT_EQ(*again, *first);
    if (state.agedBy > 0)
      EXPECT_EQ(again.get(), first.get()) << "a settled file's settings are shared, not parsed again";
    else
      EXPECT_NE(again.get(), first.get()) << "an unsettled file is parsed on every call";
  }
  std::filesystem::remove(kName);
  EXPECT_EQ(nv::readSettingsFile(kName), nullptr);
}

// Eight threads read while the file is replaced under them: each sees one
// whole version, never a mixture, and the kept copy is shared safely.
TEST(KeptFile, EightThreadsReadWhileTheFileChanges) {
  nvtest::ScratchDir dir;
  const std::string a(4000, 'a'), b(4000, 'b');
  write(kName, a);
  ageBy(kName, 600);
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 8; ++t)
    readers.emplace_back([&] {
      while (!done.load()) {
        std::string bytes;
        if (nv::readKeptFile(kName, bytes) == nv::FileRead::kRead && bytes != a && bytes != b && !bytes.empty())
          ++wrong;
        nv::FileRead state;
        auto copy = std::static_pointer_cast<const std::string>(nv::readKeptFileAs(kName, madeCopy, state));
        if (state == nv::FileRead::kRead && (!copy || (*copy != a && *copy != b))) ++wrong;
      }
    });
  for (int i = 0; i < 200; ++i) {
    const std::string& next = i % 2 ? a : b;
    write("next", next);
    ageBy("next", 600 + i % 7);
    std::filesystem::rename("next", kName);
  }
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(kept(), a);
}

}  // namespace
