// SPDX-License-Identifier: MIT
// Any bytes as NvConfiguration.ini: the listing and the lookups must show
// exactly the records a plain reading of the file finds, in well-formed
// documents, and a template export must use the record it looked up.
#include <set>
#include <vector>

#include "NvInterFace.h"
#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/soap_message.h"

namespace {

using namespace nvfuzz;

const char* const kKeys[6] = {"f7ad02e", "957b527", "1c1be9c", "170e2c1", "8e44f00", "8e44f01"};
enum Field { CenterNO, ServiceURL, HOSP_CODE, ORG_LEVEL, UserNo, BK };
using Record = std::vector<std::string>;  // the six fields, in key order

// Groups of six lines, after a UTF-8 byte order mark opening the file; a
// line ends at LF (less one CR before it) and, as a C text, at its first
// zero byte; the eighth byte is skipped unexamined.
std::vector<Record> referenceTable(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string line(bytes.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.substr(0, line.find('\0')));
    start = end + 1;
  }
  std::vector<Record> table;
  for (size_t group = 0; group + 6 <= lines.size(); group += 6) {
    Record record(6);
    for (size_t i = group; i < group + 6; ++i)
      for (int f = 0; f < 6; ++f)
        if (lines[i].compare(0, 7, kKeys[f]) == 0 && lines[i].size() >= 7)
          record[f] = referenceDecodeField(lines[i].size() > 8 ? lines[i].substr(8) : "");
    table.push_back(record);
  }
  return table;
}

const std::string kQ = "\\\"";
const std::string kHead = "<?xml version='1.0' encoding='gb2312'?><function><function_id>GetCenter</function_id>";
const std::string kNotFoundText = "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xC5\xE4\xD6\xC3\xCE\xC4\xBC\xFE";
const std::string kNotFound = "<out_code>300</out_code><out_text>" + kNotFoundText + "</out_text>";
const std::vector<nvcheck::ColumnHead> kListedColumns = {
    {0, "CenterNO"}, {1, "HOSP_CODE"}, {2, "ORG_LEVEL"}, {3, "UserNo"}, {4, "BK"}};

std::string expectedListing(const std::vector<Record>& records) {
  if (records.empty())
    return kHead + kNotFound + "<data rowcount=" + kQ + "0" + kQ + " columns=" + kQ + "0" + kQ + "></data></function>";
  const std::pair<int, const char*> listed[] = {
      {CenterNO, "CenterNO"}, {HOSP_CODE, "HOSP_CODE"}, {ORG_LEVEL, "ORG_LEVEL"}, {UserNo, "UserNo"}, {BK, "BK"}};
  std::string doc =
      kHead + "<data rowcount=" + kQ + std::to_string(records.size()) + kQ + " columns=" + kQ + "5" + kQ + ">";
  for (size_t r = 0; r < records.size(); ++r) {
    doc += "<row rownum=" + kQ + std::to_string(r) + kQ + ">";
    for (int c = 0; c < 5; ++c)
      doc += "<column colnum=" + kQ + std::to_string(c) + kQ + " colname=" + kQ + listed[c].second + kQ + ">" +
             records[r][listed[c].first] + "</column>";
    doc += "</row>";
  }
  return doc + "</data></function>";
}

// findCentre: the first record for an empty code, else the last whose
// CenterNO matches; none when its CenterNO is empty.
const Record* lookup(const std::vector<Record>& table, const std::string& code) {
  const Record* found = nullptr;
  if (code.empty()) {
    if (!table.empty()) found = &table.front();
  } else {
    for (const Record& r : table)
      if (r[CenterNO] == code) found = &r;
  }
  return found && !found->at(CenterNO).empty() ? found : nullptr;
}

void checkTemplateLookup(const std::vector<Record>& table, const std::string& code) {
  const nvcheck::ExportEntry& calculate = nvcheck::exportNamed("calculate");
  const std::string answer = nvcheck::plainSuccessAnswer(calculate);
  nvtest::ScopedSessionTransport transport(answer);
  const std::string doc = take(::calculate("2001", code.c_str(), "1"), "calculate");
  nvcheck::ResultDocumentView view;
  std::string problem = nvcheck::readResultDocument(doc, "Calculate", view);
  require(problem.empty(), "calculate writes a well-formed document", problem + "\n" + doc);
  const Record* record = lookup(table, code);
  if (record == nullptr) {
    require(view.outCode == "300" && view.outText == kNotFoundText, "an unknown centre is not found",
            code + "\n" + doc);
    require(transport.sent().empty(), "nothing is sent for an unknown centre");
    return;
  }
  if (code.size() > 12) {
    require(view.outCode == "300" && transport.sent().empty(), "a centre code over 12 bytes fails its check", doc);
    return;
  }
  require(view.outCode == "000" || view.outCode == "600", "a found centre is called", doc);
  if (view.outCode != "000") return;
  for (const auto& [name, value] : nvtest::wrapperMembers(nvtest::requestBody(transport.sent())))
    if (name == "centerNo")
      require(nvtest::base64Decode(value) == record->at(CenterNO), "the found record's CenterNO is sent",
              code + "\n" + transport.sent());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asText(data, size);
  writeConfiguration(bytes);
  const std::vector<Record> table = referenceTable(bytes);

  const std::string all = take(getAllCenter(), "getAllCenter");
  std::string problem = nvcheck::resultDocumentProblem(all, "GetCenter", &kListedColumns, true);
  require(problem.empty(), "getAllCenter writes a well-formed document", problem + "\n" + all);
  require(all == expectedListing(table), "getAllCenter lists the file's records", all);

  std::set<std::string> codes = {"", "no-such-centre"};
  for (const Record& r : table)
    if (codes.size() < 6) codes.insert(r[CenterNO]);
  for (const std::string& code : codes) {
    const std::string one = take(getCenter(code.c_str()), "getCenter");
    const Record* record = lookup(table, code);
    require(one == expectedListing(record ? std::vector<Record>{*record} : std::vector<Record>{}),
            "getCenter lists the record findCentre picks", code + "\n" + one);
    checkTemplateLookup(table, code);
  }
  return 0;
}
