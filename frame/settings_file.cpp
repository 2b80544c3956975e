// SPDX-License-Identifier: MIT
#include "frame/settings_file.h"

#include "frame/kept_file.h"
#include "text/ascii_case.h"

namespace nv {
namespace {

std::string_view trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

void takeLine(std::string_view line, Settings& settings) {
  line = trimmed(line);
  size_t equals = line.find('=');
  if (line.empty() || line[0] == '#' || line[0] == ';' || equals == std::string_view::npos) return;
  std::string_view value = trimmed(line.substr(equals + 1));
  settings[asciiLowered(std::string(trimmed(line.substr(0, equals))))] = trimmed(value.substr(0, value.find('#')));
}

MadeFromFile makeSettings(std::string_view bytes) {
  auto settings = std::make_shared<Settings>();
  for (size_t at = 0; at <= bytes.size();) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    takeLine(bytes.substr(at, end - at), *settings);
    at = end + 1;
  }
  return settings;
}

}  // namespace

std::shared_ptr<const Settings> readSettingsFile(const char* name) {
  FileRead state;
  return std::static_pointer_cast<const Settings>(readKeptFileAs(name, makeSettings, state));
}

bool keepConnectionsAlive() {
  auto settings = readSettingsFile("NvNetwork.ini");
  if (!settings) return true;
  auto keepalive = settings->find("keepalive");
  return keepalive == settings->end() || keepalive->second != "0";
}

}  // namespace nv
