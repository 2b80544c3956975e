// SPDX-License-Identifier: MIT
// Builds the exact result documents tests expect. Texts are given in UTF-8
// and converted to the GBK the library writes.
#ifndef NV_TESTS_SUPPORT_RESULT_TEXT_H
#define NV_TESTS_SUPPORT_RESULT_TEXT_H

#include <string>
#include <utility>
#include <vector>

namespace nvtest {

struct Col {
  int colnum;
  std::string name;
  std::string value;  // bytes as the library writes them (already GBK)
};
using Row = std::vector<Col>;

// A row whose columns are (colnum, name) in writing order with these values.
using ColumnNames = std::vector<std::pair<int, std::string>>;
Row rowOf(const ColumnNames& columns, const std::vector<std::string>& values);
// The same columns, every value empty.
Row emptyRowOf(const ColumnNames& columns);

// The columns of cliCalculate's row in writing order (the check money third,
// numbered 7) and of cliBalance's twelve figures, as the HIS reads them.
extern const ColumnNames kClinicCalculationColumns;
extern const ColumnNames kClinicBalanceColumns;

std::string failureDoc(const std::string& functionId, const std::string& code, const std::string& utf8Text);
// A failure whose out_text is given as raw bytes.
std::string failureDocRaw(const std::string& functionId, const std::string& code, const std::string& text);
std::string successDoc(const std::string& functionId, int columns, const std::vector<Row>& rows);

// The fixed outcomes.
std::string centreNotFound(const std::string& functionId);
std::string majorException(const std::string& functionId);

}  // namespace nvtest

#endif
