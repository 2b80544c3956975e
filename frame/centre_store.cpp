// SPDX-License-Identifier: MIT
#include "frame/centre_store.h"

#include "text/codec.h"

namespace nv {
namespace {

struct FieldKey {
  const char* key;
  std::string CentreRecord::*field;
};

// Keys in the order their fields stand in the record.
const FieldKey kFieldKeys[] = {
    {"f7ad02e", &CentreRecord::CenterNO},  {"957b527", &CentreRecord::ServiceURL},
    {"1c1be9c", &CentreRecord::HOSP_CODE}, {"170e2c1", &CentreRecord::ORG_LEVEL},
    {"8e44f00", &CentreRecord::UserNo},    {"8e44f01", &CentreRecord::BK},
};
constexpr size_t kKeyLength = 7;
constexpr size_t kGroupSize = 6;
// Notepad's "UTF-8" starts the file with it; elsewhere it stays a byte of
// its line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void applyLine(CentreRecord& record, std::string_view line) {
  // A line is a C text to the file's readers: it ends at a zero byte.
  line = line.substr(0, line.find('\0'));
  for (const FieldKey& key : kFieldKeys) {
    if (line.substr(0, kKeyLength) != key.key) continue;
    // The eighth byte separates key and value and may be anything.
    std::string_view value = line.size() > kKeyLength + 1 ? line.substr(kKeyLength + 1) : std::string_view();
    record.*key.field = decodeField(value);
  }
}

}  // namespace

CentreTable parseCentreTable(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  CentreTable table;
  CentreRecord current;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    std::string_view line = bytes.substr(start, (end == std::string_view::npos ? bytes.size() : end) - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = next;

    ++lineNumber;
    if (lineNumber % kGroupSize == 1) current = CentreRecord();
    applyLine(current, line);
    if (lineNumber % kGroupSize == 0) table.push_back(current);
  }
  return table;
}

CentreRecord findCentre(const CentreTable& table, std::string_view code) {
  if (table.empty()) return {};
  if (code.empty()) return table.front();
  CentreRecord found;
  for (const CentreRecord& record : table)
    if (record.CenterNO == code) found = record;
  return found;
}

}  // namespace nv
