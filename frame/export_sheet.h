// The export sheet: everything that tells one template export from another,
// written as data. One generic template (service_call.h) runs any sheet.
#ifndef NV_FRAME_EXPORT_SHEET_H
#define NV_FRAME_EXPORT_SHEET_H

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/center_store.h"
#include "frame/check_param.h"
#include "frame/codec.h"
#include "frame/result_document.h"
#include "frame/texts.h"

struct soap;

namespace nv {

template <class T>
struct Exactly {
  using type = T;
};
// A parameter of this type takes part in no template argument deduction.
template <class T>
using NotDeduced = typename Exactly<T>::type;

// One row of a check table: which argument (from 1), its label, kind,
// maximum length in bytes, and whether it may be empty. Rows are written
// with the functions below, so a date row carries no length.
struct Check {
  int argument;
  const char* label;
  CheckKind kind;
  int maxLength;
  bool mayBeEmpty;
};
constexpr Check stringCheck(int argument, const char* label, int maxLength, bool mayBeEmpty) {
  return {argument, label, CheckKind::String, maxLength, mayBeEmpty};
}
constexpr Check numberCheck(int argument, const char* label, int maxLength, bool mayBeEmpty) {
  return {argument, label, CheckKind::Number, maxLength, mayBeEmpty};
}
constexpr Check dateCheck(int argument, const char* label, bool mayBeEmpty) {
  return {argument, label, CheckKind::Date, 0, mayBeEmpty};
}
constexpr Check dateTimeCheck(int argument, const char* label, bool mayBeEmpty) {
  return {argument, label, CheckKind::DateTime, 0, mayBeEmpty};
}
// The out_code a failed check reports, fixed per export: the one of a
// centre not found, or the one of a failed call.
inline constexpr const char* kChecksFailWith300 = texts::kNotFoundCode;
inline constexpr const char* kChecksFailWith600 = texts::kCallFailedCode;

// The centre code, as every export that takes one checks it: after the
// lookup has used it, like any argument.
constexpr Check centreCodeCheck(int argument) {
  return stringCheck(argument, texts::kCentreCodeLabel, 12, kMayBeEmpty);
}

// Where a request member's value comes from: an argument (from 1) or a field
// of the centre's configured record.
struct Source {
  int argument;
  std::string CenterRecord::*field;
};
inline Source arg(int number) { return {number, nullptr}; }
inline Source centre(std::string CenterRecord::*field) { return {0, field}; }

template <class Request>
struct RequestMember {
  std::string* Request::*member;
  Source source;
};

// One result column: its number, its name and the record member it shows.
template <class Item>
struct Column {
  int colnum;
  const char* colname;
  std::string* Item::*member;
};

// Appends decodeField of a member as one column; an absent member is empty.
template <class Item>
void appendColumnOf(ResultDocument& doc, const Column<Item>& column, const Item* item) {
  doc.appendColumnOpen(column.colnum, column.colname);
  const std::string* value = item ? item->*column.member : nullptr;
  if (value) appendDecodedField(doc.text(), *value);
  doc.appendColumnClose();
}

template <class Item>
void appendRowOf(ResultDocument& doc, int32_t rowNumber, const std::vector<Column<Item>>& columns, const Item* item) {
  doc.appendRowOpen(rowNumber);
  for (const Column<Item>& column : columns) appendColumnOf(doc, column, item);
  doc.appendRowClose();
}

// How a successful response becomes the data element and its rows.
template <class Response>
struct ResultShape {
  std::function<void(ResultDocument&, const Response&)> write;
};

struct NoResult {
  template <class Response>
  operator ResultShape<Response>() const {
    return {[](ResultDocument& doc, const Response&) { doc.appendDataOpen(0, 0); }};
  }
};

// The response member is nothing: success is all it says.
inline NoResult noResult() { return {}; }

// The response member is one text, written as one row of one column. An
// absent text gives an empty value.
template <class Response>
ResultShape<Response> textResult(std::string* Response::*member, int colnum, const char* colname) {
  return {[=](ResultDocument& doc, const Response& response) {
    doc.appendDataOpen(1, 1);
    doc.appendRowOpen(0);
    doc.appendColumnOpen(colnum, colname);
    if (const std::string* text = response.*member) appendDecodedField(doc.text(), *text);
    doc.appendColumnClose();
    doc.appendRowClose();
  }};
}

// The response member is one record, written as one row; an absent record
// gives a row of empty values.
template <class Response, class Item>
ResultShape<Response> recordResult(Item* Response::*member, NotDeduced<std::vector<Column<Item>>> columns) {
  return {[=](ResultDocument& doc, const Response& response) {
    doc.appendDataOpen(1, static_cast<int32_t>(columns.size()));
    appendRowOf(doc, 0, columns, static_cast<const Item*>(response.*member));
  }};
}

template <class List>
using ItemOf = std::remove_pointer_t<typename decltype(List::list)::value_type>;

// At least the bytes the rows of a list take: a decoded value is never
// longer than the value received. A catalogue download of 100,000 entries
// is then written without moving a growing text around.
template <class List>
size_t rowsBytesBound(const List& list, const std::vector<Column<ItemOf<List>>>& columns) {
  size_t bytes = 0;
  int32_t row = 0;
  for (const auto* item : list.list) {
    if (!item) continue;
    bytes += ResultDocument::rowMarkupBytes(row++);
    for (const Column<ItemOf<List>>& column : columns) {
      bytes += ResultDocument::columnMarkupBytes(column.colnum, column.colname);
      if (const std::string* value = item->*column.member) bytes += value->size();
    }
  }
  return bytes;
}

// The response member is a list record, one row per item in the order
// received. An absent list has no rows; a nil item yields no row, so the
// row count always equals the rows written.
template <class Response, class List>
ResultShape<Response> listResult(List* Response::*member, NotDeduced<std::vector<Column<ItemOf<List>>>> columns) {
  return {[=](ResultDocument& doc, const Response& response) {
    const List* list = response.*member;
    int32_t rows = 0;
    if (list)
      for (const auto* item : list->list) rows += item != nullptr;
    doc.appendDataOpen(rows, static_cast<int32_t>(columns.size()));
    if (!list) return;
    doc.makeRoom(rowsBytesBound(*list, columns) + 64);  // 64: the document's end
    int32_t row = 0;
    for (const auto* item : list->list)
      if (item) appendRowOf(doc, row++, columns, item);
  }};
}

// The generated client call of one operation.
template <class Request, class Response>
using CallProcedure = int (*)(struct soap*, const char* endpoint, const char* action, Request*, Response&);

template <class Request, class Response>
struct ExportSheet {
  ExportSheet(const char* functionId, int centreArgument, std::vector<Check> checks, const char* checkFailureCode,
              CallProcedure<Request, Response> operation, NotDeduced<std::vector<RequestMember<Request>>> request,
              NotDeduced<ResultShape<Response>> result)
      : functionId(functionId),
        centreArgument(centreArgument),
        checks(std::move(checks)),
        checkFailureCode(checkFailureCode),
        operation(operation),
        request(std::move(request)),
        result(std::move(result)) {}

  const char* functionId;
  int centreArgument;  // from 1
  std::vector<Check> checks;  // in the order they run
  const char* checkFailureCode;
  CallProcedure<Request, Response> operation;
  std::vector<RequestMember<Request>> request;
  ResultShape<Response> result;
};

}  // namespace nv

#endif
