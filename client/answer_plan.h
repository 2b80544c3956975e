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
#include <utility>
#include <vector>

namespace nv {

enum class AnswerShape { kNone, kText, kRecord, kList };

struct ColumnPlan {
  int32_t colnum;
  const char* colname;
  const char* wireName;  // the member of the record or list entry; for a text, the response member
};

// The members the columns read: each wire name once, in the order the
// columns first name it (two columns may show one member).
struct MemberSlots {
  std::vector<std::string_view> names;
  std::vector<size_t> ofColumn;  // the slot of each column
};

struct AnswerPlan;
MemberSlots memberSlotsOf(const AnswerPlan& plan);

struct AnswerPlan {
  AnswerPlan() = default;
  AnswerPlan(AnswerShape shape, const char* wrapper, const char* member, std::vector<ColumnPlan> columns)
      : shape(shape), wrapper(wrapper), member(member), columns(std::move(columns)), slots(memberSlotsOf(*this)) {}

  AnswerShape shape = AnswerShape::kNone;
  const char* wrapper = "";  // local name of the response element, "cliSeekResponse"
  const char* member = "";   // the response member, "return" or "diseaseList"
  std::vector<ColumnPlan> columns;
  // The member slots of the columns the plan was made with: a sheet's plan
  // is made once, its calls are many.
  MemberSlots slots;
};

inline MemberSlots memberSlotsOf(const AnswerPlan& plan) {
  MemberSlots slots;
  slots.ofColumn.reserve(plan.columns.size());
  for (const ColumnPlan& column : plan.columns) {
    const std::string_view name = column.wireName;
    size_t slot = 0;
    while (slot < slots.names.size() && slots.names[slot] != name) ++slot;
    if (slot == slots.names.size()) slots.names.push_back(name);
    slots.ofColumn.push_back(slot);
  }
  return slots;
}

// The plan's own slots; for a plan whose columns were added after it was
// made, worked out now into madeNow.
inline const MemberSlots& memberSlotsOf(const AnswerPlan& plan, MemberSlots& madeNow) {
  if (plan.slots.ofColumn.size() == plan.columns.size()) return plan.slots;
  madeNow = memberSlotsOf(plan);
  return madeNow;
}

}  // namespace nv

#endif
