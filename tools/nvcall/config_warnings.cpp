// SPDX-License-Identifier: MIT
#include "tools/nvcall/config_warnings.h"

#include <algorithm>
#include <map>

#include "frame/centre_store.h"
#include "text/ascii_case.h"
#include "text/codec.h"
#include "tools/common/gbk_text.h"
#include "tools/nvcall/centre_check.h"
#include "tools/nvcall/centre_config.h"

namespace nvcall {
namespace {

constexpr size_t kGroupSize = 6;
constexpr size_t kKeyLength = 7;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Places in centreFieldNames().
constexpr size_t kCentreField = 0;
constexpr size_t kAddressField = 1;
constexpr size_t kNoField = static_cast<size_t>(-1);
// A mistyped key is at most this many edits away from the key.
constexpr size_t kMostTypingSlips = 2;

enum class LineKind {
  kKey,       // sets its field
  kBlank,     // empty, or blanks only
  kLikeAKey,  // no key, but written as one
  kOther,     // no key, nor like one
};
enum class Likeness { kLeadingBlanks, kLetterCase, kMistyped };

struct Line {
  size_t number = 0;
  std::string_view text;  // as the library reads it: no line end, nothing from a zero byte on
  LineKind kind = LineKind::kOther;
  size_t field = kNoField;  // kKey: the field it sets; kLikeAKey: the one it looks like
  Likeness likeness = Likeness::kMistyped;
  std::vector<size_t> lookalikes;  // kLikeAKey: the fields it is equally near to

  std::string_view value() const {
    return text.size() > kKeyLength + 1 ? text.substr(kKeyLength + 1) : std::string_view();
  }
};

// The lines as the library counts them.
std::vector<Line> splitLines(std::string_view bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = std::min(bytes.find('\n', start), bytes.size());
    Line line;
    line.number = lines.size() + 1;
    line.text = bytes.substr(start, end - start);
    if (!line.text.empty() && line.text.back() == '\r') line.text.remove_suffix(1);
    line.text = line.text.substr(0, line.text.find('\0'));
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

void classify(Line& line) {
  const std::vector<std::string>& keys = centreFieldKeys();
  for (size_t field = 0; field < keys.size(); ++field)
    if (line.text.substr(0, kKeyLength) == keys[field]) {
      line.kind = LineKind::kKey;
      line.field = field;
      return;
    }
  size_t start = line.text.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) {
    line.kind = LineKind::kBlank;
    return;
  }
  std::string_view rest = line.text.substr(start);
  std::string_view token = rest.substr(0, rest.find_first_of("=: \t"));
  size_t nearest = kMostTypingSlips + 1;
  for (size_t field = 0; field < keys.size(); ++field) {
    size_t slips = nearest;
    if (nv::startsIgnoringCase(rest, keys[field]))
      slips = 0;
    else if (token.size() <= kKeyLength + kMostTypingSlips)
      slips = editDistance(nv::asciiLowered(std::string(token)), keys[field]);
    if (slips < nearest) {
      nearest = slips;
      line.lookalikes.clear();
    }
    if (slips == nearest && slips <= kMostTypingSlips) line.lookalikes.push_back(field);
  }
  if (line.lookalikes.empty()) return;
  line.kind = LineKind::kLikeAKey;
  line.likeness = nearest > 0 ? Likeness::kMistyped : start > 0 ? Likeness::kLeadingBlanks : Likeness::kLetterCase;
  line.field = line.lookalikes.front();
}

bool setsField(const Line& line, size_t field) { return line.kind == LineKind::kKey && line.field == field; }

// A line that sets nothing is one of its group of six all the same. When
// its group would get a field it lacks if the line were gone (the line
// that would move up), the author did not mean it as a line of the group:
// it moves every later line one place down. Otherwise it stands for an
// empty field. Decided line by line, the lines already found out of place
// left out.
std::vector<bool> findLinesOutOfPlace(const std::vector<Line>& lines) {
  std::vector<bool> outOfPlace(lines.size(), false);
  std::vector<size_t> kept;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::kBlank || line.kind == LineKind::kOther) {
      size_t place = kept.size() % kGroupSize;
      size_t movingUp = i + kGroupSize - place;
      if (movingUp < lines.size() && lines[movingUp].field != kNoField) {
        bool lacking = true;
        for (size_t k = kept.size() - place; k < kept.size(); ++k)
          lacking = lacking && lines[kept[k]].field != lines[movingUp].field;
        for (size_t k = i + 1; k < movingUp; ++k) lacking = lacking && lines[k].field != lines[movingUp].field;
        outOfPlace[i] = lacking;
      }
    }
    if (!outOfPlace[i]) kept.push_back(i);
  }
  return outOfPlace;
}

std::string display(std::string_view gbkText) { return nvtools::gbkToUtf8ForDisplay(gbkText); }
std::string inQuotes(std::string_view gbkText) { return "\"" + display(gbkText) + "\""; }
std::string number(size_t n) { return std::to_string(n); }

std::string joined(const std::vector<std::string>& items, const std::string& separator) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

class WarningWriter {
 public:
  WarningWriter(std::string_view bytes, const Speaker& speak) : speak_(speak) {
    opensWithMark_ = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (opensWithMark_) bytes.remove_prefix(kByteOrderMark.size());
    lines_ = splitLines(bytes);
    for (Line& line : lines_) classify(line);
    wholeLines_ = lines_.size() - lines_.size() % kGroupSize;
    table_ = nv::parseCentreTable(bytes);
    for (size_t group = 0; group < table_.size(); ++group) lastGroupOf_[table_[group].CenterNO] = group;
    chooseLookalikes();
    outOfPlace_ = findLinesOutOfPlace(lines_);
    size_t meant = 0;
    meantPlace_.assign(lines_.size(), kNoField);
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (outOfPlace_[i]) continue;
      meantPlace_[i] = meant++;
      size_t meantGroup = meantPlace_[i] / kGroupSize;
      meantCentres_.resize(meantGroup + 1);
      if (setsField(lines_[i], kCentreField)) meantCentres_[meantGroup] = nv::decodeField(lines_[i].value());
    }
  }

  std::vector<ConfigWarning> warnings() {
    if (opensWithMark_) byteOrderMark();
    for (size_t i = 0; i < wholeLines_; ++i) lineWarning(i);
    for (size_t group = 0; group < table_.size(); ++group) groupWarning(group);
    partialGroup();
    std::stable_sort(warnings_.begin(), warnings_.end(),
                     [](const ConfigWarning& a, const ConfigWarning& b) { return a.line < b.line; });
    return std::move(warnings_);
  }

 private:
  std::string say(const Words& words) const { return speak_(words); }
  void add(size_t index, ConfigFault fault, const std::string& text) { warnings_.push_back({index + 1, fault, text}); }
  const std::string& fieldName(size_t field) const { return centreFieldNames()[field]; }

  // "a, b and c"; "a、b、c".
  std::string listed(const std::vector<std::string>& items) const {
    if (speak_.chinese() || items.size() < 2) return joined(items, "、");
    return joined(std::vector<std::string>(items.begin(), items.end() - 1), ", ") + " and " + items.back();
  }

  // Whether calls for the group's CenterNO use it: it has one, and no later
  // group has the same (groupsInUse).
  bool usedForItsCentre(size_t group) const {
    return !table_[group].CenterNO.empty() && lastGroupOf_.at(table_[group].CenterNO) == group;
  }

  // Of keys a line is as near to, the one its group lacks.
  void chooseLookalikes() {
    for (size_t i = 0; i < lines_.size(); ++i) {
      Line& line = lines_[i];
      for (size_t field : line.lookalikes)
        if (!groupSets(i / kGroupSize, field)) {
          line.field = field;
          break;
        }
    }
  }

  bool groupSets(size_t group, size_t field) const {
    for (size_t i = group * kGroupSize; i < std::min(lines_.size(), (group + 1) * kGroupSize); ++i)
      if (setsField(lines_[i], field)) return true;
    return false;
  }

  // The line of a group that sets a field (the last one, which wins).
  size_t lineSetting(size_t group, size_t field) const {
    size_t found = kNoField;
    for (size_t i = group * kGroupSize; i < std::min(lines_.size(), (group + 1) * kGroupSize); ++i)
      if (setsField(lines_[i], field)) found = i;
    return found;
  }

  // "group 2 (centre 341199)", as the library reads the file.
  std::string groupName(size_t group) const {
    std::string name = say({"group ", "第 "}) + number(group + 1) + say({"", " 组"});
    if (group < table_.size() && !table_[group].CenterNO.empty())
      name += say({" (centre ", "(中心 "}) + display(table_[group].CenterNO) + say({")", ")"});
    return name;
  }

  // The same for a group as the author meant it, the lines out of place left out.
  std::string meantGroupName(size_t meantGroup) const {
    std::string name = say({"group ", "第 "}) + number(meantGroup + 1) + say({"", " 组"});
    if (!meantCentres_[meantGroup].empty())
      name += say({" (centre ", "(中心 "}) + display(meantCentres_[meantGroup]) + say({")", ")"});
    return name;
  }

  void byteOrderMark() {
    std::string older = say({"older versions find no key on line 1", "旧版本在第 1 行读不到键"});
    if (!lines_.empty() && lines_[0].kind == LineKind::kKey) {
      if (lines_[0].field == kCentreField && !table_.empty() && usedForItsCentre(0))
        older += say({", so calls for centre ", ",中心 "}) + display(table_[0].CenterNO) +
                 say({" answer 300 无法找到配置文件", " 的调用都返回 300 无法找到配置文件"});
      else
        older += say({", so group 1 has no ", ",第 1 组便没有 "}) + fieldName(lines_[0].field);
    }
    add(0, ConfigFault::kByteOrderMark,
        say({"the file begins with a UTF-8 byte order mark (Notepad's \"UTF-8\"). This library skips it; ",
             "文件以 UTF-8 字节顺序标记(BOM,记事本的“UTF-8”)开头。本接口库跳过它;"}) +
            older +
            say({". Save the file as ANSI (nvcall config add and edit write it without the mark)",
                 "。请把文件另存为 ANSI(nvcall config add 和 edit 写入时不带此标记)"}));
  }

  void lineWarning(size_t i) {
    const Line& line = lines_[i];
    switch (line.kind) {
      case LineKind::kKey: return keyLineWarning(i);
      case LineKind::kLikeAKey: return lookalikeWarning(i);
      case LineKind::kBlank:
      case LineKind::kOther:
        if (outOfPlace_[i]) return outOfPlaceWarning(i);
        if (line.kind == LineKind::kOther)
          add(i, ConfigFault::kNotAKey,
              inQuotes(line.text) + say({" is no key, so the line sets nothing", " 不是键,这一行不设置任何字段"}));
        return;
    }
  }

  void keyLineWarning(size_t i) {
    const Line& line = lines_[i];
    const std::string& key = centreFieldKeys()[line.field];
    size_t winner = lineSetting(i / kGroupSize, line.field);
    if (winner != i) {
      add(i, ConfigFault::kFieldSetAgain,
          say({"line ", "同一组的第 "}) + number(winner + 1) + say({" of the same group sets ", " 行再次设置 "}) +
              fieldName(line.field) +
              say({" again, and the later line wins: this one is ignored", ",以后一行为准:这一行不起作用"}));
      return;
    }
    std::string_view value = line.value();
    size_t valueStart = value.find_first_not_of(" \t");
    bool blankSeparator =
        line.text.size() > kKeyLength && (line.text[kKeyLength] == ' ' || line.text[kKeyLength] == '\t');
    if (blankSeparator && valueStart != std::string_view::npos &&
        (value[valueStart] == '=' || value[valueStart] == ':')) {
      std::string_view meant = value.substr(valueStart + 1);
      meant.remove_prefix(std::min(meant.size(), meant.find_first_not_of(" \t")));
      add(i, ConfigFault::kSpacedSeparator,
          inQuotes(line.text) +
              say({": the blank after the key is the separator, so the value is ", ":键后的空格被当作分隔符,值成了 "}) +
              inQuotes(value) + say({", which is not base64: ", ",不是 base64,"}) + fieldName(line.field) +
              say({" is that text as written. Write ", " 就是这段原样的文字。应写作 "}) +
              inQuotes(key + "=" + std::string(meant)));
      return;
    }
    if (line.field == kAddressField) {
      std::string address = nv::decodeField(value);
      if (!address.empty() && !parseServiceUrl(address)) {
        std::string text = "ServiceURL " + inQuotes(address) +
                           say({" is not an http:// or https:// address: the library cannot call it",
                                " 不是 http:// 或 https:// 地址:接口库无法调用"});
        if (usedForItsCentre(i / kGroupSize))
          text += say({", and calls for centre ", ",中心 "}) + display(table_[i / kGroupSize].CenterNO) +
                  say({" answer 600", " 的调用都返回 600"});
        add(i, ConfigFault::kAddressNotHttp, text);
        return;
      }
    }
    if (!value.empty() && !nv::isWellFormedBase64(value))
      add(i, ConfigFault::kNotBase64,
          fieldName(line.field) + say({" ", " 的值 "}) + inQuotes(value) +
              say({" is not base64: the library keeps it as written", " 不是 base64,接口库按原样使用"}));
  }

  void lookalikeWarning(size_t i) {
    const Line& line = lines_[i];
    std::string key = centreFieldKeys()[line.field] + say({" (", "("}) + fieldName(line.field) + say({")", ")"});
    std::string why;
    switch (line.likeness) {
      case Likeness::kLeadingBlanks:
        why = say({": the blanks before ", ":"}) + key +
              say({" hide it, as a key must start its line", "前的空格使它无法识别,键须在行首"});
        break;
      case Likeness::kLetterCase: why = say({": keys are lower case, as ", ":键须为小写,如 "}) + key; break;
      case Likeness::kMistyped: why = say({"; is it a mistyped ", ";是否把 "}) + key + say({"?", "写错了?"}); break;
    }
    add(i, ConfigFault::kNotAKey,
        inQuotes(line.text) + say({" is no key, so the line sets nothing", " 不是键,这一行不设置任何字段"}) + why);
  }

  void outOfPlaceWarning(size_t i) {
    const Line& line = lines_[i];
    std::vector<std::string> moves;
    for (size_t k = i + 1; k < lines_.size() && !outOfPlace_[k]; ++k) {
      if (lines_[k].kind != LineKind::kKey) continue;
      size_t read = k / kGroupSize, meant = meantPlace_[k] / kGroupSize;
      if (read == meant) continue;
      std::string where = k < wholeLines_ ? say({" is read in ", "被读入"}) + groupName(read)
                                          : say({" falls into the discarded last lines", "落入被丢弃的末尾几行"});
      moves.push_back(fieldName(lines_[k].field) + say({" (line ", "(第 "}) + number(k + 1) + say({")", " 行)"}) +
                      where + say({", not ", ",而不是"}) + meantGroupName(meant));
    }
    std::string what = line.kind == LineKind::kBlank
                           ? say({"a blank line still counts", "空行仍算作"})
                           : inQuotes(line.text) +
                                 say({" is no key and sets nothing, yet it counts", " 不是键,不设置任何字段,却仍算作"});
    add(i, ConfigFault::kShiftsLaterLines,
        what +
            say({" as a line of its group of six, so every later line moves down one place",
                 "六行一组中的一行,其后每一行都下移一行"}) +
            (moves.empty() ? "" : say({": ", ":"}) + joined(moves, say({"; ", ";"}))) +
            say({". Delete the line", "。请删除这一行"}));
  }

  void groupWarning(size_t group) {
    const std::string& centre = table_[group].CenterNO;
    size_t first = group * kGroupSize;
    if (centre.empty()) {
      bool written = false;
      for (size_t i = first; i < first + kGroupSize; ++i) written = written || lines_[i].kind != LineKind::kBlank;
      if (!written) return;
      add(first, ConfigFault::kNoCentreCode,
          groupName(group) + say({" (lines ", "(第 "}) + number(first + 1) + "-" + number(first + kGroupSize) +
              say({") sets no CenterNO: no call can use it", " 行)没有 CenterNO:任何调用都用不到它"}) +
              (group == 0 ? say({" (a call with an empty centre code takes it, and answers 300 无法找到配置文件)",
                                 "(中心编码为空的调用取这一组,返回 300 无法找到配置文件)"})
                          : ""));
      return;
    }
    size_t used = lastGroupOf_.at(centre);
    if (used == group) return;
    add(lineSetting(group, kCentreField), ConfigFault::kCentreAgain,
        "CenterNO " + display(centre) + say({" is set again in group ", " 在第 "}) + number(used + 1) +
            say({" (line ", " 组(第 "}) + number(lineSetting(used, kCentreField) + 1) +
            say({"): the library uses the last group of a centre, so calls for ",
                 " 行)再次出现:接口库使用同一中心的最后一组,调用 "}) +
            display(centre) + say({" never read this group", " 时不会读取这一组"}) +
            (group == 0 ? say({"; only calls with an empty centre code do", ";只有中心编码为空的调用读取它"}) : ""));
  }

  void partialGroup() {
    if (wholeLines_ == lines_.size()) return;
    std::vector<std::string> lost;
    bool written = false;
    for (size_t i = wholeLines_; i < lines_.size(); ++i) {
      written = written || lines_[i].kind != LineKind::kBlank;
      if (lines_[i].kind != LineKind::kKey) continue;
      std::string field = fieldName(lines_[i].field);
      if (lines_[i].field == kCentreField) field += " " + display(nv::decodeField(lines_[i].value()));
      lost.push_back(field);
    }
    if (!written) return;  // blank lines at the end: nothing is lost
    size_t count = lines_.size() - wholeLines_;
    std::string text =
        count == 1 ? say({"the last line is not a whole group of six and is discarded", "最后 1 行不足六行一组,被丢弃"})
                   : say({"the last ", "最后 "}) + number(count) + say({" lines (", " 行(第 "}) +
                         number(wholeLines_ + 1) + "-" + number(lines_.size()) +
                         say({") are not a whole group of six and are discarded", " 行)不足六行一组,被丢弃"});
    if (!lost.empty())
      text += say({": ", ":其中的 "}) + listed(lost) +
              (lost.size() == 1 ? say({" is never read", " 不会被读取"}) : say({" are never read", " 都不会被读取"}));
    add(wholeLines_, ConfigFault::kPartialGroup, text);
  }

  const Speaker& speak_;
  bool opensWithMark_ = false;
  std::vector<Line> lines_;
  size_t wholeLines_ = 0;  // the lines of whole groups
  nv::CentreTable table_;
  std::map<std::string, size_t> lastGroupOf_;  // by CenterNO
  std::vector<bool> outOfPlace_;
  std::vector<size_t> meantPlace_;         // a line's place in the file as meant; kNoField for one out of place
  std::vector<std::string> meantCentres_;  // the CenterNO of each group as meant
  std::vector<ConfigWarning> warnings_;
};

}  // namespace

std::vector<ConfigWarning> configWarnings(std::string_view fileBytes, const Speaker& speak) {
  return WarningWriter(fileBytes, speak).warnings();
}

std::string warningLine(const std::string& path, const ConfigWarning& warning, const Speaker& speak) {
  return "nvcall: " + path + speak({" line ", " 第 "}) + std::to_string(warning.line) + speak({": ", " 行: "}) +
         warning.text + "\n";
}

}  // namespace nvcall
