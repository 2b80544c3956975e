// SPDX-License-Identifier: MIT
// The result document's part that an exchange decides: the success header
// and the rows the answer reader reports, or the failure. Every text the
// centre sent becomes the HIS's here and only here, in one order: first
// from UTF-8 into GBK, then base64-decoded when it is base64 text. Member
// values and fault texts alike.
#ifndef NV_FRAME_ANSWER_DOCUMENT_H
#define NV_FRAME_ANSWER_DOCUMENT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/answer_plan.h"
#include "client/answer_sink.h"
#include "text/result_document.h"

namespace nv {

class AnswerDocument final : public AnswerSink {
 public:
  // Writes into doc after what it holds now (the header). Takes what it
  // needs of the plan at once: a call under way touches the plan no more
  // (the process may be ending under it).
  AnswerDocument(const AnswerPlan& plan, ResultDocument& doc);

  void begin(uint64_t announcedLength) override;
  void rowBegun() override;
  void value(size_t member, std::string_view utf8) override;
  void rowEnded() override;
  void fault(std::string_view utf8) override;
  void outcome(bool success) override;

  // A failed call: the code, the centre's own fault text when its answer
  // carried one (otherwise `text`, already the HIS's) and an empty table.
  void writeFailure(std::string_view code, std::string_view text);

 private:
  struct Column {
    int32_t colnum;
    const char* colname;
    size_t slot;  // of the member it shows
  };

  const bool hasTable_;  // the answer has rows and columns, however many
  ResultDocument& doc_;
  const size_t mark_;  // where the answer's part of the document starts
  std::vector<Column> columns_;
  std::vector<std::string> values_;  // the row being read, by member slot, in UTF-8
  std::vector<char> present_;
  std::string scratch_;
  int32_t rows_ = 0;
  std::optional<std::string> faultText_;
};

}  // namespace nv

#endif
