// The generated reader of the SOAP toolkit, kept beside the streaming reader
// as its oracle: tests and fuzzing compare the documents the two write.
// Never part of the library.
#ifndef NVTEST_ANSWER_ORACLE_H
#define NVTEST_ANSWER_ORACLE_H

#include "client/service_session.h"

namespace nvtest {

// A ScopedAnswerReader::Reader: reads the answer into the generated records
// and writes them as the result shapes did before answers were streamed.
bool readWithGeneratedRecords(nv::ServiceSession& session, const nv::AnswerPlan& plan, nv::ResultDocument& doc);

}  // namespace nvtest

#endif
