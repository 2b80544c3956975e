// SPDX-License-Identifier: MIT
// The centre's code tables and its connection test against the scripted
// centre: each table sends the chosen centre's hospital code and operator,
// the connection test sends nothing.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;

using CodeTables = SecondCentreTest;

// The values of one list entry, in the members' order.
using Entry = std::vector<std::string>;

std::string listXml(const std::vector<std::string>& members, const std::vector<Entry>& entries) {
  std::string xml = "<return>";
  for (const Entry& entry : entries) {
    xml += "<list>";
    for (size_t i = 0; i < members.size(); ++i)
      xml += "<" + members[i] + ">" + base64Encode(entry[i]) + "</" + members[i] + ">";
    xml += "</list>";
  }
  return xml + "</return>";
}

// The row of an entry: each column named as its member.
Row entryRow(const std::vector<std::string>& columns, const Entry& entry) {
  Row row;
  for (size_t i = 0; i < columns.size(); ++i) row.push_back({static_cast<int>(i), columns[i], entry[i]});
  return row;
}

// One table export: its call, function_id, operation and members.
struct Table {
  std::function<char*(const char*)> call;
  std::string functionId, operation;
  std::vector<std::string> members;
  std::vector<Entry> entries;
};

TEST_F(CodeTables, BothTablesSendTheChosenCentresCodes) {
  const std::vector<Table> tables = {
      {redeemTypeDown,
       "RedeemTypeDown",
       "redeemTypeDown",
       {"code", "name", "otherParam", "comment", "accountType"},
       {{"11", gbk("普通住院"), "", "", "1"}, {"22", gbk("门诊家庭帐户"), "p", "c", "2"}}},
      {officeCodeDown,
       "OfficeCodeDown",
       "officeCodeDown",
       {"code", "name", "otherParam", "comment"},
       {{"01", gbk("内科"), "", ""}, {"05", gbk("中医科"), "x", "y"}}},
  };
  for (const Table& t : tables) {
    SCOPED_TRACE(t.operation);
    auto calling = [&t](const char* centre) { return [call = t.call, centre] { return call(centre); }; };
    std::vector<Row> rows;
    for (const Entry& entry : t.entries) rows.push_back(entryRow(t.members, entry));
    const SentMembers main = {{"hosCode", Centres::kHospCode}, {"loginName", Centres::kUserNo}};
    const SentMembers second = {{"hosCode", SecondCentre::kHospCode}, {"loginName", SecondCentre::kUserNo}};
    runCases({
        {"two entries in the order received", calling(Centres::kMain),
         Reply::soap(t.operation, listXml(t.members, t.entries)), successDoc(t.functionId, int(t.members.size()), rows),
         t.operation, main},
        {"the second centre's codes", calling(SecondCentre::kCode), Reply::soap(t.operation, "<return/>"),
         successDoc(t.functionId, int(t.members.size()), {}), t.operation, second},
        {"an empty code is the first centre", calling(""), Reply::soap(t.operation, ""),
         successDoc(t.functionId, int(t.members.size()), {}), t.operation, main},
        refusedCase("configured 13-byte centre code", calling(Centres::kThirteen), t.functionId, "600",
                    "农合中心编码长度超过"),
    });
    runCases(sharedFailureCases(t.functionId, t.call));
  }
}

TEST_F(CodeTables, ConnectTestingSendsNothingAndShowsTheAnswer) {
  const std::string fid = "ConnectTesting";
  auto testing = [](const char* centre) { return [centre] { return connectTesting(centre); }; };
  auto answered = [&](const std::string& text) { return successDoc(fid, 1, {{{0, "return", text}}}); };
  runCases({
      {"the centre's words, decoded", testing(Centres::kMain),
       Reply::soap("connectTesting", "<return>" + base64Encode(gbk("连接成功")) + "</return>"),
       answered(gbk("连接成功")), "connectTesting", SentMembers{}},
      {"no return: an empty value", testing(SecondCentre::kCode), Reply::soap("connectTesting", ""), answered(""),
       "connectTesting", SentMembers{}},
      refusedCase("configured 13-byte centre code", testing(Centres::kThirteen), fid, "600", "农合中心编码长度超过"),
  });
  runCases(sharedFailureCases(fid, connectTesting));
}

}  // namespace
