// SPDX-License-Identifier: MIT
// nvcall's own pieces: the export table against the library's module
// definition and header, its reading and layout of result documents, the
// check's reading of a ServiceURL, and its warnings on NvConfiguration.ini.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "tests/support/gbk.h"
#include "tools/common/export_list.h"
#include "tests/support/scratch_dir.h"
#include "tools/nvcall/centre_check.h"
#include "tools/nvcall/config_warnings.h"
#include "tools/nvcall/library.h"
#include "tools/nvcall/result_view.h"

namespace nvcall {
namespace {

TEST(NvcallExportTable, NamesEveryExportOfTheModuleDefinition) {
  std::ifstream def(NV_SOURCE_DIR "/exports/NvInterFace.def");
  std::set<std::string> defined;
  bool inExports = false;
  for (std::string word; def >> word;) {
    if (word == "EXPORTS")
      inExports = true;
    else if (inExports && word != "freeResult")
      defined.insert(word);
  }
  std::set<std::string> listed;
  for (const nvexports::Export& entry : nvexports::kExports) {
    listed.insert(entry.name);
    EXPECT_EQ(nvexports::findExport(entry.name), &entry);
  }
  EXPECT_EQ(listed, defined);
  EXPECT_EQ(nvexports::findExport("getpersoninfo"), nullptr);
}

// Every text-returning prototype of the header, with its parameter names in
// order, is a row of the table; nvcall's usage texts show these names.
TEST(NvcallExportTable, NamesTheParametersAsTheHeaderDoes) {
  std::ifstream file(NV_SOURCE_DIR "/include/NvInterFace.h");
  std::stringstream header;
  header << file.rdbuf();
  const std::string text = header.str();
  const std::string marker = "NV_API char* NV_CALL ";
  std::map<std::string, std::vector<std::string>> declared, listed;
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
    size_t open = text.find('(', at), close = text.find(')', open);
    std::vector<std::string>& names = declared[text.substr(at + marker.size(), open - at - marker.size())];
    std::istringstream list(text.substr(open + 1, close - open - 1));
    for (std::string type, name; list >> type && type != "void" && list >> name;)
      names.push_back(name.substr(0, name.find(',')));
  }
  for (const nvexports::Export& entry : nvexports::kExports) listed[entry.name] = nvexports::parameterNames(entry);
  EXPECT_EQ(declared.size(), 36u);
  EXPECT_EQ(listed, declared);
}

TEST(NvcallExportTable, CallsWithThePositionalTexts) {
  char* encoded = nvexports::callLinked(*nvexports::findExport("Encypt"), {"abc"});
  ASSERT_NE(encoded, nullptr);
  EXPECT_STREQ(encoded, "YWJj");
  freeResult(encoded);
}

const std::string kQ = "\\\"";

TEST(NvcallResultView, ReadsHeaderRowsAndColumns) {
  std::string doc =
      "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id><out_code>000"
      "</out_code><out_text>ok</out_text><data rowcount=" +
      kQ + "2" + kQ + " columns=" + kQ + "2" + kQ + "><row rownum=" + kQ + "0" + kQ + "><column colnum=" + kQ + "0" +
      kQ + " colname=" + kQ + "a" + kQ + ">1</column><column colnum=" + kQ + "1" + kQ + " colname=" + kQ + "b" + kQ +
      "></column></row><row rownum=" + kQ + "1" + kQ + "><column colnum=" + kQ + "0" + kQ + " colname=" + kQ + "a" +
      kQ + ">x\"y</column><column colnum=" + kQ + "1" + kQ + " colname=" + kQ + "b" + kQ +
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
      {"HTTPS://Centre.Example/ws", "Centre.Example", "443"},  // as the library takes it
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

// A detail is UTF-8 whatever the console: the configured GBK text is
// decoded into it, not pasted in as bytes.
TEST(NvcallCheck, QuotesTheConfiguredTextDecoded) {
  const std::vector<CallStep> answered = {{{"call", "调用"}, [](const nv::CentreRecord&) {
                                             return std::pair<bool, std::string>{true, "answered"};
                                           }}};
  nv::CentreRecord centre;
  centre.ServiceURL = nvtest::gbk("ftp://中心/ws");
  EXPECT_EQ(checkCentre(centre, answered, Speaker(false))[0].detail,
            "ServiceURL \"ftp://中心/ws\" is not an http:// or https:// address");
  EXPECT_EQ(checkCentre(centre, answered, Speaker(true))[0].detail,
            "ServiceURL \"ftp://中心/ws\" 不是 http:// 或 https:// 地址");
  centre.ServiceURL = nvtest::gbk("http://中心.example:8080/ws");
  EXPECT_EQ(checkCentre(centre, answered, Speaker(false))[0].detail, "host 中心.example port 8080");
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Which lines of a file are named, and as what. A blank line or one of no
// key moves the later lines only when its group would be whole without it;
// otherwise it stands for an empty field.
TEST(NvcallConfigWarnings, NameTheLinesThatCannotDoWhatTheirAuthorMeant) {
  using F = ConfigFault;
  const std::string a = nvtest::centreLines({"A", "http://a/ws", "H", "1", "U", "B"});
  const std::string b = nvtest::centreLines({"B", "https://b/ws", "H", "1", "U", "B"});
  const std::string aWithoutBk = a.substr(0, a.rfind("8e44f01"));
  const struct {
    const char* why;
    std::string file;
    std::vector<std::pair<size_t, ConfigFault>> named;  // (line, fault)
  } cases[] = {
      {"whole groups", a + b, {}},
      {"the kit's sample (CR LF)", fileText(NV_SOURCE_DIR "/docs/windows/NvConfiguration.ini"), {}},
      {"a blank line for an empty field", aWithoutBk + "\n" + b, {}},
      {"blank lines at the end", a + "\n\n", {}},
      {"a blank line between groups", a + "\n" + b, {{7, F::kShiftsLaterLines}, {13, F::kPartialGroup}}},
      {"a comment above the first group", "; centres\n" + a, {{1, F::kShiftsLaterLines}, {7, F::kPartialGroup}}},
      {"a comment for an empty field", aWithoutBk + "; no BK\n" + b, {{6, F::kNotAKey}}},
      {"a field set twice in a group", "f7ad02e=MQ==\nf7ad02e=Mg==\n\n\n\n\n", {{1, F::kFieldSetAgain}}},
      {"a group without CenterNO",
       "F7AD02E=MQ==\n" + a.substr(a.find('\n') + 1),
       {{1, F::kNotAKey}, {1, F::kNoCentreCode}}},
      {"a blank after the separator is a value's", "f7ad02e= MQ==\n\n\n\n\n\n", {{1, F::kNotBase64}}},
      {"an address written plain is kept, and can be called",
       "957b527=HTTP://a/ws\nf7ad02e=MQ==\n\n\n\n\n",
       {{1, F::kNotBase64}}},
      {"a centre thrice: the last group is used", a + a + a, {{1, F::kCentreAgain}, {7, F::kCentreAgain}}},
      {"every mistake of tests/sandbox/nvcall_config_mistakes.ini",
       fileText(NV_SOURCE_DIR "/tests/sandbox/nvcall_config_mistakes.ini"),
       {{1, F::kByteOrderMark},
        {8, F::kAddressNotHttp},
        {9, F::kSpacedSeparator},
        {10, F::kNotBase64},
        {13, F::kCentreAgain},
        {14, F::kNotAKey},
        {16, F::kNotAKey},
        {17, F::kNotAKey},
        {19, F::kShiftsLaterLines},
        {31, F::kPartialGroup}}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<size_t, ConfigFault>> named;
    for (const ConfigWarning& warning : configWarnings(c.file, Speaker(false))) {
      named.emplace_back(warning.line, warning.fault);
      EXPECT_FALSE(warning.text.empty()) << c.why;
    }
    EXPECT_EQ(named, c.named) << c.why;
  }
}

// The bitness nvcall reports of the library it loads, and of one it cannot
// load, from the file's own header.
TEST(NvcallLibrary, TellsTheBitnessFromTheFileHeader) {
  nvtest::ScratchDir scratch;
  auto file = [&](const std::string& name, const std::string& bytes) {
    std::string path = scratch.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  };
  // A DOS header whose e_lfanew (at 0x3c) points at "PE\0\0" and the machine.
  auto pe = [](unsigned machine, unsigned char at = 0x80) {
    std::string bytes(0x100, '\0');
    bytes[0] = 'M', bytes[1] = 'Z', bytes[0x3c] = static_cast<char>(at);
    bytes.replace(at, 4, std::string("PE\0\0", 4));
    bytes[at + 4u] = static_cast<char>(machine & 0xff), bytes[at + 5u] = static_cast<char>(machine >> 8);
    return bytes;
  };
  const struct {
    const char* name;
    std::string bytes;
    int bits;
  } cases[] = {
      {"x86.dll", pe(0x014c), 32},
      {"x64.dll", pe(0x8664), 64},
      {"arm64.dll", pe(0xaa64), 64},
      {"unknown-machine.dll", pe(0x01c0), 0},
      {"header-past-the-end.dll", pe(0x014c).substr(0, 0x60), 0},
      {"elf32.so",
       std::string("\x7f"
                   "ELF\x01",
                   5) +
           std::string(60, '\0'),
       32},
      {"elf64.so",
       std::string("\x7f"
                   "ELF\x02",
                   5) +
           std::string(60, '\0'),
       64},
      {"text.txt", "NvInterFace", 0},
      {"empty", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(bitsOfFile(file(c.name, c.bytes)), c.bits) << c.name;
  EXPECT_EQ(bitsOfFile(scratch.path() + "/missing.dll"), 0);
  EXPECT_EQ(bitsOfFile("/proc/self/exe"), static_cast<int>(8 * sizeof(void*)));

  Library missing(scratch.path() + "/missing.so");
  EXPECT_FALSE(missing.usable());
  EXPECT_NE(missing.error().find("cannot load"), std::string::npos) << missing.error();
  EXPECT_EQ(missing.address("getCenter"), nullptr);
}

}  // namespace
}  // namespace nvcall
