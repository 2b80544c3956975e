// nvcall's own pieces: its export table against the library's module
// definition, its reading and layout of result documents, and the check's
// reading of a ServiceURL.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/gbk.h"
#include "tools/nvcall/centre_check.h"
#include "tools/nvcall/export_table.h"
#include "tools/nvcall/result_view.h"

namespace nvcall {
namespace {

TEST(NvcallExportTable, NamesEveryExportOfTheModuleDefinitionWithItsArity) {
  std::ifstream def(NV_SOURCE_DIR "/exports/NvInterFace.def");
  std::set<std::string> defined;
  for (std::string word; def >> word;)
    if (word != "LIBRARY" && word != "NvInterFace" && word != "EXPORTS" && word != "freeResult") defined.insert(word);
  std::set<std::string> listed;
  for (const ExportEntry& entry : exportTable()) {
    listed.insert(entry.name);
    EXPECT_EQ(entry.parameters.size(), entry.arity) << entry.name;
    EXPECT_EQ(findExport(entry.name), &entry);
  }
  EXPECT_EQ(listed, defined);
  EXPECT_EQ(findExport("getpersoninfo"), nullptr);
}

TEST(NvcallExportTable, CallsWithThePositionalTexts) {
  char* encoded = findExport("Encypt")->call({"abc"});
  ASSERT_NE(encoded, nullptr);
  EXPECT_STREQ(encoded, "YWJj");
  releaseResult(encoded);
}

const std::string kQ = "\\\"";

TEST(NvcallResultView, ReadsHeaderRowsAndColumns) {
  std::string doc = "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id><out_code>000"
                    "</out_code><out_text>ok</out_text><data rowcount=" + kQ + "2" + kQ + " columns=" + kQ + "2" + kQ +
                    "><row rownum=" + kQ + "0" + kQ + "><column colnum=" + kQ + "0" + kQ + " colname=" + kQ + "a" + kQ +
                    ">1</column><column colnum=" + kQ + "1" + kQ + " colname=" + kQ + "b" + kQ +
                    "></column></row><row rownum=" + kQ + "1" + kQ + "><column colnum=" + kQ + "0" + kQ + " colname=" +
                    kQ + "a" + kQ + ">x\"y</column><column colnum=" + kQ + "1" + kQ + " colname=" + kQ + "b" + kQ +
                    ">2</column></row></data></function>";
  std::optional<ResultView> view = parseResult(doc);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->functionId, "F");
  EXPECT_EQ(view->outCode, "000");
  EXPECT_TRUE(view->succeeded());
  ASSERT_EQ(view->rows.size(), 2u);
  EXPECT_EQ(view->rows[0], (ResultView::Row{{"a", "1"}, {"b", ""}}));
  EXPECT_EQ(view->rows[1], (ResultView::Row{{"a", "x\"y"}, {"b", "2"}}));
  EXPECT_EQ(view->value("b"), "");
  EXPECT_EQ(view->value("c"), std::nullopt);
}

TEST(NvcallResultView, TellsSuccessByTheOutCode) {
  auto doc = [](const std::string& middle) {
    return "<function><function_id>G</function_id>" + middle + "<data rowcount=" + kQ + "0" + kQ + " columns=" + kQ +
           "0" + kQ + "></data></function>";
  };
  EXPECT_TRUE(parseResult(doc(""))->succeeded());  // getCenter's success has no out_code
  EXPECT_FALSE(parseResult(doc("<out_code>600</out_code><out_text>t</out_text>"))->succeeded());
  EXPECT_FALSE(parseResult(doc("<out_code>300</out_code>"))->succeeded());
  EXPECT_EQ(parseResult("YWJj"), std::nullopt);
  EXPECT_EQ(parseResult("<function><function_id>G</function_id><data><row rownum=x><column colname=" + kQ + "a"),
            std::nullopt);
}

TEST(NvcallResultView, MeasuresWideCharactersAsTwoColumns) {
  EXPECT_EQ(displayWidth("abc", true), 3u);
  EXPECT_EQ(displayWidth("张三", true), 4u);
  EXPECT_EQ(displayWidth("0.25g*24粒", true), 10u);
  EXPECT_EQ(displayWidth(nvtest::gbk("张三"), false), 4u);
}

TEST(NvcallResultView, LaysOutRowsAcrossAndASingleWideRowDown) {
  TableText across{"H  (2 rows)", {"no", "名称"}, {{"1", "张三"}, {"22", "x"}}};
  EXPECT_EQ(renderTable(across, true),
            "H  (2 rows)\n"
            "  no  名称\n"
            "  --  ----\n"
            "  1   张三\n"
            "  22  x\n");
  TableText down{"R  (1 row)", {"a", "bb", "c", "d", "e"}, {{"1", "2", "3", "4", "5"}}};
  EXPECT_EQ(renderTable(down, true),
            "R  (1 row)\n"
            "  a   1\n"
            "  bb  2\n"
            "  c   3\n"
            "  d   4\n"
            "  e   5\n");
  down.alwaysAcross = true;
  EXPECT_EQ(renderTable(down, true).substr(0, 28), "R  (1 row)\n  a  bb  c  d  e\n");
}

TEST(NvcallCheck, ReadsHostAndPortOfAServiceUrl) {
  const struct {
    const char* url;
    const char* host;  // nullptr: not an address the check can try
    const char* port;
  } cases[] = {
      {"http://127.0.0.1:8888/clinic/webservice/inpatientRedeem", "127.0.0.1", "8888"},
      {"http://centre.example/ws", "centre.example", "80"},
      {"https://centre.example/ws?wsdl", "centre.example", "443"},
      {"http://[::1]:8080/ws", "::1", "8080"},
      {"http://centre.example", "centre.example", "80"},
      {"ftp://centre.example/ws", nullptr, nullptr},
      {"http://", nullptr, nullptr},
      {"http://host:port/ws", nullptr, nullptr},
      {"http://[::1/ws", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    std::optional<ServiceAddress> address = parseServiceUrl(c.url);
    ASSERT_EQ(address.has_value(), c.host != nullptr) << c.url;
    if (!address) continue;
    EXPECT_EQ(address->host, c.host) << c.url;
    EXPECT_EQ(address->port, c.port) << c.url;
  }
}

}  // namespace
}  // namespace nvcall
