// SPDX-License-Identifier: MIT
// What the answer reader looks for in an operation's answer, by the names
// the centre writes on the wire. Export sheets derive it from the generated
// records (frame/export_sheet.h), so the names come from the service
// definition alone.
#ifndef NV_CLIENT_ANSWER_PLAN_H
#define NV_CLIENT_ANSWER_PLAN_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace nv {

enum class AnswerShape { kNone, kText, kRecord, kList };

struct ColumnPlan {
  int32_t colnum;
  const char* colname;
  const char* wireName;  // the member of the record or list entry; for a text, the response member
};

struct AnswerPlan {
  AnswerShape shape = AnswerShape::kNone;
  const char* wrapper = "";  // local name of the response element, "cliSeekResponse"
  const char* member = "";   // the response member, "return" or "diseaseList"
  std::vector<ColumnPlan> columns;
};

// The members the columns read: each wire name once, in the order the
// columns first name it (two columns may show one member).
struct MemberSlots {
  std::vector<std::string_view> names;
  std::vector<size_t> ofColumn;  // the slot of each column
};

inline MemberSlots memberSlotsOf(const AnswerPlan& plan) {
  MemberSlots slots;
  for (const ColumnPlan& column : plan.columns) {
    size_t slot = 0;
    while (slot < slots.names.size() && slots.names[slot] != column.wireName) ++slot;
    if (slot == slots.names.size()) slots.names.emplace_back(column.wireName);
    slots.ofColumn.push_back(slot);
  }
  return slots;
}

}  // namespace nv

#endif
