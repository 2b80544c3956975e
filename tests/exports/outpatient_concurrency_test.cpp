// SPDX-License-Identifier: MIT
// Eight threads run outpatient business at once, each with its own centre
// (its own record and scripted server), so every thread knows exactly what
// it must get back and what its centre must receive.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

constexpr int kThreads = 8;
constexpr int kRounds = 10;

class OutpatientConcurrency : public ExportTest {};

// One thread's business: per round a registration, a fee upload, the fee
// list, a calculation, a settlement, a balance, a refused member code.
std::vector<ExportCase> threadCases(int t, const std::string& centre, const std::string& userNo) {
  std::vector<ExportCase> cases;
  for (int r = 0; r < kRounds; ++r) {
    const std::string tag = std::to_string(t) + std::to_string(r);
    const std::string visit = "2024" + tag;
    const std::string name = gbk("患者") + tag;
    const std::string settlement = "BC" + tag;

    cases.push_back({"register " + tag,
                     [=] {
                       return cliRegister("1", "", centre.c_str(), ("MZ" + tag).c_str(), "F1", "M1", "C1", name.c_str(),
                                          "1", "", "30", "B1", "", "J06", "", "", "2024-03-05", "", "1", "", "", "");
                     },
                     Reply::soap("cliRegister", returnText(visit)),
                     successDoc("CliRegister", 1, {{{0, "clinicNo", visit}}}), "cliRegister",
                     SentMembers{{"regType", "1"},
                                 {"clinicNo", ""},
                                 {"centerNo", centre},
                                 {"hisClinicNo", "MZ" + tag},
                                 {"familyNo", "F1"},
                                 {"memberNo", "M1"},
                                 {"countryNo", "C1"},
                                 {"memberName", name},
                                 {"sexCode", "1"},
                                 {"idCard", ""},
                                 {"age", "30"},
                                 {"bookNo", "B1"},
                                 {"cardNo", ""},
                                 {"hosNo", "H" + tag.substr(0, 1)},
                                 {"hosLevel", "2"},
                                 {"firstIcdNo", "J06"},
                                 {"secondIcdNo", ""},
                                 {"inOfficeNo", ""},
                                 {"clinicDate", "2024-03-05"},
                                 {"clinicDoctor", ""},
                                 {"cureCode", "1"},
                                 {"inHosId", ""},
                                 {"operator", userNo},
                                 {"turnLevel", ""},
                                 {"turnHosNo", ""}}});
    cases.push_back({"fee " + tag,
                     [=] {
                       return cliDetailInput("1", centre.c_str(), visit.c_str(), "", "", "HIS1", "XA01", "01", "", "",
                                             "", "", "2.5", tag.c_str(), "", "2", "2024-03-05", "", "");
                     },
                     Reply::soap("cliDetailInput", returnText("D" + tag)),
                     successDoc("CliDetailInput", 1, {{{0, "detailno", "D" + tag}}}), "cliDetailInput",
                     SentMembers{{"type", "1"},
                                 {"no", visit},
                                 {"clinicRxNo", ""},
                                 {"detailNo", ""},
                                 {"code", "XA01"},
                                 {"classId", "01"},
                                 {"name", ""},
                                 {"spec", ""},
                                 {"unit", ""},
                                 {"conf", ""},
                                 {"price", "2.5"},
                                 {"quantity", tag},
                                 {"money", ""},
                                 {"factMoney", "2"},
                                 {"useDate", "2024-03-05"},
                                 {"enableRatio", ""},
                                 {"enableMoney", ""},
                                 {"hisLeechdomCode", "HIS1"}}});
    Row detail;
    const char* detailNames[] = {"detailno",     "no",           "clinicRxno", "CODE",     "NAME",       "SPEC",
                                 "UNIT",         "CONF",         "PRICE",      "QUANTITY", "FACT_MONEY", "USE_DATE",
                                 "ENABLE_RATIO", "ENABLE_MONEY", "classId",    "money"};
    for (int c = 0; c < 16; ++c) detail.push_back({c, detailNames[c], c == 0 ? "D" + tag : c == 4 ? name : ""});
    cases.push_back(
        {"fee list " + tag, [=] { return cliDetailSeek(visit.c_str(), centre.c_str()); },
         Reply::soap("cliDetailSeek",
                     "<return>" + recordXml("list", {{"detailId", "D" + tag}, {"name", name}}) + "</return>"),
         successDoc("CliDetailSeek", 16, {detail}), "cliDetailSeek", SentMembers{{"clinicNo", visit}}});
    cases.push_back({"calculate " + tag, [=] { return cliCalculate(visit.c_str(), centre.c_str()); },
                     Reply::soap("cliCalculate", recordXml("return", {{"checkMoney", tag}})),
                     successDoc("cliCalculate", 8, {rowOf(kClinicCalculationColumns, {"", "", tag})}), "cliCalculate",
                     SentMembers{{"clinicNo", visit}}});
    cases.push_back({"settle " + tag, [=] { return cliSettlement(visit.c_str(), centre.c_str()); },
                     Reply::soap("cliSettlement", returnText(settlement)),
                     successDoc("cliSettlement", 1, {{{0, "settlementNo", settlement}}}), "cliSettlement",
                     SentMembers{{"clinicNo", visit}, {"userNo", userNo}}});
    Row balance = emptyRowOf(kClinicBalanceColumns);
    balance[11].value = tag;
    cases.push_back({"balance " + tag, [=] { return cliBalance(visit.c_str(), tag.c_str(), centre.c_str()); },
                     Reply::soap("cliBalance", recordXml("return", {{"redeemMoney", tag}})),
                     successDoc("CliBalance", 12, {balance}), "cliBalance",
                     SentMembers{{"settlementNo", visit}, {"familyAccountGeld", tag}, {"userNo", userNo}}});
    cases.push_back({"refused member code " + tag, [=] { return cliSeek(("M" + tag).c_str(), centre.c_str()); },
                     std::nullopt, failureDoc("CliSeek", "300", "成员编码非数字格式")});
  }
  return cases;
}

TEST_F(OutpatientConcurrency, EightThreadsEachGetTheirOwnResults) {
  std::vector<std::unique_ptr<ScriptedServer>> servers;
  std::vector<CentreConfig> centres = {
      {Centres::kMain, server.url(), Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo, ""}};
  std::vector<std::vector<ExportCase>> cases;
  for (int t = 0; t < kThreads; ++t) {
    servers.push_back(std::make_unique<ScriptedServer>());
    const std::string centre = "3411880" + std::to_string(t);
    const std::string userNo = gbk("操作员") + std::to_string(t);
    centres.push_back({centre, servers[t]->url(), "H" + std::to_string(t), "2", userNo, ""});
    cases.push_back(threadCases(t, centre, userNo));
    for (const ExportCase& c : cases[t])
      if (c.reply) servers[t]->enqueue(*c.reply);
  }
  dir.writeCentres(centres);

  std::vector<std::vector<std::string>> wrong(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (const ExportCase& c : cases[t]) {
        std::string result = take(c.call());
        if (result != c.expected) wrong[t].push_back(c.name + ": " + utf8(result));
      }
    });
  for (std::thread& thread : threads) thread.join();

  for (int t = 0; t < kThreads; ++t) {
    SCOPED_TRACE("thread " + std::to_string(t));
    if (!wrong[t].empty()) ADD_FAILURE() << wrong[t].size() << " wrong results, the first: " << wrong[t].front();
    // The thread's centre received exactly its requests, in its order.
    std::vector<std::string> requests = servers[t]->requests();
    size_t next = 0;
    for (const ExportCase& c : cases[t]) {
      if (!c.reply) continue;
      ASSERT_LT(next, requests.size()) << c.name;
      std::string body = requestBody(requests[next++]);
      EXPECT_EQ(wrapperName(body), c.operation) << c.name;
      SentMembers members;
      for (const auto& [member, text] : wrapperMembers(body)) members.emplace_back(member, base64Decode(text));
      EXPECT_EQ(members, *c.sent) << c.name;
    }
    EXPECT_EQ(next, requests.size());
  }
  EXPECT_TRUE(server.requests().empty()) << "no call may reach the main centre";
}

}  // namespace
