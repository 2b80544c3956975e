// SPDX-License-Identifier: MIT
#include "frame/settings_file.h"

#include <cstdio>

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
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) return std::nullopt;
  std::map<std::string, std::string> settings;
  std::string line;
  try {
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
      if (c != '\n') {
        line += static_cast<char>(c);
        continue;
      }
      takeLine(line, settings);
      line.clear();
    }
    takeLine(line, settings);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  std::fclose(file);
  return settings;
}

bool keepConnectionsAlive() {
  auto settings = readSettingsFile("NvNetwork.ini");
  if (!settings) return true;
  auto keepalive = settings->find("keepalive");
  return keepalive == settings->end() || keepalive->second != "0";
}

}  // namespace nv
