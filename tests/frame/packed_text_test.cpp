// SPDX-License-Identifier: MIT
#include "frame/packed_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace {

using nv::splitPackedText;

// The expected slots of one split: slot number (from 1) to value; every
// slot not listed must be empty.
using Slots = std::map<size_t, std::string>;

struct SplitCase {
  const char* name;
  std::string packed;
  size_t slotCount;
  Slots expected;
};

std::string numbered(int from, int to) {
  std::string packed;
  for (int i = from; i <= to; ++i) packed += (i > from ? "|v" : "v") + std::to_string(i);
  return packed;
}

Slots numberedSlots(int from, int to, size_t firstSlot = 1) {
  Slots slots;
  for (int i = from; i <= to; ++i) slots[firstSlot + static_cast<size_t>(i - from)] = "v" + std::to_string(i);
  return slots;
}

TEST(PackedText, SplitsAsCallersPackThem) {
  // "\xD5\xC5" is a GBK character; "\x81\x7C" one whose second byte is "|".
  const std::vector<SplitCase> cases = {
      {"empty text: every slot empty", "", 32, {}},
      {"only separators", "||||", 32, {}},
      {"one field", "abc", 32, {{1, "abc"}}},
      {"three fields", "a|b|c", 32, {{1, "a"}, {2, "b"}, {3, "c"}}},
      {"adjacent separators collapse and shift later values left", "a||c|d", 32, {{1, "a"}, {2, "c"}, {3, "d"}}},
      {"separators at either end make no field", "|a|b|", 32, {{1, "a"}, {2, "b"}}},
      {"a field of one space is the empty value", "a| |c", 32, {{1, "a"}, {3, "c"}}},
      {"a leading one-space field keeps its slot", " |b", 32, {{2, "b"}}},
      {"two spaces stay as they are", "a|  |c", 32, {{1, "a"}, {2, "  "}, {3, "c"}}},
      {"a space with other bytes stays", " a|b ", 32, {{1, " a"}, {2, "b "}}},
      {"32 fields fill every slot", numbered(1, 32), 32, numberedSlots(1, 32)},
      {"the 33rd field is ignored", numbered(1, 33), 32, numberedSlots(1, 32)},
      {"fields after the 32nd are ignored, however many", numbered(1, 500), 32, numberedSlots(1, 32)},
      {"20 fields leave slots 21 to 32 empty", numbered(1, 20), 32, numberedSlots(1, 20)},
      {"GBK text passes through", "\xD5\xC5\xC8\xFD|b", 32, {{1, "\xD5\xC5\xC8\xFD"}, {2, "b"}}},
      {"a second byte 7C belongs to its character: the name stays whole",
       "a|\xD5\xC5\x81\x7C\xC8\xFD|c",
       32,
       {{1, "a"}, {2, "\xD5\xC5\x81\x7C\xC8\xFD"}, {3, "c"}}},
      {"a name ending in 珅 (AB 7C): 陈珅", "\xB3\xC2\xAB\x7C|b", 32, {{1, "\xB3\xC2\xAB\x7C"}, {2, "b"}}},
      {"only such characters", "\x81\x7C\xAB\x7C", 32, {{1, "\x81\x7C\xAB\x7C"}}},
      {"7C after a second byte separates: A1 in B0 A1 is no lead byte", "\xB0\xA1|b", 32, {{1, "\xB0\xA1"}, {2, "b"}}},
      {"7C after a byte below 81 separates", "\x80|b", 32, {{1, "\x80"}, {2, "b"}}},
      {"7C after FF separates", "\xFF|b", 32, {{1, "\xFF"}, {2, "b"}}},
      {"a lead byte at the very end stands alone", "a|\xD5", 32, {{1, "a"}, {2, "\xD5"}}},
      {"a lead byte before two separators takes the first only", "\xD5||b", 32, {{1, "\xD5|"}, {2, "b"}}},
      {"other slot counts", "a|b|c", 2, {{1, "a"}, {2, "b"}}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string_view> slots = splitPackedText(c.packed, c.slotCount);
    ASSERT_EQ(slots.size(), c.slotCount);
    for (size_t slot = 1; slot <= c.slotCount; ++slot) {
      auto expected = c.expected.find(slot);
      EXPECT_EQ(std::string(slots[slot - 1]), expected == c.expected.end() ? std::string() : expected->second)
          << "slot " << slot;
    }
  }
}

TEST(PackedText, AnyLengthWithoutCopyingOrTruncating) {
  // Far past any fixed working buffer: every byte of every field arrives.
  const std::string big(1 << 20, 'x');
  const std::string packed = "1|" + big + "|3|" + big + "y";
  const std::string before = packed;
  std::vector<std::string_view> slots = splitPackedText(packed, 32);
  EXPECT_EQ(slots[0], "1");
  EXPECT_EQ(slots[1], big);
  EXPECT_EQ(slots[2], "3");
  EXPECT_EQ(slots[3], big + "y");
  EXPECT_EQ(packed, before) << "the caller's text is never modified";
  // The values are views into the caller's text, not copies.
  EXPECT_EQ(slots[1].data(), packed.data() + 2);
}

TEST(PackedText, ConcurrentSplitsKeepTheirOwnPlace) {
  // Each thread splits texts of its own at once with the others: a split
  // that kept its position anywhere but in the call would mix them up.
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([t, &wrong] {
      for (int round = 0; round < 2000; ++round) {
        std::string packed;
        for (int field = 0; field < 32; ++field)
          packed += "t" + std::to_string(t) + "f" + std::to_string(field) + (round % 2 ? "||" : "|");
        std::vector<std::string_view> slots = splitPackedText(packed, 32);
        for (int field = 0; field < 32; ++field)
          if (slots[field] != "t" + std::to_string(t) + "f" + std::to_string(field)) ++wrong;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
