// SPDX-License-Identifier: MIT
// Any bytes as NvTrace.ini and as NvNetwork.ini, the files an administrator
// edits while the HIS runs: the trace settings and the keep-alive choice
// must be those a plain reading of the lines finds, whatever the bytes (zero
// bytes, CRs, no line end, lines of any length). The trace is not written:
// its file name comes from the input.
#include <map>

#include "frame/call_trace.h"
#include "frame/settings_file.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvfuzz;

std::string stripped(std::string_view text) {
  const char* blanks = " \t\r\n";
  const size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return "";
  return std::string(text.substr(begin, text.find_last_not_of(blanks) - begin + 1));
}

// Lines end at LF; a line is "key = value # comment", unless it starts with
// "#" or ";" or has no "="; keys in any letter case; the last one stands.
std::map<std::string, std::string> referenceSettings(std::string_view bytes) {
  std::map<std::string, std::string> settings;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string line = stripped(bytes.substr(start, end - start));
    start = end + 1;
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || line[0] == ';' || equals == std::string::npos) continue;
    std::string key = stripped(std::string_view(line).substr(0, equals));
    for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const std::string value = stripped(std::string_view(line).substr(equals + 1));
    settings[key] = stripped(std::string_view(value).substr(0, value.find('#')));
  }
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asText(data, size);
  writeFile("NvTrace.ini", bytes);
  writeFile("NvNetwork.ini", bytes);
  const std::map<std::string, std::string> expected = referenceSettings(bytes);

  const auto read = nv::readSettingsFile("NvTrace.ini");
  require(read != nullptr, "a file that exists is read");
  require(*read == expected, "the settings are those the lines give");

  const nv::TraceSettings trace = nv::readTraceSettings();
  const auto level = expected.find("level");
  const bool levelGiven =
      level != expected.end() && level->second.size() == 1 && level->second[0] >= '0' && level->second[0] <= '2';
  require(trace.level == (levelGiven ? level->second[0] - '0' : nv::TraceSettings().level),
          "the trace level is 0, 1 or 2 as written, else the default", std::to_string(trace.level));
  const auto file = expected.find("file");
  require(trace.file == (file != expected.end() && !file->second.empty() ? file->second : "NvTrace.log"),
          "the trace goes to the file named, else NvTrace.log", trace.file);

  const auto keepalive = expected.find("keepalive");
  require(nv::keepConnectionsAlive() == (keepalive == expected.end() || keepalive->second != "0"),
          "connections are kept unless keepalive=0");
  return 0;
}
