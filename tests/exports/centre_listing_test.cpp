// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/support/gbk.h"
#include "tests/support/scratch_dir.h"

namespace {

using nvtest::gbk;
using nvtest::take;

const std::string kHead = "<?xml version='1.0' encoding='gb2312'?><function><function_id>GetCenter</function_id>";
const std::string kEnd = "</data></function>";

std::string row(int n, const std::string& centre, const std::string& hosp, const std::string& level,
                const std::string& user, const std::string& bk) {
  auto col = [](int i, const char* name, const std::string& v) {
    return "<column colnum=\\\"" + std::to_string(i) + "\\\" colname=\\\"" + name + "\\\">" + v + "</column>";
  };
  return "<row rownum=\\\"" + std::to_string(n) + "\\\">" + col(0, "CenterNO", centre) + col(1, "HOSP_CODE", hosp) +
         col(2, "ORG_LEVEL", level) + col(3, "UserNo", user) + col(4, "BK", bk) + "</row>";
}

std::string notFound() {
  return kHead + "<out_code>300</out_code><out_text>" + gbk("无法找到配置文件") +
         "</out_text><data rowcount=\\\"0\\\" columns=\\\"0\\\">" + kEnd;
}

std::string data(int rows) { return "<data rowcount=\\\"" + std::to_string(rows) + "\\\" columns=\\\"5\\\">"; }

class CentreListing : public ::testing::Test {
 protected:
  nvtest::ScratchDir dir;
};

TEST_F(CentreListing, NoConfigurationFile) {
  EXPECT_EQ(take(getCenter("1")), notFound());
  EXPECT_EQ(take(getCenter(nullptr)), notFound());
  EXPECT_EQ(take(getAllCenter()), notFound());
}

TEST_F(CentreListing, GetCentreTable) {
  dir.writeCentres({{"341", "http://a/x", "123456789012", "2", "u1", ""},
                    {"342", "http://b/x", "H2", "3", "u2", "bk"},
                    {"341", "http://c/x", "H3", "1", "u3", gbk("备注")}});
  const struct {
    const char* code;
    std::string expected;
  } cases[] = {
      {"", kHead + data(1) + row(0, "341", "123456789012", "2", "u1", "") + kEnd},
      {nullptr, kHead + data(1) + row(0, "341", "123456789012", "2", "u1", "") + kEnd},
      {"342", kHead + data(1) + row(0, "342", "H2", "3", "u2", "bk") + kEnd},
      {"341", kHead + data(1) + row(0, "341", "H3", "1", "u3", gbk("备注")) + kEnd},
      {"343", notFound()},
  };
  for (const auto& c : cases) EXPECT_EQ(take(getCenter(c.code)), c.expected) << (c.code ? c.code : "null");
}

TEST_F(CentreListing, GetAllCenterListsEveryRecordAsWritten) {
  // Records with an empty centre code and values that are not base64 are listed too.
  dir.writeConfig(nvtest::centreLines({"1", "http://a/x", "H1", "L1", "U1", "B1"}) +
                  nvtest::centreLines({"", "http://b/x", "H2", "L2", "U2", "B2"}) +
                  "f7ad02e=C 3\n957b527=http://c:1/x\n1c1be9c=a:b\n170e2c1=\n8e44f00\n8e44f01=YWJj\n");
  EXPECT_EQ(take(getAllCenter()), kHead + data(3) + row(0, "1", "H1", "L1", "U1", "B1") +
                                      row(1, "", "H2", "L2", "U2", "B2") + row(2, "C 3", "a:b", "", "", "abc") + kEnd);
  // A selected record with an empty centre code is not found.
  dir.writeConfig(nvtest::centreLines({"", "http://b/x", "H2", "L2", "U2", "B2"}));
  EXPECT_EQ(take(getCenter("")), notFound());
}

}  // namespace
