// SPDX-License-Identifier: MIT
// Members, hospitals, the reference lists, the catalogues and item matching.
#include "tools/sandbox/business_error.h"
#include "tools/common/gbk_text.h"
#include "tools/sandbox/ledger.h"

namespace sandbox {

using nvtools::gbk;
namespace {

// True when needle occurs in haystack at a character boundary of GBK text,
// so half of one character and half of the next never make a match.
bool containsGbk(std::string_view haystack, std::string_view needle) {
  for (size_t i = 0; i + needle.size() <= haystack.size();) {
    if (haystack.compare(i, needle.size(), needle) == 0) return true;
    bool leadByte = static_cast<unsigned char>(haystack[i]) >= 0x81;
    i += leadByte ? 2 : 1;
  }
  return false;
}

// "yyyy-MM-dd HH:mm:ss"
bool isDateTime(std::string_view text) {
  static constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kShape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<Record> Ledger::membersOfBook(const Record& rq) {
  return db_.rows("SELECT * FROM members WHERE bookNo = ? ORDER BY memberNO", {rq["bookno"]});
}

std::vector<Record> Ledger::hospitalsNamed(const Record& rq) {
  std::vector<Record> found;
  for (Record& hospital : db_.rows("SELECT * FROM hospitals ORDER BY hospCode"))
    if (containsGbk(hospital["hospName"], rq["name"])) found.push_back(std::move(hospital));
  return found;
}

std::vector<Record> Ledger::redeemTypes(const Record& rq) {
  if (!rq["hosCode"].empty()) requireHospital(rq["hosCode"]);
  return db_.rows("SELECT * FROM redeemTypes ORDER BY code");
}

std::vector<Record> Ledger::offices(const Record& rq) {
  if (!rq["hosCode"].empty()) requireHospital(rq["hosCode"]);
  return db_.rows("SELECT * FROM offices ORDER BY code");
}

std::string Ledger::connectionTest() { return gbk("连接成功"); }

std::vector<Record> Ledger::diseasesSince(const Record& rq) {
  requireCentre(rq, "centerNo");
  if (!isDateTime(rq["lastTime"])) throw BusinessError("最后更新时间格式错误，应为yyyy-MM-dd HH:mm:ss");
  return db_.rows("SELECT * FROM diseases WHERE updateTime > ? ORDER BY updateTime, icdAllno", {rq["lastTime"]});
}

std::vector<Record> Ledger::drugsSince(const Record& rq) {
  requireCentre(rq, "centerNo");
  requireHospital(rq["hosNo"]);
  if (!isDateTime(rq["lastTime"])) throw BusinessError("最后更新时间格式错误，应为yyyy-MM-dd HH:mm:ss");
  return db_.rows("SELECT * FROM catalogue WHERE updateTime > ? ORDER BY updateTime, insureId", {rq["lastTime"]});
}

void Ledger::storeMatch(const Record& rq) {
  requireCentre(rq, "centerNo");
  requireHospital(rq["hospitalSysno"]);
  requireCatalogueItem(rq["code"]);
  if (rq["hisCode"].empty()) throw BusinessError("HIS编码不能为空");
  if (!parseMoney(rq["hisPrice"])) throw BusinessError("单价不是有效的金额");
  // One insurance code per HIS item of a hospital: a new match replaces it.
  db_.run("DELETE FROM matches WHERE hospitalSysno = ? AND hisCode = ?", {rq["hospitalSysno"], rq["hisCode"]});
  Columns values;
  for (const char* name :
       {"hospitalSysno", "hisCode", "code", "centerNo", "hisName", "hisSpec", "hisUnit", "hisConf", "hisPrice"})
    values.emplace_back(name, rq[name]);
  db_.insert("matches", values);
}

std::string Ledger::matchState(const Record& rq) {
  requireCentre(rq, "centerNo");
  requireHospital(rq["hospitalSysno"]);
  std::optional<Record> match =
      db_.row("SELECT code FROM matches WHERE hospitalSysno = ? AND hisCode = ?", {rq["hospitalSysno"], rq["hisCode"]});
  if (!match) return gbk("未匹配");
  return gbk((*match)["code"] == rq["code"] ? "已匹配" : "已匹配其他农合编码");
}

}  // namespace sandbox
