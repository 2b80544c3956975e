// SPDX-License-Identifier: MIT
#include "tools/sandbox/console_api.h"

#include <algorithm>
#include <mutex>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "text/codec.h"
#include "tools/common/gbk_text.h"
#include "tools/sandbox/seed.h"
#include "tools/sandbox/service_description.h"
#include "tools/sandbox/state_view.h"

namespace sandbox {
namespace {

using Json = nlohmann::ordered_json;

// A mistake of the caller: answered with its status and message.
struct ApiError : std::runtime_error {
  ApiError(int status, const std::string& message) : std::runtime_error(message), status(status) {}
  int status;
};

std::string shown(const std::string& gbkBytes) { return nvtools::gbkToUtf8ForDisplay(gbkBytes); }

Json fieldsOf(const Record& record) {
  Json fields = Json::object();
  for (const auto& [name, value] : record.fields()) fields[name] = shown(value);
  return fields;
}

Json exchangeJson(const JournalEntry& entry, bool withRaw) {
  Json members = Json::array();
  for (const auto& [name, value] : entry.members.fields()) members.push_back({{"name", name}, {"value", shown(value)}});
  Json rows = Json::array();
  for (const Record& row : entry.rows) rows.push_back(fieldsOf(row));
  Json json = {{"id", entry.id},
               {"time", entry.time},
               {"operation", entry.operation},
               {"members", members},
               {"outcome", entry.outcome},
               {"message", shown(entry.message)},
               {"rows", rows},
               {"armed", entry.armed},
               {"delivery", entry.delivery},
               {"held", entry.held},
               {"durationMs", entry.durationMs}};
  if (withRaw) {
    json["rawRequestBase64"] = entry.raw ? nv::base64Encode(entry.raw->request) : "";
    json["rawAnswerBase64"] = entry.raw ? nv::base64Encode(entry.raw->answer) : "";
  }
  return json;
}

Json faultJson(const ArmedFault& fault) {
  return {{"id", fault.id},
          {"operation", fault.spec.operation},
          {"count", fault.spec.count},
          {"remaining", fault.remaining},
          {"kind", kindName(fault.spec.kind)},
          {"text", fault.spec.text},
          {"seconds", fault.spec.seconds},
          {"bytesPerSecond", fault.spec.bytesPerSecond},
          {"description", describe(fault.spec)}};
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A query value: '+' is a space, %XX a byte.
std::string percentDecoded(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      decoded += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The value of a query parameter; empty when absent.
std::string queryValue(std::string_view query, std::string_view key) {
  while (!query.empty()) {
    size_t end = query.find('&');
    std::string_view pair = query.substr(0, end);
    size_t equals = pair.find('=');
    if (pair.substr(0, equals) == key)
      return equals == std::string_view::npos ? "" : percentDecoded(pair.substr(equals + 1));
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return "";
}

int64_t inRange(int64_t value, int64_t lowest, int64_t highest, const std::string& what) {
  if (value < lowest || value > highest)
    throw ApiError(400, what + " must be from " + std::to_string(lowest) + " to " + std::to_string(highest));
  return value;
}

// A whole number in [lowest, highest] from a query value or a path.
int64_t numberIn(const std::string& text, int64_t lowest, int64_t highest, const std::string& what) {
  if (text.empty() || text.size() > 18 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    throw ApiError(400, what + " must be a whole number");
  return inRange(std::stoll(text), lowest, highest, what);
}

// A whole number member of the body; fallback when absent (none: needed).
int memberNumber(const Json& body, const std::string& name, int lowest, int highest, std::optional<int> fallback) {
  if (!body.contains(name)) {
    if (!fallback) throw ApiError(400, name + " is needed");
    return *fallback;
  }
  if (!body[name].is_number_integer()) throw ApiError(400, name + " must be a whole number");
  return static_cast<int>(inRange(body[name].get<int64_t>(), lowest, highest, name));
}

// JSON text; bytes that are not UTF-8 (a path as received) are replaced.
std::string text(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string memberText(const Json& body, const char* name) {
  if (!body.contains(name) || body[name].is_null()) return "";
  if (!body[name].is_string()) throw ApiError(400, std::string(name) + " must be a text");
  return body[name].get<std::string>();
}

FaultSpec faultFromBody(const ApiRequest& request) {
  if (request.contentType.rfind("application/json", 0) != 0)
    throw ApiError(415, "the body must be JSON (Content-Type: application/json)");
  Json body = Json::parse(request.body, nullptr, /*allow_exceptions*/ false);
  if (!body.is_object()) throw ApiError(400, "the body must be a JSON object");
  FaultSpec spec;
  spec.operation = memberText(body, "operation");
  if (spec.operation == "*") spec.operation.clear();
  std::vector<std::string> operations = operationNames();
  if (!spec.operation.empty() && std::find(operations.begin(), operations.end(), spec.operation) == operations.end())
    throw ApiError(400, "the service has no operation " + spec.operation);
  std::optional<FaultKind> kind = kindNamed(memberText(body, "kind"));
  if (!kind) throw ApiError(400, "kind must be one of fault, wait, close, malformed, trickle");
  spec.kind = *kind;
  spec.count = memberNumber(body, "count", 1, 1000000, 1);
  switch (spec.kind) {
    case FaultKind::Fault:
      spec.text = memberText(body, "text");
      if (spec.text.empty()) throw ApiError(400, "a fault needs its text");
      if (!nvtools::utf8ToGbk(spec.text)) throw ApiError(400, "the text must be UTF-8 with a GBK form");
      break;
    case FaultKind::Wait: spec.seconds = memberNumber(body, "seconds", 1, 3600, std::nullopt); break;
    case FaultKind::Trickle: spec.bytesPerSecond = memberNumber(body, "bytesPerSecond", 1, 1000000, 8); break;
    case FaultKind::Close:
    case FaultKind::Malformed: break;
  }
  return spec;
}

Json listExchanges(ServerState& state, std::string_view query) {
  uint64_t version = state.journal.version();
  std::string ifNewer = queryValue(query, "ifNewer");
  if (!ifNewer.empty() && numberIn(ifNewer, 0, INT64_MAX, "ifNewer") == static_cast<int64_t>(version))
    return {{"version", version}, {"unchanged", true}};
  JournalFilter filter;
  filter.operation = queryValue(query, "operation");
  filter.outcome = queryValue(query, "outcome");
  std::string number = queryValue(query, "number");
  filter.number = nvtools::utf8ToGbk(number).value_or(number);
  std::string limit = queryValue(query, "limit");
  size_t most = limit.empty() ? 200 : static_cast<size_t>(numberIn(limit, 1, 100000, "limit"));
  Json exchanges = Json::array();
  for (const JournalEntry& entry : state.journal.newestFirst(filter, most))
    exchanges.push_back(exchangeJson(entry, false));
  return {{"version", version}, {"exchanges", exchanges}};
}

Json answerGet(ServerState& state, std::string_view path, std::string_view query) {
  constexpr std::string_view kOne = "/api/exchanges/";
  if (path == "/api/exchanges") return listExchanges(state, query);
  if (path.substr(0, kOne.size()) == kOne) {
    int64_t id = numberIn(std::string(path.substr(kOne.size())), 1, INT64_MAX, "the exchange's id");
    std::optional<JournalEntry> entry = state.journal.entry(id);
    if (!entry) throw ApiError(404, "no exchange " + std::to_string(id) + " is kept");
    return {{"exchange", exchangeJson(*entry, true)}};
  }
  if (path == "/api/state") {
    uint64_t version = state.journal.version();
    std::lock_guard<Mutex> centre(state.centreLock);
    Json tables = stateTables(*state.db, state.journal);
    tables["version"] = version;
    return tables;
  }
  if (path == "/api/faults") {
    Json faults = Json::array();
    for (const ArmedFault& fault : state.faults.armed()) faults.push_back(faultJson(fault));
    return {{"faults", faults}};
  }
  if (path == "/api/service") return {{"servicePath", servicePath()}, {"operations", operationNames()}};
  throw ApiError(404, "no such call: GET " + std::string(path));
}

ApiAnswer answer(ServerState& state, const ApiRequest& request) {
  std::string_view target = request.target;
  size_t mark = target.find('?');
  std::string_view path = target.substr(0, mark);
  std::string_view query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
  if (request.method == "GET") return {200, text(answerGet(state, path, query))};
  if (request.method == "POST" && path == "/api/faults")
    return {201, text(Json{{"fault", faultJson(state.faults.arm(faultFromBody(request)))}})};
  if (request.method == "POST" && path == "/api/reset") {
    std::lock_guard<Mutex> centre(state.centreLock);
    reseedDatabase(*state.db);
    state.journal.forgetLinks();
    return {200, text(Json{{"reset", true}})};
  }
  constexpr std::string_view kOneFault = "/api/faults/";
  if (request.method == "DELETE" && path == "/api/faults") {
    state.faults.disarmAll();
    return {200, text(Json{{"disarmed", "all"}})};
  }
  if (request.method == "DELETE" && path.substr(0, kOneFault.size()) == kOneFault) {
    int64_t id = numberIn(std::string(path.substr(kOneFault.size())), 1, INT64_MAX, "the fault's id");
    if (!state.faults.disarm(id)) throw ApiError(404, "no armed fault " + std::to_string(id));
    return {200, text(Json{{"disarmed", id}})};
  }
  throw ApiError(
      path == "/api/faults" || path == "/api/reset" || path.substr(0, kOneFault.size()) == kOneFault ? 405 : 404,
      "no such call: " + request.method + " " + std::string(path));
}

}  // namespace

ApiAnswer answerApi(ServerState& state, const ApiRequest& request) {
  try {
    return answer(state, request);
  } catch (const ApiError& mistake) {
    return {mistake.status, text(Json{{"error", mistake.what()}})};
  } catch (const std::exception& failure) {
    return {500, text(Json{{"error", std::string("the sandbox failed: ") + failure.what()}})};
  }
}

}  // namespace sandbox
