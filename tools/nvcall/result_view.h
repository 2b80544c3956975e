// SPDX-License-Identifier: MIT
// Reading a result document for people: its header, and its rows as an
// aligned table.
#ifndef NV_NVCALL_RESULT_VIEW_H
#define NV_NVCALL_RESULT_VIEW_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/texts.h"

namespace nvcall {

struct ResultView {
  std::string functionId;
  std::optional<std::string> outCode;  // absent in getCenter's success
  std::optional<std::string> outText;
  using Row = std::vector<std::pair<std::string, std::string>>;  // (colname, value)
  std::vector<Row> rows;

  // Success: an out_code of "000", or none at all (getCenter, getAllCenter).
  bool succeeded() const { return !outCode || *outCode == nv::texts::kSuccessCode; }
  // The value of a column of the first row.
  std::optional<std::string> value(std::string_view colname) const;
};

// Parses a result document; nothing when the text is not one. Values are
// not escaped in a result document, so a value holding "</column>" cannot
// be read back whole.
std::optional<ResultView> parseResult(std::string_view document);

// How wide a text shows on a terminal: UTF-8 with wide East Asian
// characters counting two; for GBK (utf8 false) one column per byte, which
// is how a GBK terminal shows its two-byte characters.
size_t displayWidth(std::string_view text, bool utf8);

// Texts as they appear in the table (already in the output's code page).
struct TableText {
  std::string header;                          // "GetPersonInfo  000  执行成功  (3 rows)"
  std::vector<std::string> columns;            // column names
  std::vector<std::vector<std::string>> rows;  // values
  bool alwaysAcross = false;                   // never name/value lines
};

// Lays out the table: a header line, then the rows aligned under the column
// names. A single row of many columns is shown as name/value lines.
std::string renderTable(const TableText& table, bool utf8);

}  // namespace nvcall

#endif
