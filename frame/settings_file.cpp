// SPDX-License-Identifier: MIT
#include "frame/settings_file.h"

#include "frame/kept_file.h"
#include "text/ascii_case.h"

namespace nv {
namespace {

std::string trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

void takeLine(std::string line, std::map<std::string, std::string>& settings) {
  line = trimmed(line);
  size_t equals = line.find('=');
  if (line.empty() || line[0] == '#' || line[0] == ';' || equals == std::string::npos) return;
  std::string value = trimmed(line.substr(equals + 1));
  settings[asciiLowered(trimmed(line.substr(0, equals)))] = trimmed(value.substr(0, value.find('#')));
}

}  // namespace

std::optional<std::map<std::string, std::string>> readSettingsFile(const char* name) {
  std::string bytes;
  if (readKeptFile(name, bytes) != FileRead::kRead) return std::nullopt;
  std::map<std::string, std::string> settings;
  for (size_t at = 0; at <= bytes.size();) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    takeLine(bytes.substr(at, end - at), settings);
    at = end + 1;
  }
  return settings;
}

bool keepConnectionsAlive() {
  auto settings = readSettingsFile("NvNetwork.ini");
  if (!settings) return true;
  auto keepalive = settings->find("keepalive");
  return keepalive == settings->end() || keepalive->second != "0";
}

}  // namespace nv
