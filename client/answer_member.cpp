// SPDX-License-Identifier: MIT
#include "client/answer_member.h"

namespace nv {

AnswerMember::AnswerMember(const AnswerPlan& plan, AnswerSink& sink)
    : shape_(plan.shape), member_(plan.member), sink_(sink) {
  MemberSlots madeNow;
  names_ = memberSlotsOf(plan, madeNow).names;
  taken_.resize(names_.size());
}

void AnswerMember::wrapperBegun() {
  // A text or record answer is one row, whether its member comes or not.
  if (oneRow()) sink_.rowBegun();
}

Step AnswerMember::collect(size_t slot) {
  collecting_ = slot;
  return Step::collect(&text_);
}

Step AnswerMember::start(int depth, const Name& name, const Marks& marks) {
  if (depth == 4) {
    if (shape_ == AnswerShape::kNone || memberTaken_ || marks.otherActor || name.local != member_)
      return Step::skipUnknown();
    memberTaken_ = true;
    if (marks.nil) return Step::skip();  // the member stays absent
    if (shape_ == AnswerShape::kText) {
      taken_[0] = true;
      return collect(0);
    }
    memberOpen_ = true;
    return Step::goOn();
  }
  if (!memberOpen_) return Step::skip();
  if (shape_ == AnswerShape::kRecord) return depth == 5 ? startEntryMember(name, marks) : Step::skip();
  // A list: its entries, then each entry's members.
  if (depth == 5) {
    if (name.local != "list" || marks.otherActor) return Step::skipUnknown();
    if (marks.nil) return Step::skip();  // a nil entry gives no row
    inEntry_ = true;
    taken_.assign(taken_.size(), false);
    sink_.rowBegun();
    return Step::goOn();
  }
  if (depth == 6 && inEntry_) return startEntryMember(name, marks);
  return Step::skip();
}

Step AnswerMember::startEntryMember(const Name& name, const Marks& marks) {
  size_t slot = 0;
  while (!marks.otherActor && slot < names_.size() && names_[slot] != name.local) ++slot;
  if (marks.otherActor || slot == names_.size() || taken_[slot]) return Step::skipUnknown();
  taken_[slot] = true;
  if (marks.nil) return Step::skip();
  return collect(slot);
}

void AnswerMember::collected() { sink_.value(collecting_, text_); }

void AnswerMember::end(int closing) {
  if (closing == 4) memberOpen_ = false;
  if (closing == 5 && inEntry_) {
    inEntry_ = false;
    sink_.rowEnded();
  }
}

void AnswerMember::finish() {
  if (oneRow()) sink_.rowEnded();
}

}  // namespace nv
