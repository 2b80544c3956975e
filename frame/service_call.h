// SPDX-License-Identifier: MIT
// The service call template: find the centre, check the arguments, send one
// operation, write the response or the failure. Every template export is
// its sheet plus one call of runExport.
#ifndef NV_FRAME_SERVICE_CALL_H
#define NV_FRAME_SERVICE_CALL_H

#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "frame/answer_document.h"
#include "frame/boundary.h"
#include "frame/call_trace.h"
#include "frame/environment.h"
#include "frame/export_sheet.h"
#include "client/service_session.h"
#include "frame/settings_file.h"
#include "service/session_guard.h"

namespace nv {

using Arguments = std::vector<std::string_view>;

namespace detail {

inline std::string_view argumentAt(const Arguments& args, int number) {
  return number >= 1 && static_cast<size_t>(number) <= args.size() ? args[number - 1] : std::string_view();
}

inline std::string_view sourceValue(const Source& source, const Arguments& args, const CentreRecord& centre) {
  return source.field ? std::string_view(centre.*source.field) : argumentAt(args, source.argument);
}

// A failure before any exchange, written as its status says.
inline CallStatus writtenFailure(ResultDocument& doc, CallStatus status) {
  doc.appendFailure(status.outCode(), status.outText());
  return status;
}

// Steps from the centre lookup to the written outcome, which the returned
// status accounts for; the caller has written the header and writes the end.
template <class Request, class Result>
CallStatus writeOutcome(const ExportSheet<Request, Result>& sheet, const Arguments& args, ResultDocument& doc,
                        const Environment& environment, const CallTrace& trace, ExchangeReport& report) {
  // The lookup comes first: without a centre no argument is judged.
  CentreRecord centre = findCentre(argumentAt(args, sheet.centreArgument));
  if (centre.CenterNO.empty()) return writtenFailure(doc, CallStatus::failed(Cause::kCentreNotFound));

  std::string message;
  for (const Check& check : sheet.checks)
    if (!CheckParam(argumentAt(args, check.argument), check.kind, check.maxLength, check.mayBeEmpty, message,
                    check.label))
      return writtenFailure(
          doc, CallStatus::failed(Cause::kArgumentCheck,
                                  CauseDetail().withText(std::move(message)).withOutCode(sheet.checkFailureCode)));

  if (!nvIsHttpEndpoint(centre.ServiceURL.c_str()))
    return writtenFailure(doc, CallStatus::failed(Cause::kEndpointNotHttp));

  ServiceSession session({trace.level() >= 2, keepConnectionsAlive()});
  // The encoded texts live until the session is closed, as the request does.
  std::vector<std::string> encoded;
  encoded.reserve(sheet.request.size());
  Request request;
  for (const RequestMember<Request>& member : sheet.request) {
    encoded.push_back(encodeField(sourceValue(member.source, args, centre)));
    request.*member.member = &encoded.back();
  }
  // The generated code writes the request; the answer goes from the
  // connection straight into the document.
  if (sheet.operation(session.context(), centre.ServiceURL.c_str(), nullptr, &request) != 0)
    throw std::bad_alloc();  // writing into memory fails only when memory runs out
  AnswerDocument answer(sheet.answer, doc);
  CallStatus status = session.exchange(environment, centre.ServiceURL, sheet.effect, sheet.answer, answer);
  report = session.report();
  if (!status.isOk()) answer.writeFailure(status.outCode(), status.outText());
  return status;
}

}  // namespace detail

// Runs a sheet on arguments already taken from the caller.
template <class Request, class Result>
char* runSheet(const ExportSheet<Request, Result>& sheet, const Arguments& args) {
  return guardExport(sheet.functionId, [&] {
    const Environment& environment = Environment::current();
    CallTrace trace(environment, sheet.functionId, detail::argumentAt(args, sheet.centreArgument));
    ResultDocument doc;
    doc.appendHeader(sheet.functionId);
    ExchangeReport report;
    const CallStatus status = detail::writeOutcome(sheet, args, doc, environment, trace, report);
    doc.appendEnd();
    trace.finish(status, report);
    return doc.finishDocument();
  });
}

// The body of a template export: its sheet and its C arguments.
template <class Request, class Result>
char* runExport(const ExportSheet<Request, Result>& sheet, std::initializer_list<const char*> cArgs) noexcept {
  return guardExport(sheet.functionId, [&] {
    Arguments args;
    args.reserve(cArgs.size());
    for (const char* text : cArgs) args.push_back(argText(text));
    return runSheet(sheet, args);
  });
}

}  // namespace nv

#endif
