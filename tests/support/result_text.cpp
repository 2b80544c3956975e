// SPDX-License-Identifier: MIT
#include "tests/support/result_text.h"

#include "tests/support/gbk.h"

namespace nvtest {
namespace {
const std::string kQ = "\\\"";
std::string head(const std::string& functionId) {
  return "<?xml version='1.0' encoding='gb2312'?><function><function_id>" + functionId + "</function_id>";
}
std::string dataOpen(size_t rows, int columns) {
  return "<data rowcount=" + kQ + std::to_string(rows) + kQ + " columns=" + kQ + std::to_string(columns) + kQ + ">";
}
}  // namespace

Row rowOf(const ColumnNames& columns, const std::vector<std::string>& values) {
  Row row;
  for (size_t i = 0; i < columns.size(); ++i)
    row.push_back({columns[i].first, columns[i].second, i < values.size() ? values[i] : std::string()});
  return row;
}

Row emptyRowOf(const ColumnNames& columns) { return rowOf(columns, {}); }

std::string failureDocRaw(const std::string& functionId, const std::string& code, const std::string& text) {
  return head(functionId) + "<out_code>" + code + "</out_code><out_text>" + text + "</out_text>" + dataOpen(0, 0) +
         "</data></function>";
}

std::string failureDoc(const std::string& functionId, const std::string& code, const std::string& utf8Text) {
  return failureDocRaw(functionId, code, gbk(utf8Text));
}

std::string successDoc(const std::string& functionId, int columns, const std::vector<Row>& rows) {
  std::string doc = head(functionId) + "<out_code>000</out_code><out_text>" + gbk("执行成功") + "</out_text>" +
                    dataOpen(rows.size(), columns);
  for (size_t i = 0; i < rows.size(); ++i) {
    doc += "<row rownum=" + kQ + std::to_string(i) + kQ + ">";
    for (const Col& c : rows[i])
      doc += "<column colnum=" + kQ + std::to_string(c.colnum) + kQ + " colname=" + kQ + c.name + kQ + ">" + c.value +
             "</column>";
    doc += "</row>";
  }
  return doc + "</data></function>";
}

std::string centreNotFound(const std::string& functionId) { return failureDoc(functionId, "300", "无法找到配置文件"); }

std::string majorException(const std::string& functionId) { return failureDoc(functionId, "600", "函数重大异常"); }

const ColumnNames kClinicCalculationColumns = {
    {0, "totalMoney"},       {1, "enableTotal"},     {7, "checkMoney"},         {2, "familyAccountMoney"},
    {3, "doorRedeemNumber"}, {4, "doorRedeemMoney"}, {5, "memberRedeemNumber"}, {6, "memberRedeemMoney"}};
const ColumnNames kClinicBalanceColumns = {{0, "totalCosts"},
                                           {1, "medicineChineseCosts"},
                                           {2, "medicineWesternCosts"},
                                           {3, "checkCosts"},
                                           {4, "cureCosts"},
                                           {5, "enableMedicineSum"},
                                           {6, "enableSum"},
                                           {7, "checkRedeem"},
                                           {8, "redeemAccounttype"},
                                           {9, "redeemId"},
                                           {10, "redeemOrgno"},
                                           {11, "redeemMoney"}};

}  // namespace nvtest
