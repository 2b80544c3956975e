// SPDX-License-Identifier: MIT
#include "text/result_document.h"

#include "text/allocation_gate.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace nv {
namespace {
// The attribute delimiter: a backslash followed by a double quote.
constexpr std::string_view kQuote = "\\\"";
// The markup around rows and columns, each constant run as one piece.
constexpr std::string_view kRowOpen = "<row rownum=\\\"";
constexpr std::string_view kRowClose = "</row>";
constexpr std::string_view kColumnOpen = "<column colnum=\\\"";
constexpr std::string_view kColumnName = "\\\" colname=\\\"";
constexpr std::string_view kColumnClose = "</column>";
constexpr std::string_view kTagEnd = "\\\">";

size_t digitsOf(int32_t value) {
  char digits[16];
  return static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
}
}  // namespace

void ResultDocument::appendInt(int32_t value) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  text_.append(digits, result.ptr);
}

void ResultDocument::appendHeader(std::string_view functionId) {
  text_ += "<?xml version='1.0' encoding='gb2312'?><function><function_id>";
  text_ += functionId;
  text_ += "</function_id>";
}

void ResultDocument::appendOutCode(std::string_view code) {
  text_ += "<out_code>";
  text_ += code;
  text_ += "</out_code>";
}

void ResultDocument::appendOutText(std::string_view text) {
  text_ += "<out_text>";
  text_ += text;
  text_ += "</out_text>";
}

void ResultDocument::appendDataOpen(int32_t rowCount, int32_t columnCount) {
  text_ += "<data rowcount=";
  text_ += kQuote;
  appendInt(rowCount);
  text_ += kQuote;
  text_ += " columns=";
  text_ += kQuote;
  appendInt(columnCount);
  text_ += kQuote;
  text_ += ">";
}

// Rows and columns are written once per value of a download of many
// thousand entries: each constant run of markup goes in as one piece.
void ResultDocument::appendRowOpen(int32_t rowNumber) {
  text_ += kRowOpen;
  appendInt(rowNumber);
  text_ += kTagEnd;
}

void ResultDocument::appendRowClose() { text_ += kRowClose; }

void ResultDocument::appendColumnOpen(int32_t columnNumber, std::string_view name) {
  text_ += kColumnOpen;
  appendInt(columnNumber);
  text_ += kColumnName;
  text_ += name;
  text_ += kTagEnd;
}

void ResultDocument::appendColumnClose() { text_ += kColumnClose; }

size_t ResultDocument::rowMarkupBytes(int32_t rowNumber) {
  return kRowOpen.size() + digitsOf(rowNumber) + kTagEnd.size() + kRowClose.size();
}

size_t ResultDocument::columnMarkupBytes(int32_t columnNumber, std::string_view name) {
  return kColumnOpen.size() + digitsOf(columnNumber) + kColumnName.size() + name.size() + kTagEnd.size() +
         kColumnClose.size();
}

void ResultDocument::appendColumn(int32_t columnNumber, std::string_view name, std::string_view value) {
  appendColumnOpen(columnNumber, name);
  text_ += value;
  appendColumnClose();
}

void ResultDocument::appendEnd() { text_ += "</data></function>"; }

void ResultDocument::appendFailure(std::string_view code, std::string_view text) {
  appendOutCode(code);
  appendOutText(text);
  appendDataOpen(0, 0);
}

char* copyToHeap(std::string_view bytes, size_t blockSize) {
  size_t size = bytes.size() + 1 > blockSize ? bytes.size() + 1 : blockSize;
  char* block = static_cast<char*>(gatedMalloc(size));
  if (block == nullptr) return nullptr;
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  std::memset(block + bytes.size(), 0, size - bytes.size());
  return block;
}

}  // namespace nv
