#include "tests/support/answer_oracle.h"

#include <string>

#include "client/answer_plan.h"
#include "text/codec.h"
#include "text/result_document.h"
#include "text/texts.h"
#include "service_oracle.h"

namespace nvtest {
namespace {

const std::string* fieldOf(const nv::wire::Entry& entry, const char* wireName) {
  for (const auto& [name, value] : entry.fields)
    if (name == wireName) return value;
  return nullptr;
}

void appendRow(nv::ResultDocument& doc, int32_t row, const nv::AnswerPlan& plan, const nv::wire::Entry& entry) {
  doc.appendRowOpen(row);
  for (const nv::ColumnPlan& column : plan.columns) {
    doc.appendColumnOpen(column.colnum, column.colname);
    if (const std::string* value = fieldOf(entry, column.wireName)) nv::appendDecodedField(doc.text(), *value);
    doc.appendColumnClose();
  }
  doc.appendRowClose();
}

}  // namespace

bool readWithGeneratedRecords(nv::ServiceSession& session, const nv::AnswerPlan& plan, nv::ResultDocument& doc) {
  nv::wire::ReceivedAnswer answer;
  // An answer the runtime did not read to its end carries no response, even
  // where the runtime reports success.
  if (nv::wire::receiveByWrapper(session.context(), plan.wrapper, answer) != 0 || !session.answerReadToEnd())
    return false;
  doc.appendOutCode(nv::texts::kSuccessCode);
  doc.appendOutText(nv::texts::kSuccess);
  const auto columns = static_cast<int32_t>(plan.columns.size());
  switch (plan.shape) {
    case nv::AnswerShape::kNone: doc.appendDataOpen(0, 0); break;
    case nv::AnswerShape::kText:
      doc.appendDataOpen(1, 1);
      doc.appendRowOpen(0);
      doc.appendColumnOpen(plan.columns[0].colnum, plan.columns[0].colname);
      if (answer.text) nv::appendDecodedField(doc.text(), *answer.text);
      doc.appendColumnClose();
      doc.appendRowClose();
      break;
    case nv::AnswerShape::kRecord:  // an absent record is a row of empty values
      doc.appendDataOpen(1, columns);
      appendRow(doc, 0, plan, answer.record);
      break;
    case nv::AnswerShape::kList: {  // a nil entry is no row
      int32_t rows = 0;
      for (const nv::wire::Entry& entry : answer.entries) rows += entry.present;
      doc.appendDataOpen(rows, columns);
      int32_t row = 0;
      for (const nv::wire::Entry& entry : answer.entries)
        if (entry.present) appendRow(doc, row++, plan, entry);
      break;
    }
  }
  return true;
}

}  // namespace nvtest
