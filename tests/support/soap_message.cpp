// SPDX-License-Identifier: MIT
#include "tests/support/soap_message.h"

#include "service_constants.h"

#include <cctype>
#include <stdexcept>

namespace nvtest {

namespace {

const char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string localPart(const std::string& qualified) {
  std::size_t colon = qualified.find(':');
  return colon == std::string::npos ? qualified : qualified.substr(colon + 1);
}

// The element name of the start tag beginning at `at` ('<'), and the index
// just after its '>'; `selfClosing` tells whether it ends with "/>".
std::string startTag(const std::string& xml, std::size_t at, std::size_t& after, bool& selfClosing) {
  std::size_t end = xml.find('>', at);
  if (end == std::string::npos) throw std::runtime_error("unterminated tag in: " + xml);
  std::size_t nameEnd = xml.find_first_of(" \t\r\n/>", at + 1);
  after = end + 1;
  selfClosing = xml[end - 1] == '/';
  return xml.substr(at + 1, nameEnd - at - 1);
}

// Index of the '<' of the Body's first child, npos when none.
std::size_t wrapperStart(const std::string& body) {
  std::size_t at = 0;
  while ((at = body.find('<', at)) != std::string::npos) {
    if (body.compare(at + 1, 1, "?") == 0 || body.compare(at + 1, 1, "/") == 0) {
      ++at;
      continue;
    }
    std::size_t after = 0;
    bool selfClosing = false;
    std::string name = startTag(body, at, after, selfClosing);
    if (localPart(name) == "Body") {
      if (selfClosing) return std::string::npos;
      std::size_t child = body.find('<', after);
      if (child == std::string::npos || body.compare(child + 1, 1, "/") == 0) return std::string::npos;
      return child;
    }
    at = after;
  }
  return std::string::npos;
}

}  // namespace

std::string serviceNamespace() { return NV_SERVICE_NAMESPACE; }

std::string recordNamespace(const std::string& suffix) {
  return std::string("http://") + NV_RECORD_NAMESPACE_STEM + "." + suffix;
}

std::string requestHead(const std::string& rawRequest) {
  std::size_t end = rawRequest.find("\r\n\r\n");
  return end == std::string::npos ? rawRequest : rawRequest.substr(0, end);
}

std::string requestBody(const std::string& rawRequest) {
  std::size_t end = rawRequest.find("\r\n\r\n");
  return end == std::string::npos ? "" : rawRequest.substr(end + 4);
}

std::string headerValue(const std::string& rawRequest, const std::string& name) {
  std::string head = requestHead(rawRequest) + "\r\n";
  std::size_t lineStart = head.find("\r\n");
  while (lineStart != std::string::npos && lineStart + 2 < head.size()) {
    std::size_t begin = lineStart + 2;
    std::size_t end = head.find("\r\n", begin);
    std::string line = head.substr(begin, end - begin);
    std::size_t colon = line.find(':');
    if (colon != std::string::npos && colon == name.size()) {
      bool same = true;
      for (std::size_t i = 0; i < colon && same; ++i)
        same = std::tolower(static_cast<unsigned char>(line[i])) == std::tolower(static_cast<unsigned char>(name[i]));
      if (same) {
        std::size_t value = line.find_first_not_of(' ', colon + 1);
        return value == std::string::npos ? "" : line.substr(value);
      }
    }
    lineStart = end;
  }
  return "";
}

std::string wrapperName(const std::string& body) {
  std::size_t at = wrapperStart(body);
  if (at == std::string::npos) return "";
  std::size_t after = 0;
  bool selfClosing = false;
  return localPart(startTag(body, at, after, selfClosing));
}

Members wrapperMembers(const std::string& body) {
  Members members;
  std::size_t at = wrapperStart(body);
  if (at == std::string::npos) return members;
  std::size_t pos = 0;
  bool selfClosing = false;
  startTag(body, at, pos, selfClosing);
  if (selfClosing) return members;
  for (;;) {
    std::size_t tag = body.find('<', pos);
    if (tag == std::string::npos || body.compare(tag + 1, 1, "/") == 0) return members;  // the wrapper's end tag
    std::size_t after = 0;
    std::string name = startTag(body, tag, after, selfClosing);
    if (selfClosing) {
      members.emplace_back(name, "");
      pos = after;
      continue;
    }
    std::size_t close = body.find("</" + name + ">", after);
    if (close == std::string::npos) throw std::runtime_error("no end tag for member " + name);
    members.emplace_back(name, body.substr(after, close - after));
    pos = close + name.size() + 3;
  }
}

std::string base64Encode(const std::string& bytes) {
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += base64Alphabet[(v >> 18) & 63];
    out += base64Alphabet[(v >> 12) & 63];
    out += base64Alphabet[(v >> 6) & 63];
    out += base64Alphabet[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += base64Alphabet[(v >> 18) & 63];
    out += base64Alphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? base64Alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string base64Decode(const std::string& text) {
  std::string out;
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const char* p = nullptr;
    for (const char* a = base64Alphabet; *a; ++a)
      if (*a == c) p = a;
    if (p == nullptr) throw std::runtime_error("not base64: " + text);
    v = (v << 6) | static_cast<unsigned>(p - base64Alphabet);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((v >> bits) & 0xFF);
    }
  }
  return out;
}

}  // namespace nvtest
