// SPDX-License-Identifier: MIT
#include "client/parsed_endpoint.h"

#include <new>

namespace nv {
namespace {

std::string urlPart(CURLU* url, CURLUPart which) {
  char* text = nullptr;
  const CURLUcode read = curl_url_get(url, which, &text, CURLU_DEFAULT_PORT);
  if (read == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (read != CURLUE_OK || text == nullptr) return "";
  // Freed however the copy ends.
  std::unique_ptr<char, void (*)(void*)> held(text, curl_free);
  return std::string(text);
}

}  // namespace

ParsedEndpoint::~ParsedEndpoint() { curl_url_cleanup(url); }

std::shared_ptr<const ParsedEndpoint> parseEndpoint(const std::string& endpoint) {
  auto parsed = std::make_shared<ParsedEndpoint>();
  parsed->url = curl_url();
  if (parsed->url == nullptr) throw std::bad_alloc();
  const CURLUcode read = curl_url_set(parsed->url, CURLUPART_URL, endpoint.c_str(), 0);
  if (read == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (read != CURLUE_OK) return nullptr;
  curl_url_set(parsed->url, CURLUPART_USER, nullptr, 0);
  curl_url_set(parsed->url, CURLUPART_PASSWORD, nullptr, 0);
  parsed->scheme = urlPart(parsed->url, CURLUPART_SCHEME);
  parsed->host = urlPart(parsed->url, CURLUPART_HOST);
  parsed->port = urlPart(parsed->url, CURLUPART_PORT);
  return parsed;
}

}  // namespace nv
