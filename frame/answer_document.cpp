// SPDX-License-Identifier: MIT
#include "frame/answer_document.h"

#include "text/codec.h"
#include "text/gbk.h"
#include "text/texts.h"

namespace nv {
namespace {

// A text received from the centre, as the HIS gets it: GBK, then decoded.
template <class Out>
void appendReceived(Out& out, std::string_view utf8, std::string& scratch) {
  if (isAscii(utf8)) return appendDecodedField(out, utf8);
  scratch.clear();
  appendUtf8AsGbk(scratch, utf8);
  appendDecodedField(out, scratch);
}

}  // namespace

AnswerDocument::AnswerDocument(const AnswerPlan& plan, ResultDocument& doc)
    : hasTable_(plan.shape != AnswerShape::kNone), doc_(doc), mark_(doc.text().size()) {
  MemberSlots madeNow;
  const MemberSlots& slots = memberSlotsOf(plan, madeNow);
  columns_.reserve(plan.columns.size());
  for (size_t i = 0; i < plan.columns.size(); ++i)
    columns_.push_back({plan.columns[i].colnum, plan.columns[i].colname, slots.ofColumn[i]});
  values_.resize(slots.names.size());
  present_.resize(slots.names.size());
}

void AnswerDocument::begin(uint64_t announcedLength) {
  // The whole document grows once when the answer says how long it is (it
  // comes to about twice the answer). The length is the centre's word, so
  // no more than 256 MB is set aside on it; beyond that the text doubles.
  constexpr uint64_t kMostSetAside = uint64_t{256} << 20;
  if (announcedLength == 0) return;
  uint64_t room = announcedLength < kMostSetAside / 2 ? announcedLength * 2 + 256 : kMostSetAside;
  doc_.makeRoom(static_cast<size_t>(room < SIZE_MAX ? room : SIZE_MAX));
}

void AnswerDocument::rowBegun() { present_.assign(present_.size(), false); }

void AnswerDocument::value(size_t member, std::string_view utf8) {
  values_[member].assign(utf8);
  present_[member] = true;
}

void AnswerDocument::rowEnded() {
  doc_.appendRowOpen(rows_++);
  for (const Column& column : columns_) {
    doc_.appendColumnOpen(column.colnum, column.colname);
    if (present_[column.slot]) appendReceived(doc_.text(), values_[column.slot], scratch_);
    doc_.appendColumnClose();
  }
  doc_.appendRowClose();
}

void AnswerDocument::fault(std::string_view utf8) {
  std::string text;
  appendReceived(text, utf8, scratch_);
  faultText_ = std::move(text);
}

void AnswerDocument::outcome(bool success) {
  if (!success) {
    doc_.text().resize(mark_);
    rows_ = 0;
    return;
  }
  ResultDocument head;
  head.appendOutCode(texts::kSuccessCode);
  head.appendOutText(texts::kSuccess);
  if (hasTable_) {
    head.appendDataOpen(rows_, static_cast<int32_t>(columns_.size()));
  } else {
    head.appendDataOpen(0, 0);
  }
  // The row count leads the rows: one move of the rows makes room for it.
  doc_.text().insert(mark_, head.text());
}

void AnswerDocument::writeFailure(std::string_view code, std::string_view text) {
  doc_.appendFailure(code, faultText_ ? std::string_view(*faultText_) : text);
}

}  // namespace nv
