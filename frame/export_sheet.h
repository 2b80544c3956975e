// SPDX-License-Identifier: MIT
// The export sheet: everything that tells one template export from another,
// written as data. One generic template (service_call.h) runs any sheet.
#ifndef NV_FRAME_EXPORT_SHEET_H
#define NV_FRAME_EXPORT_SHEET_H

#include <string>
#include <type_traits>
#include <vector>

#include "client/answer_plan.h"
#include "client/effect.h"
#include "frame/centre_store.h"
#include "frame/check_param.h"
#include "text/codec.h"
#include "text/result_document.h"
#include "text/texts.h"
#include "service_names.h"

struct soap;

namespace nv {

template <class T>
struct Exactly {
  using type = T;
};
// A parameter of this type takes part in no template argument deduction.
template <class T>
using NotDeduced = typename Exactly<T>::type;

// How one argument is checked: its label in check messages, its kind,
// maximum length in bytes, and whether it may be empty; and which argument
// (from 1) it is, filled in by the sheet from the argument's place. Checks
// are written with the functions below, so a date carries no length.
struct Check {
  int argument;
  const char* label;  // null: the argument is not checked
  CheckKind kind;
  int maxLength;
  bool mayBeEmpty;
};
constexpr Check stringCheck(const char* label, int maxLength, bool mayBeEmpty) {
  return {0, label, CheckKind::String, maxLength, mayBeEmpty};
}
constexpr Check numberCheck(const char* label, int maxLength, bool mayBeEmpty) {
  return {0, label, CheckKind::Number, maxLength, mayBeEmpty};
}
constexpr Check dateCheck(const char* label, bool mayBeEmpty) { return {0, label, CheckKind::Date, 0, mayBeEmpty}; }
constexpr Check dateTimeCheck(const char* label, bool mayBeEmpty) {
  return {0, label, CheckKind::DateTime, 0, mayBeEmpty};
}
inline constexpr Check kNotChecked{0, nullptr, CheckKind::String, 0, kMayBeEmpty};

// The out_code a failed check reports, fixed per export: the one of a
// centre not found, or the one of a failed call.
inline constexpr const char* kChecksFailWith300 = texts::kNotFoundCode;
inline constexpr const char* kChecksFailWith600 = texts::kCallFailedCode;

// A text of the reference (docs/) in both of its languages. The sheets
// carry what their checks do not say: what each argument means, and remarks
// on what a caller would not expect.
struct Words {
  const char* zh;
  const char* en;
};
// The centre code, as every export that takes one means it (defined, as
// GBK, with the centre listing: exports/centre_listing.cpp).
extern const Words kCentreCodeMeaning;

// An argument's check runs right after that of the argument given (from 1),
// not in the arguments' order.
struct CheckedAfter {
  int argument;
};

// What an argument is, apart from the request member it fills: its name as
// NvInterFace.h gives it, its check and its meaning. Arguments that several
// exports take alike (the centre code, the fee item) are written once as one.
struct Argument {
  const char* name;
  Check check;
  Words meaning;
  CheckedAfter checkedAfter = {0};
  bool selectsCentre = false;  // the centre code: looked up before any check
};

// The centre code, as every export that takes one names and checks it:
// after the lookup has used it, like any argument.
inline Argument centreCodeArgument(CheckedAfter after = {0}) {
  return {"centreCode", stringCheck(texts::kCentreCodeLabel, 12, kMayBeEmpty), kCentreCodeMeaning, after,
          /*selectsCentre*/ true};
}
// The same where the export leaves it unchecked.
inline Argument uncheckedCentreCodeArgument() {
  Argument argument = centreCodeArgument();
  argument.check = kNotChecked;
  return argument;
}

// One argument of a sheet: what it is, and the request member it is sent
// in (none when it is not sent).
template <class Request>
struct ArgumentRow : Argument {
  ArgumentRow(const char* name, Check check, std::string* Request::*member, Words meaning, CheckedAfter after = {0})
      : Argument{name, check, meaning, after}, member(member) {}
  ArgumentRow(const Argument& argument, std::string* Request::*member = nullptr) : Argument(argument), member(member) {}
  // A shared argument under this export's own name for it.
  ArgumentRow(const char* name, const Argument& argument, std::string* Request::*member)
      : Argument(argument), member(member) {
    this->name = name;
  }
  std::string* Request::*member;
};

// A request member filled from the chosen centre's configured record.
template <class Request>
struct CentreMember {
  std::string* Request::*member;
  std::string CentreRecord::*field;
};

// Where a request member's value comes from: an argument (from 1) or a field
// of the centre's configured record.
struct Source {
  int argument;
  std::string CentreRecord::*field;
};

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

template <class List>
using ItemOf = std::remove_pointer_t<typename decltype(List::list)::value_type>;

// How a successful answer becomes the data element and its rows: the
// response member and the columns taken from it, as pointers into the
// generated records. plan() gives the same by wire names, for the reader.

// The response has no member: success is all it says.
template <class Response>
struct NoResult {
  using ResponseType = Response;
  AnswerPlan plan() const {
    return {AnswerShape::kNone, wire::elementNameOf(static_cast<const Response*>(nullptr)), "", {}};
  }
};

// The response member is one text, written as one row of one column. An
// absent text gives an empty value.
template <class Response>
struct TextResult {
  using ResponseType = Response;
  std::string* Response::*member;
  int colnum;
  const char* colname;
  AnswerPlan plan() const {
    const char* name = wire::memberNameOf(member);
    return {AnswerShape::kText,
            wire::elementNameOf(static_cast<const Response*>(nullptr)),
            name,
            {{colnum, colname, name}}};
  }
};

// A record or list member and the columns read from it, by wire names.
template <class Response, class Member, class Item>
AnswerPlan memberPlan(AnswerShape shape, Member* Response::*member, const std::vector<Column<Item>>& columns) {
  std::vector<ColumnPlan> read;
  for (const Column<Item>& column : columns)
    read.push_back({column.colnum, column.colname, wire::memberNameOf(column.member)});
  return {shape, wire::elementNameOf(static_cast<const Response*>(nullptr)), wire::memberNameOf(member),
          std::move(read)};
}

// The response member is one record, written as one row; an absent record
// gives a row of empty values.
template <class Response, class Item>
struct RecordResult {
  using ResponseType = Response;
  Item* Response::*member;
  std::vector<Column<Item>> columns;
  AnswerPlan plan() const { return memberPlan(AnswerShape::kRecord, member, columns); }
};

// The response member is a list record, one row per entry in the order
// received. An absent list has no rows; a nil entry yields no row, so the
// row count always equals the rows written.
template <class Response, class List>
struct ListResult {
  using ResponseType = Response;
  List* Response::*member;
  std::vector<Column<ItemOf<List>>> columns;
  AnswerPlan plan() const { return memberPlan(AnswerShape::kList, member, columns); }
};

template <class Response>
NoResult<Response> noResult() {
  return {};
}
template <class Response>
TextResult<Response> textResult(std::string* Response::*member, int colnum, const char* colname) {
  return {member, colnum, colname};
}
template <class Response, class Item>
RecordResult<Response, Item> recordResult(Item* Response::*member, NotDeduced<std::vector<Column<Item>>> columns) {
  return {member, std::move(columns)};
}
template <class Response, class List>
ListResult<Response, List> listResult(List* Response::*member, NotDeduced<std::vector<Column<ItemOf<List>>>> columns) {
  return {member, std::move(columns)};
}

// The generated procedure that sends one operation's request.
template <class Request>
using SendProcedure = int (*)(struct soap*, const char* endpoint, const char* action, Request*);

// The checks of the arguments, numbered, in the order they run: the
// arguments' order, except that a check given a CheckedAfter runs right
// after that argument's.
template <class Request>
std::vector<Check> checksInOrder(const std::vector<ArgumentRow<Request>>& arguments) {
  std::vector<Check> checks;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (!arguments[i].check.label || arguments[i].checkedAfter.argument != 0) continue;
    checks.push_back(arguments[i].check);
    checks.back().argument = static_cast<int>(i) + 1;
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (!arguments[i].check.label || arguments[i].checkedAfter.argument == 0) continue;
    auto after = checks.begin();
    while (after != checks.end() && after->argument != arguments[i].checkedAfter.argument) ++after;
    Check check = arguments[i].check;
    check.argument = static_cast<int>(i) + 1;
    checks.insert(after == checks.end() ? after : after + 1, check);
  }
  return checks;
}

// One export, as data: its name, the function_id of its documents, the
// operation it sends, one row per argument, the request members the chosen
// centre's record fills, and how the answer becomes rows. The checks, the
// request and the centre code's place follow from the rows.
template <class Request, class Result>
struct ExportSheet {
  using Response = typename Result::ResponseType;

  ExportSheet(const char* name, const char* functionId, SendProcedure<Request> operation, Effect effect,
              const char* checkFailureCode, NotDeduced<std::vector<ArgumentRow<Request>>> arguments,
              NotDeduced<std::vector<CentreMember<Request>>> fromCentre, Result result, std::vector<Words> remarks = {})
      : name(name),
        functionId(functionId),
        arguments(std::move(arguments)),
        checkFailureCode(checkFailureCode),
        operation(operation),
        effect(effect),
        result(std::move(result)),
        answer(this->result.plan()),
        remarks(std::move(remarks)) {
    for (size_t i = 0; i < this->arguments.size(); ++i) {
      const ArgumentRow<Request>& row = this->arguments[i];
      const int argument = static_cast<int>(i) + 1;
      if (row.selectsCentre) centreArgument = argument;
      if (row.member) request.push_back({row.member, {argument, nullptr}});
    }
    for (const CentreMember<Request>& member : fromCentre) request.push_back({member.member, {0, member.field}});
    checks = checksInOrder(this->arguments);
  }

  const char* name;  // as NvInterFace.h declares it
  const char* functionId;
  std::vector<ArgumentRow<Request>> arguments;  // in the export's order
  int centreArgument = 0;                       // from 1
  std::vector<Check> checks;                    // in the order they run
  const char* checkFailureCode;
  SendProcedure<Request> operation;
  Effect effect;
  std::vector<RequestMember<Request>> request;
  Result result;
  AnswerPlan answer;  // the result by wire names, worked out once
  std::vector<Words> remarks;
};

// ---- Every export's facts: what nv_export_files writes the reference, the
// module definition, the list of exports and the wrappers' declarations from

enum class ExportKind {
  kTemplate,  // a sheet run by the service call template
  kPacked,    // inpRegisterB: one text unpacked into a sheet's arguments
  kListing,   // getCenter, getAllCenter: NvConfiguration.ini alone
  kCodec,     // Encypt, DeEncypt: bare texts, no result document
  kRelease,   // freeResult: gives back what the others return
};

// Where a request member's value comes from: argument (from 1), or the
// configured field named by centreField.
struct RequestFact {
  const char* member;
  int argument;
  const char* centreField;
};

struct ExportFacts {
  ExportFacts(const char* name, ExportKind kind) : name(name), kind(kind) {}
  const char* name;
  ExportKind kind;
  std::vector<const char*> parameters;  // as NvInterFace.h names them
  const char* functionId = "";          // none for the codecs
  int centreArgument = 0;               // from 1; 0 when it takes none
  std::vector<Check> checks;
  const char* checkFailureCode = "";
  const char* operation = "";  // the request's wire name; none when no centre is called
  Effect effect = kReadsOnly;
  std::vector<RequestFact> request;
  AnswerPlan answer;  // the columns of a listing name their configured fields
  std::vector<Words> meanings;
  std::vector<Words> remarks;
};

inline const char* centreFieldName(std::string CentreRecord::*field) {
  if (field == &CentreRecord::CenterNO) return "CenterNO";
  if (field == &CentreRecord::ServiceURL) return "ServiceURL";
  if (field == &CentreRecord::HOSP_CODE) return "HOSP_CODE";
  if (field == &CentreRecord::ORG_LEVEL) return "ORG_LEVEL";
  if (field == &CentreRecord::UserNo) return "UserNo";
  return "BK";
}

template <class Request, class Result>
ExportFacts factsOf(const ExportSheet<Request, Result>& sheet) {
  ExportFacts facts{sheet.name, ExportKind::kTemplate};
  for (const ArgumentRow<Request>& row : sheet.arguments) {
    facts.parameters.push_back(row.name);
    facts.meanings.push_back(row.meaning);
  }
  facts.functionId = sheet.functionId;
  facts.centreArgument = sheet.centreArgument;
  facts.checks = sheet.checks;
  facts.checkFailureCode = sheet.checkFailureCode;
  facts.operation = wire::elementNameOf(static_cast<const Request*>(nullptr));
  facts.effect = sheet.effect;
  for (const RequestMember<Request>& member : sheet.request)
    facts.request.push_back({wire::memberNameOf(member.member), member.source.argument,
                             member.source.field ? centreFieldName(member.source.field) : ""});
  facts.answer = sheet.answer;
  facts.remarks = sheet.remarks;
  return facts;
}

// Each family's facts, defined beside its sheets in exports/.
void addMemberHospitalFacts(std::vector<ExportFacts>& facts);
void addCentreListingFacts(std::vector<ExportFacts>& facts);
void addCodecFacts(std::vector<ExportFacts>& facts);
void addOutpatientFacts(std::vector<ExportFacts>& facts);
void addInpatientFacts(std::vector<ExportFacts>& facts);
void addCatalogueFacts(std::vector<ExportFacts>& facts);
void addCodeTableFacts(std::vector<ExportFacts>& facts);

}  // namespace nv

#endif
