// SPDX-License-Identifier: MIT
// The generated reader of the SOAP toolkit, kept beside the streaming reader
// as its oracle: tests and fuzzing compare the documents the two write.
// Never part of the library.
#ifndef NVTEST_ANSWER_ORACLE_H
#define NVTEST_ANSWER_ORACLE_H

#include <memory>

#include "client/curl_exchange.h"

namespace nvtest {

// A ScopedAnswerReader factory: takes the whole body, then reads it into the
// generated records and reports them to the sink, row by row, once read.
std::unique_ptr<nv::BodyReader> generatedRecordsReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink);

}  // namespace nvtest

#endif
