// SPDX-License-Identifier: MIT
// One exchange with a client: the decoded request, the store's transaction,
// the encoded answer or the fault, and its log line. Every operation handler
// is one call of serve(); requests are read and answers written by the
// records' text members, named as on the wire.
#ifndef NV_SANDBOX_EXCHANGE_H
#define NV_SANDBOX_EXCHANGE_H

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "service_names.h"
#include "soapH.h"
#include "tools/sandbox/ledger.h"
#include "tools/sandbox/record.h"

namespace sandbox {

// soap_new_<type>: the generated allocator of a record in the context.
template <class T>
using Allocator = T* (*)(struct soap*, int);

class Exchange {
 public:
  Exchange(struct soap* soap, Record request) : soap_(soap), request_(std::move(request)) {}

  const Record& request() const { return request_; }

  // A text member of the answer: base64 of the GBK bytes.
  std::string* text(std::string_view gbkBytes);
  // The answer's `return` text; also what the log shows as the outcome.
  std::string* returnText(std::string_view gbkBytes);

  // An item record with every member set from the row's field of the same
  // wire name (empty when the row has none).
  template <class Item>
  Item* record(Allocator<Item> allocate, const Record& row) {
    Item* item = allocate(soap_, -1);
    rows_.push_back(row);
    summary_ = "record";
    for (const auto& field : nv::wire::textMembersOf(item)) {
      item->*field.member = text(row[field.name]);
      summary_ += std::string(" ") + field.name + "=" + shown(row[field.name]);
    }
    return item;
  }

  // A list record, one item per row, in order.
  template <class List, class Item>
  List* list(Allocator<List> allocateList, Allocator<Item> allocateItem, const std::vector<Record>& rows) {
    List* result = allocateList(soap_, -1);
    for (const Record& row : rows) result->list.push_back(record(allocateItem, row));
    summary_ = std::to_string(rows.size()) + (rows.size() == 1 ? " item" : " items");
    return result;
  }

  const std::string& summary() const { return summary_; }
  // The rows answered, for the console.
  const std::vector<Record>& rows() const { return rows_; }

 private:
  static std::string shown(std::string_view gbkBytes);

  struct soap* soap_;
  Record request_;
  std::string summary_;
  std::vector<Record> rows_;
};

// A received member's bytes: decoded when it is well-formed base64, else as
// received.
std::string decodeMember(std::string_view value);

// Decodes a request's members (absent ones are left out), runs the body on
// the ledger in one transaction, logs and journals the exchange. A
// BusinessError becomes a fault whose faultstring is base64 of the GBK
// message; any other failure a fault saying the centre failed. An armed
// fault that meets the call answers its own fault text instead of running
// the body, or decides how the body's answer goes out.
int serveExchange(struct soap* soap, const char* operation, Record request,
                  const std::function<void(Exchange&, Ledger&)>& body);

template <class Request, class Body>
int serve(struct soap* soap, const char* operation, const Request* request, Body&& body) {
  Record members;
  if (request != nullptr)
    for (const auto& field : nv::wire::textMembersOf(request))
      if (const std::string* value = request->*field.member) members.set(field.name, decodeMember(*value));
  return serveExchange(soap, operation, std::move(members), body);
}

}  // namespace sandbox

#endif
