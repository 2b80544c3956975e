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
// generated records and writes them as the result shapes did before answers
// were streamed.
std::unique_ptr<nv::BodyReader> generatedRecordsReader(const nv::AnswerPlan& plan, nv::ResultDocument& doc);

}  // namespace nvtest

#endif
