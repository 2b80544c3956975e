// SPDX-License-Identifier: MIT
#include "tools/nvcall/result_view.h"

#include <algorithm>

namespace nvcall {
namespace {

// Attribute values of a result document are enclosed by backslash-quote.
constexpr std::string_view kQuote = "\\\"";

// The text between open and close starting at pos; moves pos past close.
std::optional<std::string_view> between(std::string_view text, std::string_view open, std::string_view close,
                                        size_t& pos) {
  size_t start = text.find(open, pos);
  if (start == std::string_view::npos) return std::nullopt;
  start += open.size();
  size_t end = text.find(close, start);
  if (end == std::string_view::npos) return std::nullopt;
  pos = end + close.size();
  return text.substr(start, end - start);
}

std::optional<std::string> element(std::string_view document, std::string_view name) {
  size_t pos = 0;
  std::optional<std::string_view> text =
      between(document, "<" + std::string(name) + ">", "</" + std::string(name) + ">", pos);
  if (!text) return std::nullopt;
  return std::string(*text);
}

// Reads the columns of one row's text.
std::optional<ResultView::Row> parseRow(std::string_view row) {
  ResultView::Row columns;
  size_t pos = 0;
  while (row.find("<column ", pos) != std::string_view::npos) {
    size_t open = row.find("<column ", pos);
    size_t name = row.find(std::string("colname=") + std::string(kQuote), open);
    if (name == std::string_view::npos) return std::nullopt;
    name += 8 + kQuote.size();
    size_t nameEnd = row.find(kQuote, name);
    if (nameEnd == std::string_view::npos || row.substr(nameEnd + kQuote.size(), 1) != ">") return std::nullopt;
    size_t valueStart = nameEnd + kQuote.size() + 1;
    size_t valueEnd = row.find("</column>", valueStart);
    if (valueEnd == std::string_view::npos) return std::nullopt;
    columns.emplace_back(std::string(row.substr(name, nameEnd - name)),
                         std::string(row.substr(valueStart, valueEnd - valueStart)));
    pos = valueEnd + 9;
  }
  return columns;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::string padded(const std::string& text, size_t width, bool utf8) {
  size_t shown = displayWidth(text, utf8);
  return text + std::string(width > shown ? width - shown : 0, ' ');
}

std::string rule(size_t width) { return std::string(width, '-'); }

// Beyond this many columns a single row reads better as name/value lines.
constexpr size_t kMostColumnsAcross = 4;

}  // namespace

std::optional<std::string> ResultView::value(std::string_view colname) const {
  if (rows.empty()) return std::nullopt;
  for (const auto& [name, text] : rows.front())
    if (name == colname) return text;
  return std::nullopt;
}

std::optional<ResultView> parseResult(std::string_view document) {
  ResultView view;
  std::optional<std::string> functionId = element(document, "function_id");
  if (!functionId || document.find("<data ") == std::string_view::npos) return std::nullopt;
  view.functionId = *functionId;
  view.outCode = element(document, "out_code");
  view.outText = element(document, "out_text");

  size_t pos = document.find("<data ");
  while (true) {
    size_t open = document.find("<row ", pos);
    if (open == std::string_view::npos) break;
    size_t bodyStart = document.find('>', open);
    size_t close = document.find("</row>", open);
    if (bodyStart == std::string_view::npos || close == std::string_view::npos || close < bodyStart)
      return std::nullopt;
    std::optional<ResultView::Row> row = parseRow(document.substr(bodyStart + 1, close - bodyStart - 1));
    if (!row) return std::nullopt;
    view.rows.push_back(std::move(*row));
    pos = close + 6;
  }
  return view;
}

size_t displayWidth(std::string_view text, bool utf8) {
  if (!utf8) return text.size();
  size_t width = 0;
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < text.size(); ++k) c = (c << 6) | (text[i + k] & 0x3F);
    width += isWide(c) ? 2 : 1;
    i += length;
  }
  return width;
}

std::string renderTable(const TableText& table, bool utf8) {
  std::string out = table.header + "\n";
  if (table.rows.empty() || table.columns.empty()) return out;

  if (!table.alwaysAcross && table.rows.size() == 1 && table.columns.size() > kMostColumnsAcross) {
    size_t nameWidth = 0;
    for (const std::string& name : table.columns) nameWidth = std::max(nameWidth, displayWidth(name, utf8));
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const std::string& value = c < table.rows[0].size() ? table.rows[0][c] : std::string();
      out += "  " + padded(table.columns[c], nameWidth, utf8) + "  " + value + "\n";
    }
    return out;
  }

  std::vector<size_t> widths;
  for (const std::string& name : table.columns) widths.push_back(displayWidth(name, utf8));
  for (const auto& row : table.rows)
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
      widths[c] = std::max(widths[c], displayWidth(row[c], utf8));

  auto line = [&](const std::vector<std::string>& cells) {
    std::string text = " ";
    for (size_t c = 0; c < widths.size(); ++c) {
      const std::string& cell = c < cells.size() ? cells[c] : std::string();
      text += " " + (c + 1 < widths.size() ? padded(cell, widths[c], utf8) + " " : cell);
    }
    return text + "\n";
  };
  out += line(table.columns);
  std::vector<std::string> rules;
  for (size_t width : widths) rules.push_back(rule(width));
  out += line(rules);
  for (const auto& row : table.rows) out += line(row);
  return out;
}

}  // namespace nvcall
