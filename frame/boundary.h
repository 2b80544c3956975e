// SPDX-License-Identifier: MIT
// What every export does at the library boundary: take C texts, where null is
// the empty text, and never let an exception reach the caller.
#ifndef NV_FRAME_BOUNDARY_H
#define NV_FRAME_BOUNDARY_H

#include <string_view>

#include "client/library_lifetime.h"
#include "text/result_document.h"
#include "text/texts.h"

namespace nv {

inline std::string_view argText(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Runs body, which returns the caller-owned result. Should anything throw
// (memory running out), the caller still gets a well-formed failure document
// under functionId when memory allows, else null.
template <class Body>
char* guardExport(std::string_view functionId, Body&& body) noexcept {
  const CallInFlight running;
  try {
    return body();
  } catch (...) {
  }
  try {
    ResultDocument doc;
    doc.appendHeader(functionId);
    doc.appendFailure(texts::kCallFailedCode, texts::kMajorException);
    doc.appendEnd();
    return doc.finishDocument();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace nv

#endif
