// SPDX-License-Identifier: MIT
#include "frame/centre_store.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace {

using nvtest::base64;

std::string group(const std::string& centre, const std::string& url = "http://h/x") {
  return nvtest::centreLines({centre, url, "H" + centre, "L", "U", "B"});
}

TEST(CentreStore, ParsingTable) {
  const struct {
    std::string why;
    std::string file;
    std::vector<std::string> centres;  // CenterNO of each record, in order
  } cases[] = {
      {"empty file", "", {}},
      {"five lines are dropped", "f7ad02e=MQ==\n\n\n\n\n", {}},
      {"seventh line ignored", group("1") + "f7ad02e=Mg==\n", {"1"}},
      {"CR LF endings", "f7ad02e=MQ==\r\n\r\n\r\n\r\n\r\n\r\n", {"1"}},
      {"last line without terminator", "\n\n\n\n\nf7ad02e=MQ==", {"1"}},
      {"duplicates kept in file order", group("1") + group("2") + group("1"), {"1", "2", "1"}},
      {"empty first line shifts grouping", "\n" + group("1"), {"1"}},  // its BK line falls into the next group
      {"key line without value", "f7ad02e\n\n\n\n\n\n", {""}},
      {"key line with empty value", "f7ad02e=\n\n\n\n\n\n", {""}},
      {"any separator byte", "f7ad02e:MQ==\n\n\n\n\n\n", {"1"}},
      {"other letter case does not match", "F7AD02E=MQ==\n\n\n\n\n\n", {""}},
      {"byte order mark opening the file is skipped",
       "\xEF\xBB\xBF"
       "f7ad02e=MQ==\n\n\n\n\n\n",
       {"1"}},
      {"byte order mark elsewhere hides the key",
       group("1") + "\xEF\xBB\xBF"
                    "f7ad02e=Mg==\n\n\n\n\n\n",
       {"1", ""}},
      {"byte order mark alone", "\xEF\xBB\xBF", {}},
      {"leading blank hides the key", " f7ad02e=MQ==\n\n\n\n\n\n", {""}},
      {"later line of a key wins", "f7ad02e=MQ==\nf7ad02e=Mg==\n\n\n\n\n", {"2"}},
      {"plain value stored as written", "f7ad02e=C 01\n\n\n\n\n\n", {"C 01"}},
      {"value up to a zero byte", std::string("f7ad02e=MQ==\0x\n\n\n\n\n\n", 20), {"1"}},
  };
  for (const auto& c : cases) {
    nv::CentreTable table = nv::parseCentreTable(c.file);
    std::vector<std::string> centres;
    for (const auto& r : table) centres.push_back(r.CenterNO);
    EXPECT_EQ(centres, c.centres) << c.why;
  }
}

TEST(CentreStore, FieldsDecodedOrKeptAsWritten) {
  std::string file =
      "8e44f01=YWJj \n"                  // trailing blank: stored undecoded
      "957b527=http://10.0.0.1:80/ws\n"  // ":" is not base64
      "1c1be9c=" +
      base64("123456789012") +
      "\n"
      "170e2c1=" +
      base64("\xD2\xBB") +
      "\n"
      "8e44f00\n"
      "f7ad02e=" +
      base64("C1") + "\n";
  nv::CentreTable table = nv::parseCentreTable(file);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].CenterNO, "C1");
  EXPECT_EQ(table[0].ServiceURL, "http://10.0.0.1:80/ws");
  EXPECT_EQ(table[0].HOSP_CODE, "123456789012");
  EXPECT_EQ(table[0].ORG_LEVEL, "\xD2\xBB");
  EXPECT_EQ(table[0].UserNo, "");
  EXPECT_EQ(table[0].BK, "YWJj ");
}

TEST(CentreStore, FindCentre) {
  nv::CentreTable table = nv::parseCentreTable(group("A", "u1") + group("B", "u2") + group("A", "u3"));
  const struct {
    std::string code, centre, url;
  } cases[] = {
      {"", "A", "u1"},                  // empty code: the first record
      {"A", "A", "u3"},                 // the last match wins
      {"B", "B", "u2"}, {"C", "", ""},  // nothing found: all empty
      {"a", "", ""},
  };
  for (const auto& c : cases) {
    nv::CentreRecord r = nv::findCentre(table, c.code);
    EXPECT_EQ(r.CenterNO, c.centre) << c.code;
    EXPECT_EQ(r.ServiceURL, c.url) << c.code;
  }
  EXPECT_EQ(nv::findCentre(nv::CentreTable(), "").CenterNO, "");
}

TEST(CentreStore, ReadsTheFileAfreshFromTheWorkingDirectory) {
  nvtest::ScratchDir dir;
  EXPECT_TRUE(nv::loadCentreTable().empty());
  dir.writeConfig(group("1"));
  EXPECT_EQ(nv::findCentre("1").HOSP_CODE, "H1");
  dir.writeConfig(group("2"));
  EXPECT_EQ(nv::findCentre("1").CenterNO, "");
  EXPECT_EQ(nv::findCentre("2").CenterNO, "2");
}

TEST(CentreStore, ReadsFilesLargerThanOneReadChunk) {
  nvtest::ScratchDir dir;
  std::string junk;
  while (junk.size() < 300000) junk += "no key on this line, it only counts towards its group\n";
  size_t lines = 0;
  for (char c : junk) lines += c == '\n';
  junk += std::string(6 - lines % 6, '\n');  // keep the grouping whole
  dir.writeConfig(junk + group("A") + junk + group("B"));
  nv::CentreTable table = nv::loadCentreTable();
  ASSERT_GE(table.size(), 2u);
  EXPECT_EQ(nv::findCentre("B").HOSP_CODE, "HB");
  EXPECT_EQ(nv::findCentre("A").HOSP_CODE, "HA");
}

}  // namespace
