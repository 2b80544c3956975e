// SPDX-License-Identifier: MIT
#include "tests/support/document_check.h"

#include <cstdint>
#include <set>
#include <unordered_set>

namespace nvcheck {

const char kSuccessText[] = "\xD6\xB4\xD0\xD0\xB3\xC9\xB9\xA6";

namespace {

const std::string kQ = "\\\"";  // the attribute delimiter: backslash, double quote
const std::string kDocumentEnd = "</data></function>";

std::string columnOpen(const ColumnHead& head) {
  return "<column colnum=" + kQ + std::to_string(head.colnum) + kQ + " colname=" + kQ + head.colname + kQ + ">";
}
std::string rowOpen(int row) { return "<row rownum=" + kQ + std::to_string(row) + kQ + ">"; }

class Reader {
 public:
  explicit Reader(std::string_view doc) : doc_(doc) {}

  bool eat(std::string_view piece) {
    if (doc_.substr(pos_, piece.size()) != piece) return false;
    pos_ += piece.size();
    return true;
  }
  bool startsWith(std::string_view piece) const { return doc_.substr(pos_, piece.size()) == piece; }

  // A count or index as intToText writes it: decimal, no sign, no leading zero.
  bool number(int& out) {
    size_t start = pos_;
    int64_t value = 0;
    while (pos_ < doc_.size() && doc_[pos_] >= '0' && doc_[pos_] <= '9' && pos_ - start < 10)
      value = value * 10 + (doc_[pos_++] - '0');
    size_t digits = pos_ - start;
    if (digits == 0 || digits > 9 || (digits > 1 && doc_[start] == '0')) return false;
    out = static_cast<int>(value);
    return true;
  }

  // The bytes up to `terminator`, which is consumed too.
  bool until(std::string_view terminator, std::string& out) {
    size_t end = doc_.find(terminator, pos_);
    if (end == std::string_view::npos) return false;
    out.assign(doc_.substr(pos_, end - pos_));
    pos_ = end + terminator.size();
    return true;
  }

  size_t pos() const { return pos_; }
  std::string_view doc() const { return doc_; }

 private:
  std::string_view doc_;
  size_t pos_ = 0;
};

// The column heads of row 0, read in the plain way: each value ends at the
// first "</column>". Good enough where values hold no markup; the table is
// then read exactly against these heads.
std::string discoverColumns(Reader reader, int columnCount, std::vector<ColumnHead>& heads) {
  if (!reader.eat(rowOpen(0))) return "row 0 does not open";
  for (int c = 0; c < columnCount; ++c) {
    ColumnHead head;
    std::string ignored;
    if (!reader.eat("<column colnum=" + kQ) || !reader.number(head.colnum) || !reader.eat(kQ + " colname=" + kQ) ||
        !reader.until(kQ + ">", head.colname) || !reader.until("</column>", ignored))
      return "column " + std::to_string(c) + " of row 0 is malformed";
    heads.push_back(head);
  }
  return "";
}

std::string checkHeads(const std::vector<ColumnHead>& heads) {
  std::set<int> numbers;
  std::set<std::string> names;
  for (const ColumnHead& head : heads) {
    if (head.colnum < 0 || head.colnum >= static_cast<int>(heads.size()))
      return "colnum " + std::to_string(head.colnum) + " outside 0.." + std::to_string(heads.size() - 1);
    if (!numbers.insert(head.colnum).second) return "colnum " + std::to_string(head.colnum) + " twice in a row";
    if (head.colname.empty() || head.colname.find_first_of("<>\"\\") != std::string::npos)
      return "bad colname '" + head.colname + "'";
    if (!names.insert(head.colname).second) return "colname '" + head.colname + "' twice in a row";
  }
  return "";
}

// Reads rows * heads.size() values starting at `start` (just after the
// first column's opening tag). The text after value k is fixed by the heads,
// so the only freedom is where each value ends: a depth-first search over
// the places its following text occurs, remembering dead ends.
std::string readTable(std::string_view doc, size_t start, int rowCount, const std::vector<ColumnHead>& heads,
                      std::vector<std::vector<std::string>>& rows) {
  const int columnCount = static_cast<int>(heads.size());
  const int64_t last = static_cast<int64_t>(rowCount) * columnCount - 1;
  auto after = [&](int64_t k) {
    int row = static_cast<int>(k / columnCount), col = static_cast<int>(k % columnCount);
    if (col + 1 < columnCount) return "</column>" + columnOpen(heads[col + 1]);
    if (row + 1 < rowCount) return "</column></row>" + rowOpen(row + 1) + columnOpen(heads[0]);
    return "</column></row>" + kDocumentEnd;
  };
  struct Frame {
    int64_t k;
    size_t pos;
    size_t searchFrom;
    size_t end;
  };
  std::vector<Frame> stack{{0, start, start, 0}};
  std::unordered_set<uint64_t> deadEnds;
  auto key = [&](int64_t k, size_t pos) { return static_cast<uint64_t>(k) * (doc.size() + 1) + pos; };
  while (!stack.empty()) {
    Frame& top = stack.back();
    const std::string follow = after(top.k);
    if (top.k == last) {
      if (doc.size() >= top.pos + follow.size() && doc.substr(doc.size() - follow.size()) == follow) {
        top.end = doc.size() - follow.size();
        rows.assign(rowCount, {});
        for (const Frame& f : stack) rows[f.k / columnCount].emplace_back(doc.substr(f.pos, f.end - f.pos));
        return "";
      }
      deadEnds.insert(key(top.k, top.pos));
      stack.pop_back();
      continue;
    }
    size_t at = doc.find(follow, top.searchFrom);
    if (at == std::string_view::npos) {
      deadEnds.insert(key(top.k, top.pos));
      stack.pop_back();
      continue;
    }
    top.searchFrom = at + 1;
    top.end = at;
    Frame next{top.k + 1, at + follow.size(), at + follow.size(), 0};
    if (!deadEnds.count(key(next.k, next.pos))) stack.push_back(next);
  }
  return "the table does not read as " + std::to_string(rowCount) + " rows of " + std::to_string(columnCount) +
         " columns ending the document";
}

}  // namespace

std::string readResultDocument(std::string_view document, std::string_view functionId, ResultDocumentView& view,
                               const std::vector<ColumnHead>* knownColumns, bool listingAllowed) {
  view = ResultDocumentView();
  Reader reader(document);
  if (!reader.eat("<?xml version='1.0' encoding='gb2312'?><function><function_id>")) return "bad declaration";
  if (!reader.eat(functionId) || !reader.eat("</function_id>")) return "function_id is not " + std::string(functionId);

  if (reader.eat("<out_code>")) {
    if (!reader.until("</out_code>", view.outCode)) return "out_code does not close";
    if (view.outCode != "000" && view.outCode != "300" && view.outCode != "600")
      return "out_code '" + view.outCode + "'";
    if (!reader.eat("<out_text>")) return "no out_text after out_code";
    if (view.outCode != "000") {
      const std::string tail =
          "</out_text><data rowcount=" + kQ + "0" + kQ + " columns=" + kQ + "0" + kQ + ">" + kDocumentEnd;
      if (document.size() < reader.pos() + tail.size() || document.substr(document.size() - tail.size()) != tail)
        return "a failure (" + view.outCode + ") must end with an empty table";
      view.outText.assign(document.substr(reader.pos(), document.size() - tail.size() - reader.pos()));
      if (view.outText.empty()) return "a failure (" + view.outCode + ") without out_text";
      return "";
    }
    if (!reader.eat(std::string(kSuccessText) + "</out_text>")) return "out_code 000 without the success text";
  } else if (listingAllowed && reader.startsWith("<data ")) {
    view.listing = true;
  } else {
    return "no out_code";
  }

  if (!reader.eat("<data rowcount=" + kQ) || !reader.number(view.rowCount) || !reader.eat(kQ + " columns=" + kQ) ||
      !reader.number(view.columnCount) || !reader.eat(kQ + ">"))
    return "malformed data element";
  if (view.listing && view.rowCount == 0) return "a listing without out_code must list something";
  if (knownColumns && static_cast<int>(knownColumns->size()) != view.columnCount)
    return "columns=" + std::to_string(view.columnCount) + ", expected " + std::to_string(knownColumns->size());
  if (view.rowCount == 0) {
    if (!reader.eat(kDocumentEnd) || reader.pos() != document.size()) return "an empty table must end the document";
    if (knownColumns) view.columns = *knownColumns;
    return "";
  }
  if (view.columnCount == 0) return "rows without columns";

  if (knownColumns) {
    view.columns = *knownColumns;
  } else if (std::string problem = discoverColumns(reader, view.columnCount, view.columns); !problem.empty()) {
    return problem;
  }
  if (std::string problem = checkHeads(view.columns); !problem.empty()) return problem;
  if (!reader.eat(rowOpen(0) + columnOpen(view.columns[0]))) return "row 0 does not open with its first column";
  return readTable(document, reader.pos(), view.rowCount, view.columns, view.rows);
}

std::string resultDocumentProblem(std::string_view document, std::string_view functionId,
                                  const std::vector<ColumnHead>* knownColumns, bool listingAllowed) {
  ResultDocumentView view;
  return readResultDocument(document, functionId, view, knownColumns, listingAllowed);
}

}  // namespace nvcheck
