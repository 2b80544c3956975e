// SPDX-License-Identifier: MIT
// The result text every export (but Encypt and DeEncypt) hands back to the HIS.
#ifndef NV_TEXT_RESULT_DOCUMENT_H
#define NV_TEXT_RESULT_DOCUMENT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "text/document_text.h"

namespace nv {

// Appends the pieces of one result document in the fixed order callers parse.
// Nothing is escaped or converted: texts go in byte for byte. Attribute values
// are enclosed by the two bytes backslash and double quote, as HIS parsers
// written against this interface expect.
class ResultDocument {
 public:
  void appendHeader(std::string_view functionId);
  void appendOutCode(std::string_view code);
  void appendOutText(std::string_view text);
  void appendDataOpen(int32_t rowCount, int32_t columnCount);
  void appendRowOpen(int32_t rowNumber);
  void appendRowClose();
  void appendColumn(int32_t columnNumber, std::string_view name, std::string_view value);
  // The column element around a value the caller appends itself through
  // text(), so large values are written without an intermediate copy.
  void appendColumnOpen(int32_t columnNumber, std::string_view name);
  void appendColumnClose();
  void appendEnd();

  // Writes the whole outcome of a failed call: code, text and an empty table.
  void appendFailure(std::string_view code, std::string_view text);

  // The caller-owned, NUL-terminated text in the C heap (malloc), or null
  // when memory runs out. The document is empty afterwards.
  char* finishDocument() { return text_.release(); }

  DocumentText& text() { return text_; }
  const DocumentText& text() const { return text_; }
  // Room for `bytes` more, only when memory allows: a hint, never a failure.
  void makeRoom(size_t bytes) noexcept {
    try {
      text_.reserve(text_.size() + bytes);
    } catch (...) {
    }
  }

  // The bytes a row's open and close tags take, and a column's markup
  // without its value: for making room for a long table in advance.
  static size_t rowMarkupBytes(int32_t rowNumber);
  static size_t columnMarkupBytes(int32_t columnNumber, std::string_view name);

 private:
  void appendInt(int32_t value);
  DocumentText text_;
};

// A caller-owned NUL-terminated heap copy of bytes; blockSize is the least
// size of the block (zero-filled beyond the text). Null when memory runs out.
char* copyToHeap(std::string_view bytes, size_t blockSize = 0);

}  // namespace nv

#endif
