// SPDX-License-Identifier: MIT
// Where the body of an answer read as SOAP goes, as the exchange receives it.
#ifndef NV_CLIENT_BODY_READER_H
#define NV_CLIENT_BODY_READER_H

#include <cstddef>
#include <cstdint>

#include "client/answer_reader.h"

namespace nv {

class BodyReader {
 public:
  virtual ~BodyReader() = default;
  virtual void begin(int status, uint64_t announcedLength) = 0;
  virtual void feed(const char* bytes, size_t count) = 0;
  virtual bool settled() const = 0;
  virtual AnswerOutcome finish() = 0;
};

}  // namespace nv

#endif
