// SPDX-License-Identifier: MIT
// The response member inside the response element, by its wire name: a
// text, a record, or a list of entries, whose members are found by their
// local names in any order. Each row and each present member goes to the
// sink as it is read.
#ifndef NV_CLIENT_ANSWER_MEMBER_H
#define NV_CLIENT_ANSWER_MEMBER_H

#include <string>
#include <string_view>
#include <vector>

#include "client/answer_plan.h"
#include "client/answer_sink.h"
#include "client/answer_step.h"

namespace nv {

class AnswerMember {
 public:
  AnswerMember(const AnswerPlan& plan, AnswerSink& sink);

  // The response element is open.
  void wrapperBegun();
  // An element inside the response element, at depth 4 or deeper.
  Step start(int depth, const Name& name, const Marks& marks);
  // The text asked for by the last kCollect is read.
  void collected();
  // The end of an element at depth 4 or 5.
  void end(int closing);
  // The envelope is read through.
  void finish();

 private:
  // A member of a record or list entry, at the depth of the entry's members.
  Step startEntryMember(const Name& name, const Marks& marks);
  Step collect(size_t slot);
  bool oneRow() const { return shape_ == AnswerShape::kText || shape_ == AnswerShape::kRecord; }

  AnswerShape shape_;
  std::string_view member_;
  AnswerSink& sink_;
  std::vector<std::string_view> names_;  // the distinct wire names the columns read
  std::vector<char> taken_;              // each member is taken once a row
  bool memberTaken_ = false;
  bool memberOpen_ = false;  // inside the record or list element
  bool inEntry_ = false;     // inside a list entry
  size_t collecting_ = 0;    // the slot of the text being read
  std::string text_;
};

}  // namespace nv

#endif
