// SPDX-License-Identifier: MIT
#include "client/answer_prolog.h"

#include "text/ascii_case.h"

namespace nv {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The encoding an XML declaration names, or "" when there is none.
std::string_view declaredEncoding(std::string_view head) {
  if (head.substr(0, 5) != "<?xml") return {};
  size_t end = head.find("?>");
  std::string_view declaration = head.substr(0, end);
  size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t quote = declaration.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  size_t close = declaration.find(declaration[quote], quote + 1);
  if (close == std::string_view::npos) return {};
  return declaration.substr(quote + 1, close - quote - 1);
}

bool isChineseEncoding(std::string_view encoding) {
  return equalsIgnoringCase(encoding, "GBK") || equalsIgnoringCase(encoding, "GB2312") ||
         equalsIgnoringCase(encoding, "GB18030");
}

bool isEncodingExpatReads(std::string_view encoding) {
  return encoding.empty() || equalsIgnoringCase(encoding, "UTF-8") || equalsIgnoringCase(encoding, "UTF-16") ||
         equalsIgnoringCase(encoding, "ISO-8859-1") || equalsIgnoringCase(encoding, "US-ASCII");
}

// Holding more than this waiting for a declaration's end is pointless.
constexpr size_t kMostHeld = 4096;

}  // namespace

std::string_view AnswerProlog::take(std::string_view bytes, bool final) {
  if (settled_) return pass(bytes, final);
  // Blanks before the XML declaration, which the runtime passes over.
  while (head_.empty() && !bytes.empty() && isBlank(bytes.front())) {
    bytes.remove_prefix(1);
    ++skipped_;
  }
  head_.append(bytes);
  // A UTF-8 byte order mark: the declaration that may follow it names the encoding.
  if (!bomSeen_ && head_.size() >= 3 && head_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bomSeen_ = true;
    size_t blanks = 3;
    while (blanks < head_.size() && isBlank(head_[blanks])) ++blanks;
    head_.erase(0, blanks);
    skipped_ += static_cast<int64_t>(blanks);
  }
  // The declaration, if any, is read whole before the parser is chosen.
  bool declarationRead =
      head_.size() >= 5 && (head_.compare(0, 5, "<?xml") != 0 || head_.find("?>") != std::string::npos);
  if (!declarationRead && head_.size() < kMostHeld && !final) return {};
  settle();
  held_.swap(head_);
  return pass(held_, final);
}

void AnswerProlog::settle() {
  std::string_view encoding = declaredEncoding(head_);
  transcode_ = isChineseEncoding(encoding);
  // A declared encoding the parser does not know is read as UTF-8, as the
  // runtime reads every answer.
  parserEncoding_ = transcode_ || !isEncodingExpatReads(encoding) ? "UTF-8" : nullptr;
  settled_ = true;
}

std::string_view AnswerProlog::pass(std::string_view bytes, bool final) {
  if (!transcode_) return bytes;
  converted_.clear();
  transcoder_.append(converted_, bytes);
  if (final) transcoder_.finish(converted_);
  return converted_;
}

}  // namespace nv
