// SPDX-License-Identifier: MIT
#include "tests/support/export_cases.h"

namespace nvtest {

namespace {
std::vector<CentreConfig> exportTestCentres(const ScriptedServer& server) {
  return {
      {Centres::kMain, server.url(), Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo, ""},
      {Centres::kRefused, refusedUrl(), "H2", "3", "op02", ""},
      {Centres::kNoAddress, "", "H3", "1", "op03", ""},
      {Centres::kThirteen, server.url(), "H4", "1", "op04", ""},
  };
}
}  // namespace

ExportTest::ExportTest() { dir.writeCentres(exportTestCentres(server)); }

SecondCentreTest::SecondCentreTest() {
  std::vector<CentreConfig> centres = exportTestCentres(server);
  centres.push_back(
      {SecondCentre::kCode, server.url(), SecondCentre::kHospCode, SecondCentre::kOrgLevel, SecondCentre::kUserNo, ""});
  dir.writeCentres(centres);
}

ExportCase refusedCase(std::string name, std::function<char*()> call, const std::string& functionId,
                       const std::string& code, const std::string& message) {
  return {std::move(name), std::move(call), std::nullopt, failureDoc(functionId, code, message)};
}

std::pair<std::string, SentMembers> ExportTest::lastRequest() const {
  std::vector<std::string> requests = server.requests();
  if (requests.empty()) return {};
  std::string body = requestBody(requests.back());
  SentMembers members;
  for (const auto& [name, text] : wrapperMembers(body)) members.emplace_back(name, base64Decode(text));
  return {wrapperName(body), members};
}

void ExportTest::runCases(const std::vector<ExportCase>& cases) {
  for (const ExportCase& c : cases) {
    SCOPED_TRACE(c.name);
    size_t connectionsBefore = server.connectionCount();
    size_t requestsBefore = server.requests().size();
    if (c.reply) server.enqueue(*c.reply);
    std::string result = take(c.call());
    EXPECT_EQ(result, c.expected) << "as UTF-8: " << utf8(result);
    if (!c.reply) {
      EXPECT_EQ(server.connectionCount(), connectionsBefore) << "the centre must not be contacted";
      continue;
    }
    if (!c.sent && c.operation.empty()) continue;
    ASSERT_EQ(server.requests().size(), requestsBefore + 1);
    auto [operation, members] = lastRequest();
    if (!c.operation.empty()) {
      EXPECT_EQ(operation, c.operation);
    }
    if (c.sent) {
      EXPECT_EQ(members, *c.sent);
    }
  }
}

std::vector<ExportCase> sharedFailureCases(const std::string& functionId,
                                           const std::function<char*(const char*)>& call) {
  auto calling = [call](const char* centre) { return [call, centre] { return call(centre); }; };
  const std::string gbkMessage = gbk("就诊记录不存在");
  return {
      {"unconfigured centre", calling(Centres::kUnknown), std::nullopt, centreNotFound(functionId)},
      {"fault with a base64 GBK message", calling(Centres::kMain),
       Reply::fault("soap:Server", base64Encode(gbkMessage)), failureDocRaw(functionId, "600", gbkMessage)},
      {"fault with a plain message", calling(Centres::kMain), Reply::fault("soap:Server", "no such visit"),
       failureDocRaw(functionId, "600", "no such visit")},
      {"closed without an answer", calling(Centres::kMain), Reply::closeWithoutAnswer(), majorException(functionId)},
      {"malformed XML", calling(Centres::kMain), Reply::xml("<soap:Envelope><soap:Body><oops"),
       majorException(functionId)},
      {"no usable service address", calling(Centres::kNoAddress), std::nullopt,
       failureDoc(functionId, "600", "农合中心服务地址未配置或无效")},
  };
}

}  // namespace nvtest
