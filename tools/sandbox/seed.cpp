// SPDX-License-Identifier: MIT
#include "tools/sandbox/seed.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "tools/common/gbk_text.h"

namespace sandbox {

using nvtools::gbk;
namespace {

constexpr int kLayoutVersion = 1;

// Columns named as the contract's members where a table feeds a message.
// Texts are BLOBs (GBK bytes), keys and amounts in cents INTEGERs.
const char kSchema[] = R"sql(
CREATE TABLE counters (name PRIMARY KEY, next INTEGER NOT NULL);
CREATE TABLE centres (centerNo PRIMARY KEY, name);
CREATE TABLE hospitals (hospCode PRIMARY KEY, hospLevel, hospName, centerNo);
CREATE TABLE families (familySysno PRIMARY KEY, accountCents INTEGER NOT NULL);
CREATE TABLE members (
  memberNO PRIMARY KEY, name, countryTeamCode, familySysno REFERENCES families, sexId, idcardNo,
  age, birthday, bookNo, cardNo, familyAddress, tel, ideName);
CREATE INDEX membersByBook ON members (bookNo);
CREATE TABLE diseases (
  icdAllno PRIMARY KEY, icdName, scienceName, enName, description, icdType, icdFlag, sexLimited,
  createTime, updateTime, inputcodePy, inputcodeWb, chronicFlag, state, remark, useFrequency);
CREATE TABLE catalogue (
  insureId PRIMARY KEY, name, spec, unit, conf, price, everyMoney, ratio, adminLevel, isClinic,
  remark, inputPyCode, inputWbCode, approveMinPrice, approveMaxPrice, grade, updateTime, classNo,
  percent INTEGER NOT NULL);
CREATE TABLE redeemTypes (code PRIMARY KEY, name, otherParam, comment, accountType);
CREATE TABLE offices (code PRIMARY KEY, name, otherParam, comment);

CREATE TABLE clinicVisits (
  clinicNo INTEGER PRIMARY KEY, regType, centerNo, hisClinicNo, familyNo, memberNo, countryNo,
  memberName, sexCode, idCard, age, bookNo, cardNo, hosNo, hosLevel, firstIcdNo, secondIcdNo,
  inOfficeNo, clinicDate, clinicDoctor, cureCode, inHosId, operator, turnLevel, turnHosNo);
CREATE TABLE settlements (
  settlementNo INTEGER PRIMARY KEY, clinicNo INTEGER NOT NULL REFERENCES clinicVisits,
  userNo, totalCents INTEGER NOT NULL, eligibleCents INTEGER NOT NULL, redeemCents INTEGER NOT NULL,
  cancelled INTEGER NOT NULL DEFAULT 0,
  balanced INTEGER NOT NULL DEFAULT 0, familyAccountCents INTEGER NOT NULL DEFAULT 0, balanceUserNo);
CREATE INDEX settlementsByVisit ON settlements (clinicNo);

CREATE TABLE stays (
  inpatientSn INTEGER PRIMARY KEY, opType, hosOrgno, inpatientNo, centerNo, memberName,
  familySysno, memberSysno, countryTeamCode, sexId, idcardNo, age, bookno, cardNo, icdAllNo,
  opsId, inOfficeId, officeDate, cureId, inHosId, cureDoctor, bedNo, sectionNo, leaveDate, days,
  outOfficeId, outHosId, turnOp, turnOrgNo, turnDate, ticketNo, ministerNotice, procreateNotice,
  operateEmpSysno, hosLevelId, redeemId);
CREATE TABLE payments (
  inpatientRedeemno INTEGER PRIMARY KEY, inpatientSn INTEGER NOT NULL UNIQUE REFERENCES stays,
  redeemId, redeemEmpsysno, redeemDate, acceptMan, acceptDate, redeemOrgno,
  totalCents INTEGER NOT NULL, eligibleCents INTEGER NOT NULL, redeemCents INTEGER NOT NULL);

-- Fee lines of visits (kind 'clinic') and stays (kind 'inpatient') share
-- one numbering: one cancellation operation serves both.
CREATE TABLE feeDetails (
  detailId INTEGER PRIMARY KEY, kind NOT NULL, visitNo INTEGER NOT NULL,
  rxNo, hisCode, insureId, classId, name, spec, unit, conf, price, quantity, money, factMoney,
  useDate, enableRatio, enableMoney, factCents INTEGER NOT NULL);
CREATE INDEX feeDetailsByVisit ON feeDetails (kind, visitNo);

CREATE TABLE matches (
  hospitalSysno, hisCode, code, centerNo, hisName, hisSpec, hisUnit, hisConf, hisPrice,
  PRIMARY KEY (hospitalSysno, hisCode));
)sql";

// The numbers the centre issues; each kind has its own range, so a number
// of one kind passed as another is told apart at once.
void seedCounters(Database& db) {
  for (auto [name, first] : {std::pair{"clinicNo", 10000001},
                             {"settlementNo", 20000001},
                             {"inpatientSn", 30000001},
                             {"detailId", 40000001},
                             {"inpatientRedeemno", 50000001}})
    db.insert("counters", {{"name", name}, {"next", first}});
}

using Texts = std::initializer_list<const char*>;

// Inserts rows of UTF-8 texts as GBK BLOBs.
void insertRows(Database& db, const char* table, Texts columns, std::initializer_list<Texts> rows) {
  for (const Texts& row : rows) {
    Columns values;
    auto name = columns.begin();
    for (const char* text : row) values.emplace_back(*name++, gbk(text));
    db.insert(table, values);
  }
}

void seedPeople(Database& db) {
  insertRows(db, "centres", {"centerNo", "name"}, {{kSeedCentre, "明湖县新型农村合作医疗管理中心"}});
  for (const SeedHospital& h : kSeedHospitals)
    insertRows(db, "hospitals", {"hospCode", "hospLevel", "hospName", "centerNo"},
               {{h.hospCode, h.hospLevel, h.hospName, kSeedCentre}});
  // Family accounts, in cents.
  for (auto [family, cents] : {std::pair{"3411220001", 30000}, {"3411220002", 20000}, {"3411220003", 10000}})
    db.insert("families", {{"familySysno", gbk(family)}, {"accountCents", cents}});
  insertRows(db, "members",
             {"memberNO", "name", "countryTeamCode", "familySysno", "sexId", "idcardNo", "age", "birthday", "bookNo",
              "cardNo", "familyAddress", "tel", "ideName"},
             {
                 {"34112200012301", "张三", "341122100001", "3411220001", "1", "341122197803150019", "46", "1978-03-15",
                  "341122000123", "6210341122000123", "明湖县城关镇东街12号", "13800000001", "一般农户"},
                 {"34112200012302", "李秀英", "341122100001", "3411220001", "2", "341122198011020026", "43",
                  "1980-11-02", "341122000123", "6210341122000124", "明湖县城关镇东街12号", "13800000002", "一般农户"},
                 {"34112200012303", "张小明", "341122100001", "3411220001", "1", "341122200605200011", "18",
                  "2006-05-20", "341122000123", "6210341122000125", "明湖县城关镇东街12号", "", "学生"},
                 {"34112200045601", "王建国", "341122201003", "3411220002", "1", "341122196501080035", "59",
                  "1965-01-08", "341122000456", "6210341122000456", "明湖县南桥乡杨庄村三组", "13900000003", "低保户"},
                 {"34112200045602", "刘芳", "341122201003", "3411220002", "2", "341122196709150042", "56", "1967-09-15",
                  "341122000456", "6210341122000457", "明湖县南桥乡杨庄村三组", "", "低保户"},
                 {"34112200078901", "陈桂兰", "341122201007", "3411220003", "2", "341122194512300028", "78",
                  "1945-12-30", "341122000789", "6210341122000789", "明湖县南桥乡李湾村", "", "五保户"},
             });
}

void seedCatalogues(Database& db) {
  insertRows(
      db, "diseases",
      {"icdAllno", "icdName", "scienceName", "enName", "description", "icdType", "icdFlag", "sexLimited", "createTime",
       "updateTime", "inputcodePy", "inputcodeWb", "chronicFlag", "state", "remark", "useFrequency"},
      {
          {"J06.900", "急性上呼吸道感染", "急性上呼吸道感染", "Acute upper respiratory infection", "", "1", "1", "0",
           "2020-01-01 00:00:00", "2023-03-01 09:00:00", "JXSHXDGR", "QHHMB", "0", "1", "", "120"},
          {"I10.x00", "原发性高血压", "原发性高血压", "Essential hypertension", "", "1", "1", "0",
           "2020-01-01 00:00:00", "2024-01-15 10:00:00", "YFXGXY", "DNNYT", "1", "1", "慢性病", "86"},
          {"E11.900", "2型糖尿病", "2型糖尿病", "Type 2 diabetes mellitus", "", "1", "1", "0", "2020-01-01 00:00:00",
           "2024-01-15 10:00:00", "2XTNB", "2GOIU", "1", "1", "慢性病", "64"},
          {"K35.900", "急性阑尾炎", "急性阑尾炎", "Acute appendicitis", "", "1", "1", "0", "2020-01-01 00:00:00",
           "2024-05-20 14:30:00", "JXLWY", "QNBJO", "0", "1", "", "31"},
          {"J18.900", "肺炎", "肺炎", "Pneumonia", "", "1", "1", "0", "2020-01-01 00:00:00", "2024-05-20 14:30:00",
           "FY", "EO", "0", "1", "", "45"},
          {"O80.000", "单胎顺产", "单胎顺产", "Single spontaneous delivery", "", "1", "1", "2", "2020-01-01 00:00:00",
           "2024-06-01 08:00:00", "DTSC", "UEKU", "0", "1", "", "22"},
      });

  // The ratio column shows the percent as the centre words it.
  struct Item {
    Texts texts;
    int percent;
  };
  const Texts columns = {
      "insureId",        "name",       "spec",       "unit",   "conf",        "price",       "everyMoney",
      "ratio",           "adminLevel", "isClinic",   "remark", "inputPyCode", "inputWbCode", "approveMinPrice",
      "approveMaxPrice", "grade",      "updateTime", "classNo"};
  const Item items[] = {
      {{"XY0001", "阿莫西林胶囊", "0.25g*24粒", "盒", "胶囊剂", "12.50", "12.50", "1.00", "1", "1", "", "AMXLJN",
        "BAASE", "10.00", "15.00", "甲类", "2023-06-01 08:00:00", "01"},
       100},
      {{"XY0002", "头孢克肟分散片", "0.1g*6片", "盒", "片剂", "36.80", "36.80", "0.80", "2", "1", "", "TBKWFSP",
        "UQFRW", "30.00", "40.00", "乙类", "2024-02-10 09:00:00", "01"},
       80},
      {{"XY0003", "硝苯地平缓释片", "20mg*30片", "盒", "片剂", "9.60", "9.60", "1.00", "1", "1", "慢性病用药",
        "XBDPHSP", "DAFGT", "8.00", "12.00", "甲类", "2024-04-01 08:00:00", "01"},
       100},
      {{"ZY0001", "板蓝根颗粒", "10g*20袋", "盒", "颗粒剂", "15.00", "15.00", "1.00", "1", "1", "", "BLGKL", "SAGOD",
        "12.00", "18.00", "甲类", "2023-06-01 08:00:00", "02"},
       100},
      {{"JC0001", "血常规", "", "次", "", "20.00", "20.00", "0.90", "1", "1", "", "XCG", "TIF", "15.00", "25.00",
        "甲类", "2023-06-01 08:00:00", "03"},
       90},
      {{"JC0002", "胸部X线摄影", "", "次", "", "60.00", "60.00", "0.90", "1", "0", "", "XBXXSY", "EEXXB", "50.00",
        "70.00", "甲类", "2024-05-01 08:00:00", "03"},
       90},
      {{"ZL0001", "静脉输液", "", "次", "", "8.00", "8.00", "1.00", "1", "1", "", "JMSY", "EELI", "6.00", "10.00",
        "甲类", "2023-06-01 08:00:00", "04"},
       100},
      {{"ZL0002", "阑尾切除术", "", "次", "", "1200.00", "1200.00", "1.00", "2", "0", "", "LWQCS", "UNAB", "1000.00",
        "1500.00", "甲类", "2024-05-01 08:00:00", "04"},
       100},
      {{"CL0001", "一次性输液器", "", "套", "", "3.50", "3.50", "0.70", "1", "1", "", "YCXSYQ", "GUTLI", "3.00", "4.00",
        "乙类", "2024-05-01 08:00:00", "05"},
       70},
      {{"ZF0001", "进口肠内营养乳剂", "500ml", "瓶", "乳剂", "150.00", "150.00", "0.00", "3", "0", "自费", "JKCNYYRJ",
        "FKEAW", "140.00", "160.00", "丙类", "2024-06-01 08:00:00", "01"},
       0},
  };
  for (const Item& item : items) {
    Columns values;
    auto name = columns.begin();
    for (const char* text : item.texts) values.emplace_back(*name++, gbk(text));
    values.emplace_back("percent", item.percent);
    db.insert("catalogue", values);
  }

  for (const SeedRedeemType& t : kSeedRedeemTypes)
    insertRows(db, "redeemTypes", {"code", "name", "otherParam", "comment", "accountType"},
               {{t.code, t.name, t.otherParam, t.comment, t.accountType}});
  for (const SeedOffice& o : kSeedOffices)
    insertRows(db, "offices", {"code", "name", "otherParam", "comment"}, {{o.code, o.name, o.otherParam, o.comment}});
}

}  // namespace

namespace {

void createAndSeed(Database& db) {
  db.script(kSchema);
  seedCounters(db);
  seedPeople(db);
  seedCatalogues(db);
  db.setUserVersion(kLayoutVersion);
}

}  // namespace

void prepareDatabase(Database& db) {
  int version = db.userVersion();
  if (version == kLayoutVersion) return;
  if (version != 0)
    throw DatabaseError("database layout " + std::to_string(version) + " is not this sandbox's (" +
                        std::to_string(kLayoutVersion) + "): use a fresh --db file");
  Database::Transaction transaction(db);
  createAndSeed(db);
  transaction.commit();
}

void reseedDatabase(Database& db) {
  Database::Transaction transaction(db);
  // Newest first: a table is dropped before the tables it refers to.
  for (const Record& table :
       db.rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid DESC"))
    db.script("DROP TABLE " + table["name"]);
  createAndSeed(db);
  transaction.commit();
}

}  // namespace sandbox
