// SPDX-License-Identifier: MIT
#include "frame/check_param.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/gbk.h"

namespace {

using nvtest::gbk;

TEST(ShapeTests, SampleValues) {
  const struct {
    bool (*test)(std::string_view);
    const char* name;
    std::vector<const char*> passing, failing;
  } shapes[] = {
      {nv::isNumber,
       "isNumber",
       {"-12.5", "0.", "-", "-.5", "", "123"},
       {".5", "1-2", "1.2.3", "+1", "1e3", " 1", "--1", "\xD6\xD0"}},
      {nv::isDate,
       "isDate",
       {"2023-12-31", "2023-00-00", "2023-02-31", "2023-10-30"},
       {"2023-13-01", "2023-12-32", "2023-20-01", "2023-12-40", "2023/12/31", "23-12-31", "2023-1-1", "2023-12-31 ",
        "a023-12-31"}},
      {nv::isDateTime,
       "isDateTime",
       {"2023-12-31 23:59:59", "2023-12-31T23:59:59", "2023-12-31 99:99:99"},
       {"2023-12-31 23:59", "2023-13-31 23:59:59", "2023-12-31 23-59-59", "2023-12-31 2a:59:59",
        "2023-12-31 23:59:590"}},
  };
  for (const auto& shape : shapes) {
    for (const char* value : shape.passing) EXPECT_TRUE(shape.test(value)) << shape.name << "(" << value << ")";
    for (const char* value : shape.failing) EXPECT_FALSE(shape.test(value)) << shape.name << "(" << value << ")";
  }
}

TEST(CheckParam, OutcomesAndMessages) {
  const std::string chinese10 = gbk("一二三四五六七八九十");  // 20 bytes
  const struct {
    std::string value;
    nv::CheckKind kind;
    int maxLength;
    bool mayBeEmpty;
    bool passes;
    std::string message;  // label "L" then the reason
  } cases[] = {
      {"", nv::CheckKind::String, 5, true, true, ""},
      {"", nv::CheckKind::Number, 5, true, true, ""},
      {"", nv::CheckKind::Date, 5, true, true, ""},
      {"", nv::CheckKind::DateTime, 5, true, true, ""},
      {"", nv::CheckKind::String, 5, false, false, "L" + gbk("不能为空")},
      {"", nv::CheckKind::Date, 5, false, false, "L" + gbk("不能为空")},
      {std::string(20, 'a'), nv::CheckKind::String, 20, false, true, ""},
      {std::string(21, 'a'), nv::CheckKind::String, 20, false, false, "L" + gbk("长度超过")},
      {chinese10, nv::CheckKind::String, 12, false, false, "L" + gbk("长度超过")},
      {chinese10, nv::CheckKind::String, 20, false, true, ""},
      {"1234", nv::CheckKind::Number, 3, false, false, "L" + gbk("长度超过")},
      {"12a4", nv::CheckKind::Number, 3, false, false, "L" + gbk("长度超过")},  // length before shape
      {"1a", nv::CheckKind::Number, 3, false, false, "L" + gbk("非数字格式")},
      {"-1.5", nv::CheckKind::Number, 4, false, true, ""},
      {std::string(30, 'x'), nv::CheckKind::Date, 5, false, false, "L" + gbk("非日期格式:yyyy-MM-dd")},
      {"2023-12-31", nv::CheckKind::Date, 5, false, true, ""},
      {"2023-1-1", nv::CheckKind::Date, 20, false, false, "L" + gbk("非日期格式:yyyy-MM-dd")},
      {"2023-12-31 10:00:00", nv::CheckKind::DateTime, 0, false, true, ""},
      {"2023-12-31", nv::CheckKind::DateTime, 0, false, false, "L" + gbk("非时间格式:yyyy-MM-dd HH:mm:ss")},
  };
  for (const auto& c : cases) {
    std::string message;
    EXPECT_EQ(nv::CheckParam(c.value, c.kind, c.maxLength, c.mayBeEmpty, message, "L"), c.passes)
        << static_cast<int>(c.kind) << " '" << c.value << "'";
    EXPECT_EQ(message, c.message) << static_cast<int>(c.kind) << " '" << c.value << "'";
  }
}

TEST(CheckParam, MessageOnlyGrows) {
  std::string message = "earlier";
  EXPECT_TRUE(nv::CheckParam("ok", nv::CheckKind::String, 5, false, message, "L"));
  EXPECT_FALSE(nv::CheckParam("", nv::CheckKind::String, 5, false, message, gbk("医疗证号")));
  EXPECT_EQ(message, "earlier" + gbk("医疗证号不能为空"));
}

}  // namespace
