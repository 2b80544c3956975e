// SPDX-License-Identifier: MIT
// The result document checker that the fuzz targets and these tests rely
// on: it must accept every shape the library writes and reject each way a
// document can be broken.
#include <gtest/gtest.h>

#include "tests/support/document_check.h"
#include "tests/support/gbk.h"
#include "tests/support/result_text.h"

namespace {

using namespace nvtest;
using nvcheck::ColumnHead;

const std::string kQ = "\\\"";
const std::string kHead = "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id>";
const std::string kOk = "<out_code>000</out_code><out_text>" + gbk("执行成功") + "</out_text>";

std::string data(const std::string& rows, const std::string& columns) {
  return "<data rowcount=" + kQ + rows + kQ + " columns=" + kQ + columns + kQ + ">";
}
std::string row(int n) { return "<row rownum=" + kQ + std::to_string(n) + kQ + ">"; }
std::string column(const std::string& colnum, const std::string& name, const std::string& value) {
  return "<column colnum=" + kQ + colnum + kQ + " colname=" + kQ + name + kQ + ">" + value + "</column>";
}
const std::string kEnd = "</data></function>";

TEST(DocumentCheck, AcceptsEveryShapeTheLibraryWrites) {
  const std::string markup = "x</column>" + column("1", "b", "y") + "</row>";
  const std::vector<ColumnHead> ab = {{0, "a"}, {1, "b"}};
  const struct {
    const char* name;
    std::string doc;
    std::vector<std::vector<std::string>> rows;
    bool listing = false;
    std::vector<ColumnHead> heads = {};  // none: read from row 0
    bool oneReading = true;              // values holding markup may admit several readings
  } cases[] = {
      {"two rows of two columns",
       successDoc("F", 2, {{{0, "a", "1"}, {1, "b", ""}}, {{0, "a", "3"}, {1, "b", "4"}}}),
       {{"1", ""}, {"3", "4"}}},
      {"a list without items", successDoc("F", 16, {}), {}},
      {"no result", successDoc("F", 0, {}), {}},
      {"columns out of numeric order",
       successDoc("F", 3, {{{0, "a", "1"}, {2, "c", "2"}, {1, "b", "3"}}}),
       {{"1", "2", "3"}}},
      {"a failure", failureDoc("F", "600", "函数重大异常"), {}},
      {"a failure text holding markup", failureDocRaw("F", "300", "</out_text>" + data("0", "0")), {}},
      {"a listing", kHead + data("1", "1") + row(0) + column("0", "CenterNO", "1") + "</row>" + kEnd, {{"1"}}, true},
      {"values holding the markup that follows them",
       successDoc("F", 2, {{{0, "a", markup}, {1, "b", markup}}, {{0, "a", kEnd}, {1, "b", ""}}}),
       {{markup, markup}, {kEnd, ""}},
       false,
       ab,
       false},
  };
  for (const auto& c : cases) {
    nvcheck::ResultDocumentView view;
    EXPECT_EQ(nvcheck::readResultDocument(c.doc, "F", view, c.heads.empty() ? nullptr : &c.heads, c.listing), "")
        << c.name;
    if (c.oneReading) {
      EXPECT_EQ(view.rows, c.rows) << c.name;
    }
    EXPECT_EQ(view.rows.size(), c.rows.size()) << c.name;
    EXPECT_EQ(view.rowCount, static_cast<int>(c.rows.size())) << c.name;
  }
}

TEST(DocumentCheck, RejectsBrokenDocuments) {
  const std::string twoColumns = column("0", "a", "1") + column("1", "b", "2");
  const struct {
    const char* name;
    std::string doc;
  } cases[] = {
      {"another function_id", successDoc("G", 0, {})},
      {"an unknown out_code", kHead + "<out_code>301</out_code><out_text>x</out_text>" + data("0", "0") + kEnd},
      {"a failure with rows", kHead + "<out_code>600</out_code><out_text>x</out_text>" + data("1", "1") + row(0) +
                                  column("0", "a", "") + "</row>" + kEnd},
      {"a failure without a text", failureDocRaw("F", "600", "")},
      {"success without its text", kHead + "<out_code>000</out_code><out_text>ok</out_text>" + data("0", "0") + kEnd},
      {"fewer rows than counted", kHead + kOk + data("2", "2") + row(0) + twoColumns + "</row>" + kEnd},
      {"fewer columns than counted", kHead + kOk + data("1", "3") + row(0) + twoColumns + "</row>" + kEnd},
      {"rows numbered from 1", kHead + kOk + data("1", "2") + row(1) + twoColumns + "</row>" + kEnd},
      {"a colnum twice",
       kHead + kOk + data("1", "2") + row(0) + column("0", "a", "") + column("0", "b", "") + "</row>" + kEnd},
      {"a colnum beyond the count",
       kHead + kOk + data("1", "2") + row(0) + column("0", "a", "") + column("2", "b", "") + "</row>" + kEnd},
      {"rows with other heads", kHead + kOk + data("2", "2") + row(0) + twoColumns + "</row>" + row(1) +
                                    column("0", "a", "") + column("1", "c", "") + "</row>" + kEnd},
      {"a count with a leading zero", kHead + kOk + data("01", "2") + row(0) + twoColumns + "</row>" + kEnd},
      {"rows without columns", kHead + kOk + data("1", "0") + row(0) + "</row>" + kEnd},
      {"cut short", successDoc("F", 2, {{{0, "a", "1"}, {1, "b", "2"}}}).substr(0, 150)},
      {"bytes after the end", successDoc("F", 0, {}) + " "},
      {"a listing where none is allowed",
       kHead + data("1", "1") + row(0) + column("0", "CenterNO", "1") + "</row>" + kEnd},
      {"an empty declaration", ""},
  };
  for (const auto& c : cases) EXPECT_NE(nvcheck::resultDocumentProblem(c.doc, "F"), "") << c.name;

  std::vector<ColumnHead> three = {{0, "a"}, {1, "b"}, {2, "c"}};
  EXPECT_NE(nvcheck::resultDocumentProblem(successDoc("F", 2, {{{0, "a", "1"}, {1, "b", "2"}}}), "F", &three), "")
      << "columns other than the known ones";
  EXPECT_NE(nvcheck::resultDocumentProblem(kHead + data("0", "0") + kEnd, "GetCenter", nullptr, true), "")
      << "a listing of nothing needs its out_code";
}

}  // namespace
