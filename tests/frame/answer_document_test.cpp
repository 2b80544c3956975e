// SPDX-License-Identifier: MIT
// The sink that writes an answer into the result document, fed the reader's
// events directly: the success head in front of the rows, void rows taken
// back, and every received text turned into the HIS's in one order (GBK,
// then base64-decoded), fault texts as member values.
#include <gtest/gtest.h>

#include "frame/answer_document.h"
#include "tests/support/gbk.h"
#include "text/codec.h"

namespace {

using nvtest::gbk;

const std::string kHead = "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id>";
const std::string kEnd = "</data></function>";

std::string column(int number, const std::string& name, const std::string& value) {
  return "<column colnum=\\\"" + std::to_string(number) + "\\\" colname=\\\"" + name + "\\\">" + value + "</column>";
}

TEST(AnswerDocument, WritesTheSuccessHeadInFrontOfTheRowsAsTheyCame) {
  // Two columns show member 0; member 1 is base64 of GBK text.
  const nv::AnswerPlan plan{nv::AnswerShape::kList, "r", "return", {{0, "a", "x"}, {1, "b", "y"}, {2, "c", "x"}}};
  nv::ResultDocument doc;
  doc.appendHeader("F");
  nv::AnswerDocument answer(plan, doc);
  answer.begin(100);
  answer.rowBegun();
  answer.value(1, nv::encodeField(gbk("门诊")));
  answer.value(0, "中<&");
  answer.rowEnded();
  answer.rowBegun();  // a row without members is all empty values
  answer.rowEnded();
  answer.outcome(true);
  doc.appendEnd();
  EXPECT_EQ(nvtest::utf8(doc.text().view()),
            nvtest::utf8(kHead + "<out_code>000</out_code><out_text>" + gbk("执行成功") +
                         "</out_text><data rowcount=\\\"2\\\" columns=\\\"3\\\"><row rownum=\\\"0\\\">" +
                         column(0, "a", gbk("中<&")) + column(1, "b", gbk("门诊")) + column(2, "c", gbk("中<&")) +
                         "</row><row rownum=\\\"1\\\">" + column(0, "a", "") + column(1, "b", "") + column(2, "c", "") +
                         "</row>" + kEnd));
}

TEST(AnswerDocument, TakesBackVoidRowsAndWritesTheFailure) {
  const nv::AnswerPlan plan{nv::AnswerShape::kRecord, "r", "return", {{0, "a", "a"}}};
  nv::ResultDocument doc;
  doc.appendHeader("F");
  nv::AnswerDocument answer(plan, doc);
  answer.begin(0);
  answer.rowBegun();
  answer.value(0, "MTIz");
  answer.rowEnded();
  answer.outcome(false);
  answer.writeFailure("600", "HTTP Error");
  doc.appendEnd();
  EXPECT_EQ(doc.text().view(),
            kHead +
                "<out_code>600</out_code><out_text>HTTP Error</out_text><data rowcount=\\\"0\\\" columns=\\\"0\\\">" +
                kEnd);
}

TEST(AnswerDocument, GivesTheCentresFaultTextInsteadOfTheStatusText) {
  const struct {
    std::string sent, written;
  } cases[] = {
      {"服务忙", gbk("服务忙")},                            // UTF-8 into GBK
      {nv::encodeField(gbk("参数错误")), gbk("参数错误")},  // then decoded: GBK bytes come out
      {"not base64!", "not base64!"},                       // passes through
  };
  for (const auto& c : cases) {
    const nv::AnswerPlan plan{nv::AnswerShape::kNone, "r", "", {}};
    nv::ResultDocument doc;
    nv::AnswerDocument answer(plan, doc);
    answer.fault(c.sent);
    answer.outcome(false);
    answer.writeFailure("600", "status text");
    EXPECT_EQ(nvtest::utf8(doc.text().view()), nvtest::utf8("<out_code>600</out_code><out_text>" + c.written +
                                                            "</out_text><data rowcount=\\\"0\\\" columns=\\\"0\\\">"))
        << c.sent;
  }
}

}  // namespace
