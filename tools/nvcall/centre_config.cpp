// SPDX-License-Identifier: MIT
#include "tools/nvcall/centre_config.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <fstream>
#include <sstream>

#include "text/codec.h"
#include "tools/common/gbk_text.h"
#include "tools/nvcall/centre_check.h"

namespace nvcall {
namespace {

struct FieldKey {
  const char* name;
  const char* key;
};
// The keys of NvConfiguration.ini, in the order of a group.
const FieldKey kFields[] = {{"CenterNO", "f7ad02e"},  {"ServiceURL", "957b527"}, {"HOSP_CODE", "1c1be9c"},
                            {"ORG_LEVEL", "170e2c1"}, {"UserNo", "8e44f00"},     {"BK", "8e44f01"}};
constexpr size_t kGroupSize = 6;
constexpr size_t kKeyLength = 7;

const char* keyOf(std::string_view name) {
  for (const FieldKey& field : kFields)
    if (name == field.name) return field.key;
  return nullptr;
}

// The file as lines without their ends; whether it uses CR LF.
struct Lines {
  std::vector<std::string> lines;
  bool crlf = false;
};

// Notepad's byte order mark: the library skips it, older versions miss the
// first key for it. The file is rewritten without it.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

Lines splitLines(const std::string& bytes) {
  Lines result;
  size_t start = bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    std::string line = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
      result.crlf = true;
    }
    result.lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return result;
}

std::string writeFile(const std::string& path, const Lines& lines, const Speaker& speak) {
  std::string bytes;
  for (const std::string& line : lines.lines) bytes += line + (lines.crlf ? "\r\n" : "\n");
  std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return speak({"cannot write ", "无法写入 "}) + temporary;
  }
#ifdef _WIN32
  // rename() on Windows refuses to replace an existing file.
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
    return speak({"cannot replace ", "无法替换 "}) + path;
#else
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return speak({"cannot replace ", "无法替换 "}) + path;
#endif
  return "";
}

std::string lineOf(const char* key, std::string_view value) { return std::string(key) + "=" + nv::base64Encode(value); }

// A file must hold whole groups before a group is added or changed:
// otherwise the groups after a partial one would be read shifted.
std::string checkWholeGroups(const std::string& path, const Lines& lines, const Speaker& speak) {
  if (lines.lines.size() % kGroupSize == 0) return "";
  return path + speak({" holds ", " 有 "}) + std::to_string(lines.lines.size()) +
         speak({" lines, not whole groups of six; correct it by hand first", " 行,不是完整的六行一组;请先手工改正"});
}

// An address the library could never call is refused, not written; an
// empty one leaves the centre without an address for now.
std::string checkAddress(const std::string& path, const FieldValues& values, const Speaker& speak) {
  for (const auto& [name, value] : values)
    if (name == "ServiceURL" && !value.empty() && !parseServiceUrl(value))
      return "ServiceURL \"" + nvtools::gbkToUtf8ForDisplay(value) + "\"" +
             speak({" is not an http:// or https:// address with a host (http://host[:port]/path); ",
                    " 不是带主机的 http:// 或 https:// 地址(http://主机[:端口]/路径);"}) +
             path + speak({" is unchanged", " 未改动"});
  return "";
}

}  // namespace

const std::vector<std::string>& centreFieldNames() {
  static const std::vector<std::string> kNames = [] {
    std::vector<std::string> names;
    for (const FieldKey& field : kFields) names.emplace_back(field.name);
    return names;
  }();
  return kNames;
}

const std::vector<std::string>& centreFieldKeys() {
  static const std::vector<std::string> kKeys = [] {
    std::vector<std::string> keys;
    for (const FieldKey& field : kFields) keys.emplace_back(field.key);
    return keys;
  }();
  return kKeys;
}

std::optional<std::string> readConfiguration(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::optional<FieldValues> parseFieldValues(const std::vector<std::string>& words, std::string& error,
                                            const Speaker& speak) {
  FieldValues values;
  for (const std::string& word : words) {
    size_t equals = word.find('=');
    if (equals == std::string::npos || !keyOf(word.substr(0, equals))) {
      error = speak({"not FIELD=VALUE with FIELD one of CenterNO ServiceURL HOSP_CODE ORG_LEVEL UserNo BK: ",
                     "不是 字段=值,字段须为 CenterNO ServiceURL HOSP_CODE ORG_LEVEL UserNo BK 之一: "}) +
              word;
      return std::nullopt;
    }
    values.emplace_back(word.substr(0, equals), word.substr(equals + 1));
  }
  return values;
}

nv::CentreTable readCentres(const std::string& path) {
  std::optional<std::string> bytes = readConfiguration(path);
  return bytes ? nv::parseCentreTable(*bytes) : nv::CentreTable();
}

std::string addCentre(const std::string& path, const FieldValues& values, const Speaker& speak) {
  std::string centre;
  for (const auto& [name, value] : values)
    if (name == "CenterNO") centre = value;
  if (centre.empty()) return speak({"a centre needs a non-empty CenterNO=...", "中心须有非空的 CenterNO=..."});
  if (std::string error = checkAddress(path, values, speak); !error.empty()) return error;
  for (const nv::CentreRecord& record : readCentres(path))
    if (record.CenterNO == centre)
      return speak({"centre ", "中心 "}) + nvtools::gbkToUtf8ForDisplay(centre) +
             speak({" is configured already; change it with config edit", " 已经配置;请用 config edit 修改"});

  Lines lines = splitLines(readConfiguration(path).value_or(""));
  if (std::string error = checkWholeGroups(path, lines, speak); !error.empty()) return error;
  for (const FieldKey& field : kFields) {
    std::string value;
    for (const auto& [name, given] : values)
      if (name == field.name) value = given;
    lines.lines.push_back(lineOf(field.key, value));
  }
  return writeFile(path, lines, speak);
}

std::string editCentre(const std::string& path, std::string_view centreCode, const FieldValues& values,
                       const Speaker& speak) {
  if (std::string error = checkAddress(path, values, speak); !error.empty()) return error;
  std::optional<std::string> bytes = readConfiguration(path);
  if (!bytes) return speak({"no ", "当前目录中没有 "}) + path + speak({" in this directory", ""});
  Lines lines = splitLines(*bytes);
  if (std::string error = checkWholeGroups(path, lines, speak); !error.empty()) return error;

  // The library takes the last group of a code; so does editing.
  size_t found = lines.lines.size();
  for (size_t group = 0; group < lines.lines.size(); group += kGroupSize) {
    std::string text;
    for (size_t i = group; i < group + kGroupSize; ++i) text += lines.lines[i] + "\n";
    nv::CentreTable table = nv::parseCentreTable(text);
    if (!table.empty() && !centreCode.empty() && table.front().CenterNO == centreCode) found = group;
  }
  if (found == lines.lines.size())
    return speak({"no centre ", "没有中心 "}) + nvtools::gbkToUtf8ForDisplay(centreCode) + speak({" in ", ",在 "}) +
           path;

  for (const auto& [name, value] : values) {
    const char* key = keyOf(name);
    bool replaced = false;
    // Only the lines of the named fields change; the others keep their bytes.
    for (size_t i = found; i < found + kGroupSize; ++i)
      if (lines.lines[i].compare(0, kKeyLength, key) == 0) {
        lines.lines[i] = lineOf(key, value);
        replaced = true;
      }
    if (!replaced)
      return speak({"the group of centre ", "中心 "}) + nvtools::gbkToUtf8ForDisplay(centreCode) +
             speak({" has no line for ", " 的一组中没有这一行: "}) + name;
  }
  return writeFile(path, lines, speak);
}

}  // namespace nvcall
