// SPDX-License-Identifier: MIT
// nvcall: calls any export of the library from the command line.
//
//   nvcall [--dll PATH] [--utf8] [--table | --raw] [--trace[=2]] NAME [ARG...]
//   nvcall [--utf8] show [--table | --value COLNAME] [FILE]
//   nvcall [--utf8] config list | add FIELD=VALUE... | edit CENTRE FIELD=VALUE...
//   nvcall [--dll PATH] [--utf8] check
//   nvcall [--dll PATH] [--utf8] codes [CENTRE]
//   nvcall [--dll PATH] --version | --list
//
// It loads the library as a HIS does (library.h), so every call, check and
// version it reports is that file's. The console's code page and language
// are the system's (console.h).
#include <iostream>
#include <optional>
#include <sstream>
#include <fstream>
#include <string>
#include <vector>

#include "frame/centre_store.h"
#include "tools/common/export_list.h"
#include "tools/common/gbk_text.h"
#include "tools/nvcall/centre_check.h"
#include "tools/nvcall/centre_config.h"
#include "tools/nvcall/config_warnings.h"
#include "tools/nvcall/console.h"
#include "tools/nvcall/library.h"
#include "tools/nvcall/result_view.h"
#include "tools/nvcall/trace_file.h"
#include "tools/nvcall/words.h"

namespace {

using namespace nvcall;

constexpr int kSuccess = 0;
constexpr int kNotSuccess = 1;  // the result's out_code is not "000"
constexpr int kUsageError = 2;
constexpr int kFailure = 3;  // no result to show: the library not loaded, unreadable input, ...

const Words kUsage{
    "usage: nvcall [--dll PATH] [--utf8] [--table | --raw] [--trace[=2]] NAME [ARG...]\n"
    "       nvcall [--utf8] show [--table | --value COLNAME] [FILE]\n"
    "       nvcall [--utf8] config list\n"
    "       nvcall [--utf8] config add CenterNO=CODE [ServiceURL=URL] [HOSP_CODE=..] [ORG_LEVEL=..] [UserNo=..] "
    "[BK=..]\n"
    "       nvcall [--utf8] config edit CENTRE FIELD=VALUE...\n"
    "       nvcall [--dll PATH] [--utf8] check\n"
    "       nvcall [--dll PATH] [--utf8] codes [CENTRE]\n"
    "       nvcall [--dll PATH] --version | --list\n"
    "\n"
    "Calls the export NAME of the library with the positional ARGs (exactly as\n"
    "many as it takes; \"\" for an empty one) and prints the result document.\n"
    "The library is the one a HIS would load: NvInterFace.dll from nvcall's own\n"
    "folder (libNvInterFace.so on Linux), or the file --dll names.\n"
    "NvConfiguration.ini is read from the current directory, as by any host.\n"
    "\n"
    "  --dll      the library to load instead of the one beside nvcall\n"
    "  --utf8     arguments are UTF-8, converted to GBK for the library; what is\n"
    "             printed is converted from GBK to UTF-8 (the library never converts)\n"
    "  --table    print the result's rows as an aligned table\n"
    "  --raw      print the bytes exactly as returned, nothing added\n"
    "  --trace    print the library's trace of the call to stderr (--trace=2: with\n"
    "             the messages exchanged, base64 shown decoded): nvcall writes an\n"
    "             NvTrace.ini for the one call and removes it; one already there\n"
    "             is left alone and rules the call\n"
    "  --list     list the exports and their arguments\n"
    "  show       read a saved result document (FILE, or standard input) and print\n"
    "             it as a table, or one column of its first row (--value)\n"
    "  config     list, add or edit the centres of NvConfiguration.ini; values are\n"
    "             given plain and written in base64; an address must be http(s)\n"
    "  check      for each configured centre (of groups with one CenterNO the last,\n"
    "             which the library uses): whether its ServiceURL can be called,\n"
    "             whether the centre answers the connection test (connectTesting),\n"
    "             and whether it knows the configured HOSP_CODE (redeemTypeDown);\n"
    "             both calls change nothing and go through the library, so proxy,\n"
    "             TLS and the hospital's code are tested as the HIS uses them\n"
    "  codes      the centre's reimbursement types (redeemTypeDown) and departments\n"
    "             (officeCodeDown) as tables: the codes calculate, inpPay and the\n"
    "             registrations take; CENTRE is a CenterNO, the first centre if none\n"
    "             config list and check name on stderr each line of the file that\n"
    "             cannot do what its author meant\n"
    "  --version  nvcall's version, and the library's file version, bitness and path\n"
    "\n"
    "Exit status: 0 success (out_code \"000\"), 1 another out_code, 2 usage error,\n"
    "3 nothing to show (the library not loaded, unreadable document, unconvertible text).\n",
    "用法: nvcall [--dll 路径] [--utf8] [--table | --raw] [--trace[=2]] 函数名 [参数...]\n"
    "      nvcall [--utf8] show [--table | --value 列名] [文件]\n"
    "      nvcall [--utf8] config list\n"
    "      nvcall [--utf8] config add CenterNO=编码 [ServiceURL=地址] [HOSP_CODE=..] [ORG_LEVEL=..] [UserNo=..] "
    "[BK=..]\n"
    "      nvcall [--utf8] config edit 中心编码 字段=值...\n"
    "      nvcall [--dll 路径] [--utf8] check\n"
    "      nvcall [--dll 路径] [--utf8] codes [中心编码]\n"
    "      nvcall [--dll 路径] --version | --list\n"
    "\n"
    "用给定的参数(个数与函数的参数个数相同,空参数写 \"\")调用接口库的函数,并输出结果文档。\n"
    "调用的接口库与 HIS 加载的相同: nvcall 所在目录中的 NvInterFace.dll,或 --dll 指定的文件。\n"
    "NvConfiguration.ini 从当前目录读取,与 HIS 相同。\n"
    "\n"
    "  --dll      加载指定的接口库,而不是 nvcall 旁边的那个\n"
    "  --utf8     参数为 UTF-8,转换成 GBK 交给接口库;输出从 GBK 转换成 UTF-8\n"
    "  --table    以对齐的表格输出结果的各行\n"
    "  --raw      原样输出返回的字节\n"
    "  --trace    把接口库对这次调用的跟踪记录输出到标准错误(--trace=2: 含收发的报文):\n"
    "             nvcall 为这一次调用写入 NvTrace.ini,调用后删除;已有的 NvTrace.ini 不动,按其设置跟踪\n"
    "  --list     列出所有函数及其参数\n"
    "  show       读取保存的结果文档(文件或标准输入),以表格输出,或输出第一行的某一列(--value)\n"
    "  config     列出、添加或修改 NvConfiguration.ini 中的中心;值以明文给出,以 base64 写入;地址须为 http(s)\n"
    "  check      对每个配置的中心(CenterNO 相同的几组取接口库使用的最后一组):检查 ServiceURL 能否调用,\n"
    "             中心是否应答连接测试(connectTesting),以及中心是否认识配置的 HOSP_CODE(redeemTypeDown);\n"
    "             两次调用都不改变任何数据,都经过接口库,代理、TLS 和医院编码都与 HIS 使用时相同\n"
    "  codes      以表格输出中心的补偿类型(redeemTypeDown)和科室(officeCodeDown):calculate、inpPay\n"
    "             和登记函数使用的代码;中心编码为 CenterNO,不给出时为第一个中心\n"
    "             config list 和 check 在标准错误上指出文件中每一行不能达到作者本意的地方\n"
    "  --version  nvcall 的版本,以及接口库的文件版本、位数和路径\n"
    "\n"
    "退出码: 0 成功(out_code \"000\"),1 其他 out_code,2 用法错误,3 "
    "无可输出(接口库未加载、文档无法读取、文本无法转换)。\n"};

struct Options {
  bool utf8 = false;        // arguments are UTF-8
  bool utf8Output = false;  // output is UTF-8
  bool table = false;
  bool raw = false;
  std::string value;  // show --value
  int traceLevel = 0;
  std::string library;  // --dll
};

// Output text in the chosen code page.
std::string shown(const std::string& gbkBytes, const Options& options) {
  return options.utf8Output ? nvtools::gbkToUtf8ForDisplay(gbkBytes) : gbkBytes;
}

// nvcall's own UTF-8 words in the output's code page.
std::string said(const std::string& utf8, const Options& options) {
  if (options.utf8Output) return utf8;
  return nvtools::utf8ToGbk(utf8).value_or(utf8);
}

void writeOut(const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void writeError(const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

class Nvcall {
 public:
  Nvcall(Options options, Speaker speak) : options_(std::move(options)), speak_(speak) {}

  int usageError(const std::string& message) const {
    writeError(said("nvcall: " + message + "\n\n" + speak_(kUsage), options_));
    return kUsageError;
  }
  int failure(const std::string& message) const {
    writeError(said("nvcall: " + message + "\n", options_));
    return kFailure;
  }
  int usage() const {
    writeOut(said(speak_(kUsage), options_));
    return kSuccess;
  }

  int listExports() const {
    for (const nvexports::Export& entry : nvexports::kExports)
      std::cout << entry.name << (*entry.parameters ? " " : "") << entry.parameters << "\n";
    return kSuccess;
  }

  int version() {
    std::string text = "nvcall " NV_PROJECT_VERSION "\n";
    const LibraryFacts& facts = library().facts();
    text += std::string(libraryFileName()) + " " +
            (facts.version.empty() ? speak_({"(no version resource)", "(无版本信息)"}) : facts.version) +
            speak_({", ", ","}) + bitsText(facts.bits) + speak_({", ", ","}) + facts.path + "\n";
    writeOut(said(text, options_));
    if (!library().usable()) return failure(library().error());
    return kSuccess;
  }

  int callExport(const std::string& name, const std::vector<std::string>& args) {
    const nvexports::Export* entry = nvexports::findExport(name);
    if (!entry)
      return usageError(
          speak_({"no export named ", "没有名为 "}) + name +
          speak_({" (nvcall --list shows them; names are exact)", " 的函数(nvcall --list 列出全部,名称须完全一致)"}));
    if (args.size() != entry->arity) {
      std::string expected = name + (*entry->parameters ? " " : "") + entry->parameters;
      return usageError(name + speak_({" takes ", " 需要 "}) + std::to_string(entry->arity) +
                        speak_({" arguments, ", " 个参数,给了 "}) + std::to_string(args.size()) +
                        speak_({" given:\n  ", " 个:\n  "}) + expected);
    }
    std::vector<std::string> texts;
    for (const std::string& arg : args) {
      if (!options_.utf8) {
        texts.push_back(arg);
        continue;
      }
      std::optional<std::string> converted = nvtools::utf8ToGbk(arg);
      if (!converted)
        return failure(
            speak_({"argument is not UTF-8 text with a GBK form: ", "参数不是可转换为 GBK 的 UTF-8 文本: "}) + arg);
      texts.push_back(*converted);
    }
    if (!library().usable()) return failure(library().error());
    std::vector<const char*> pointers;
    for (const std::string& text : texts) pointers.push_back(text.c_str());

    std::optional<TraceForOneCall> trace;
    if (options_.traceLevel > 0) {
      trace.emplace(options_.traceLevel);
      if (!trace->ours())
        writeError(said(speak_({"nvcall: NvTrace.ini is present here: the call is traced as it says\n",
                                "nvcall: 当前目录已有 NvTrace.ini: 这次调用按其设置跟踪\n"}),
                        options_));
    }
    std::optional<std::string> document = call(*entry, pointers);
    if (trace) writeError(withLineFeedEnds(trace->entries()));
    if (!document) return failure(name + speak_({" returned no text", " 没有返回文本"}));
    return present(*document, entry->returnsDocument);
  }

  int showSaved(const std::vector<std::string>& args) {
    std::string file;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--table") {
        options_.table = true;
      } else if (args[i] == "--value" && i + 1 < args.size()) {
        options_.value = args[++i];
      } else if (file.empty() && (args[i] == "-" || args[i].rfind("--", 0) != 0)) {
        file = args[i];
      } else {
        return usageError("show: " + speak_({"unexpected ", "多余的 "}) + args[i]);
      }
    }
    std::ostringstream bytes;
    if (file.empty() || file == "-") {
      bytes << std::cin.rdbuf();
    } else {
      std::ifstream in(file, std::ios::binary);
      if (!in) return failure(speak_({"cannot read ", "无法读取 "}) + file);
      bytes << in.rdbuf();
    }
    std::string document = bytes.str();
    // A saved result may end in the line feed that printing added.
    while (!document.empty() && (document.back() == '\n' || document.back() == '\r')) document.pop_back();
    return present(document, true);
  }

  int configCommand(const std::vector<std::string>& args) {
    const std::string path = nv::kConfigurationFile;
    if (args.empty()) return usageError(speak_({"config needs list, add or edit", "config 后须为 list、add 或 edit"}));
    const std::string& action = args[0];

    if (action == "list") {
      if (args.size() != 1) return usageError(speak_({"config list takes no arguments", "config list 不带参数"}));
      nv::CentreTable centres = readAndWarn(path);
      if (centres.empty()) {
        writeOut(said(speak_({"no centres: ", "没有中心: "}) + path +
                          speak_({" is missing or holds no whole group\n", " 不存在或不含完整的一组\n"}),
                      options_));
        return kSuccess;
      }
      TableText table;
      table.header = path + "  " + rowCountText(centres.size());
      table.columns = centreFieldNames();
      for (const nv::CentreRecord& c : centres)
        table.rows.push_back({shown(c.CenterNO, options_), shown(c.ServiceURL, options_), shown(c.HOSP_CODE, options_),
                              shown(c.ORG_LEVEL, options_), shown(c.UserNo, options_), shown(c.BK, options_)});
      table.alwaysAcross = true;  // one centre per line
      writeOut(renderTable(table, options_.utf8Output));
      return kSuccess;
    }

    if (action != "add" && action != "edit")
      return usageError(speak_({"config needs list, add or edit, not ", "config 后须为 list、add 或 edit,而不是 "}) +
                        action);
    size_t first = action == "add" ? 1 : 2;
    if (args.size() < first + (action == "edit" ? 1 : 0) || (action == "edit" && args.size() < 3))
      return usageError("config " + action + speak_({": missing ", ": 缺少 "}) +
                        (action == "edit" ? speak_({"CENTRE or ", "中心编码或 "}) : "") +
                        speak_({"FIELD=VALUE", "字段=值"}));
    // edit's centre code and the FIELD=VALUE words, as GBK.
    std::vector<std::string> given(args.begin() + 1, args.end());
    if (options_.utf8) {
      for (std::string& word : given) {
        std::optional<std::string> converted = nvtools::utf8ToGbk(word);
        if (!converted)
          return failure(speak_({"not UTF-8 text with a GBK form: ", "不是可转换为 GBK 的 UTF-8 文本: "}) + word);
        word = *converted;
      }
    }
    const bool edit = action == "edit";
    std::vector<std::string> words(given.begin() + (edit ? 1 : 0), given.end());
    std::string error;
    std::optional<FieldValues> values = parseFieldValues(words, error, speak_);
    if (!values) return usageError(error);
    error = edit ? editCentre(path, given.front(), *values, speak_) : addCentre(path, *values, speak_);
    if (!error.empty()) return failure(error);
    return kSuccess;
  }

  int checkCentres() {
    const std::string path = nv::kConfigurationFile;
    nv::CentreTable groups = readAndWarn(path);
    std::vector<nv::CentreRecord> centres;
    for (size_t group : groupsInUse(groups)) centres.push_back(groups[group]);
    if (centres.empty()) {
      writeOut(said(speak_({"no centres: ", "没有中心: "}) + path +
                        (groups.empty() ? speak_({" is missing or holds no whole group (nvcall config add)\n",
                                                  " 不存在或不含完整的一组(nvcall config add)\n"})
                                        : speak_({" has no group with a CenterNO\n", " 中没有设置了 CenterNO 的组\n"})),
                    options_));
      return kNotSuccess;
    }
    if (!library().usable()) return failure(library().error());
    TableText table;
    table.columns = {speak_({"centre", "中心"}), speak_({"step", "步骤"}), speak_({"result", "结果"}),
                     speak_({"what was found", "情况"})};
    for (std::string& column : table.columns) column = said(column, options_);
    table.alwaysAcross = true;
    size_t working = 0;
    for (const nv::CentreRecord& centre : centres) {
      std::vector<CheckStep> steps =
          checkCentre(centre,
                      {{{"connection", "连接"}, [this](const nv::CentreRecord& c) { return connectionCall(c); }},
                       {{"hospital", "医院编码"}, [this](const nv::CentreRecord& c) { return hospitalCodeCall(c); }}},
                      speak_);
      bool ok = true;
      for (const CheckStep& step : steps) {
        ok = ok && step.result == StepResult::kOk;
        table.rows.push_back({shown(centre.CenterNO, options_), said(step.step, options_),
                              said(resultText(step.result), options_), said(step.detail, options_)});
      }
      working += ok ? 1 : 0;
    }
    table.header =
        said(path + "  " + std::to_string(centres.size()) +
                 speak_({centres.size() == 1 ? " centre, " : " centres, ", " 个中心,"}) + std::to_string(working) +
                 speak_({" working", " 个正常"}) + speak_({"; ", ";"}) + libraryFileName() + " " +
                 library().facts().version + " " + bitsText(library().facts().bits),
             options_);
    writeOut(renderTable(table, options_.utf8Output));
    return working == centres.size() ? kSuccess : kNotSuccess;
  }

  // The centre's code tables, one table each; succeeds when both came.
  int printCodes(const std::vector<std::string>& args) {
    if (args.size() > 1) return usageError(speak_({"codes takes one CENTRE at most", "codes 最多带一个中心编码"}));
    std::string centre = args.empty() ? "" : args[0];
    if (options_.utf8) {
      std::optional<std::string> converted = nvtools::utf8ToGbk(centre);
      if (!converted)
        return failure(speak_({"not UTF-8 text with a GBK form: ", "不是可转换为 GBK 的 UTF-8 文本: "}) + centre);
      centre = *converted;
    }
    if (!library().usable()) return failure(library().error());
    int status = kSuccess;
    bool first = true;
    for (const char* name : {"redeemTypeDown", "officeCodeDown"}) {
      std::optional<std::string> document = call(*nvexports::findExport(name), {centre.c_str()});
      if (!document) return failure(name + speak_({" returned no text", " 没有返回文本"}));
      std::optional<ResultView> view = parseResult(*document);
      if (!view) return failure(speak_({"the library returned no result document", "接口库返回的不是结果文档"}));
      writeOut((first ? "" : "\n") + renderResult(*view));
      first = false;
      if (!view->succeeded()) status = kNotSuccess;
    }
    return status;
  }

 private:
  // The configured groups; first, on stderr, every line of the file that
  // cannot do what its author meant.
  nv::CentreTable readAndWarn(const std::string& path) const {
    std::optional<std::string> bytes = readConfiguration(path);
    if (!bytes) return {};
    std::string warnings;
    for (const ConfigWarning& warning : configWarnings(*bytes, speak_)) warnings += warningLine(path, warning, speak_);
    if (!warnings.empty()) writeError(said(warnings, options_));
    return nv::parseCentreTable(*bytes);
  }

  Library& library() {
    if (!library_) library_.emplace(options_.library);
    return *library_;
  }

  std::string bitsText(int bits) const {
    if (bits == 0) return speak_({"bitness unknown", "位数未知"});
    return std::to_string(bits) + speak_({"-bit", " 位"});
  }

  std::string resultText(StepResult result) const {
    switch (result) {
      case StepResult::kOk: return speak_({"ok", "正常"});
      case StepResult::kFailed: return speak_({"FAILED", "失败"});
      case StepResult::kNotTried: return speak_({"not tried", "未试"});
    }
    return "";
  }

  // The export called through the loaded library; nothing when it returned
  // no text.
  std::optional<std::string> call(const nvexports::Export& entry, const std::vector<const char*>& args) {
    char* result = entry.invoke(library().address(entry.name), args);
    if (result == nullptr) return std::nullopt;
    std::string text(result);
    library().release(result);
    return text;
  }

  // One harmless call of an export that takes only the centre code: whether
  // it succeeded, and "<what> answered <out_code> <out_text>" and the answer
  // in plain words.
  std::pair<bool, std::string> harmlessCall(const char* name, const nv::CentreRecord& centre, const std::string& what) {
    std::optional<std::string> document = call(*nvexports::findExport(name), {centre.CenterNO.c_str()});
    if (!document) return {false, speak_({"the library returned nothing (out of memory)", "接口库没有返回(内存不足)"})};
    std::optional<ResultView> view = parseResult(*document);
    if (!view) return {false, speak_({"the library returned no result document", "接口库返回的不是结果文档"})};
    std::string words = what + speak_({" answered ", " 返回 "}) +
                        nvtools::gbkToUtf8ForDisplay(view->outCode.value_or("")) + " " +
                        nvtools::gbkToUtf8ForDisplay(view->outText.value_or(""));
    // A text answer is shown; a table is counted.
    if (view->succeeded() && view->rows.size() == 1 && view->rows[0].size() == 1)
      words += ": " + nvtools::gbkToUtf8ForDisplay(view->rows[0][0].second);
    else if (view->succeeded())
      words += " " + rowCountText(view->rows.size());
    return {view->succeeded(), words};
  }

  // connectTesting sends nothing but the envelope: the centre answers at all.
  std::pair<bool, std::string> connectionCall(const nv::CentreRecord& centre) {
    return harmlessCall("connectTesting", centre, "connectTesting");
  }

  // redeemTypeDown reads a code table and sends the configured HOSP_CODE and
  // UserNo, so a centre that does not know the hospital says so here.
  std::pair<bool, std::string> hospitalCodeCall(const nv::CentreRecord& centre) {
    return harmlessCall("redeemTypeDown", centre,
                        speak_({"redeemTypeDown, which sends HOSP_CODE ", "发送 HOSP_CODE "}) +
                            nvtools::gbkToUtf8ForDisplay(centre.HOSP_CODE) + speak_({",", " 的 redeemTypeDown"}));
  }

  static std::string rowCountText(size_t rows) { return "(" + std::to_string(rows) + (rows == 1 ? " row)" : " rows)"); }

  std::string renderResult(const ResultView& view) const {
    TableText table;
    table.header = view.functionId;
    if (view.outCode) table.header += "  " + *view.outCode;
    if (view.outText && !view.outText->empty()) table.header += "  " + shown(*view.outText, options_);
    table.header += "  " + rowCountText(view.rows.size());
    if (!view.rows.empty())
      for (const auto& [name, value] : view.rows.front()) table.columns.push_back(shown(name, options_));
    for (const ResultView::Row& row : view.rows) {
      std::vector<std::string> cells;
      for (const auto& column : row) cells.push_back(shown(column.second, options_));
      table.rows.push_back(std::move(cells));
    }
    return renderTable(table, options_.utf8Output);
  }

  // Prints a result document as the options ask; returns the exit status.
  int present(const std::string& document, bool isDocument) const {
    if (!isDocument) {
      writeOut(options_.raw ? document : shown(document, options_) + "\n");
      return kSuccess;
    }
    if (options_.raw) writeOut(document);
    std::optional<ResultView> view = parseResult(document);
    if (!view) {
      if (!options_.raw) writeOut(shown(document, options_) + "\n");
      failure(speak_({"the text is not a result document", "这段文本不是结果文档"}));
      return kFailure;
    }
    if (!options_.value.empty()) {
      std::optional<std::string> value = view->value(options_.value);
      if (!value)
        return failure(speak_({"no column ", "第一行没有列 "}) + options_.value + speak_({" in the first row", ""}));
      writeOut(shown(*value, options_) + "\n");
    } else if (options_.table) {
      writeOut(renderResult(*view));
    } else if (!options_.raw) {
      writeOut(shown(document, options_) + "\n");
    }
    return view->succeeded() ? kSuccess : kNotSuccess;
  }

  Options options_;
  Speaker speak_;
  std::optional<Library> library_;
};

}  // namespace

int main(int argc, char** argv) {
  Console console = openConsole(argc, argv);
  const std::vector<std::string>& args = console.args;
  Options options;
  options.utf8 = console.utf8Arguments;
  options.utf8Output = console.utf8Output;
  Speaker speak(console.chinese);
  bool list = false, showVersion = false, help = false;
  std::string unknown;
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    if (args[i] == "--utf8") {
      options.utf8 = options.utf8Output = true;
    } else if (args[i] == "--table") {
      options.table = true;
    } else if (args[i] == "--raw") {
      options.raw = true;
    } else if (args[i] == "--trace" || args[i] == "--trace=1" || args[i] == "--trace=2") {
      options.traceLevel = args[i] == "--trace=2" ? 2 : 1;
    } else if (args[i] == "--dll" && i + 1 < args.size()) {
      options.library = args[++i];
    } else if (args[i].rfind("--dll=", 0) == 0) {
      options.library = args[i].substr(6);
    } else if (args[i] == "--list") {
      list = true;
    } else if (args[i] == "--version") {
      showVersion = true;
    } else if (args[i] == "--help") {
      help = true;
    } else if (unknown.empty()) {
      unknown = args[i];
    }
  }
  Nvcall nvcall(options, speak);
  if (!unknown.empty()) return nvcall.usageError(speak({"unknown option ", "未知选项 "}) + unknown);
  if (help) return nvcall.usage();
  if (showVersion) return nvcall.version();
  if (list) return nvcall.listExports();
  if (options.table && options.raw)
    return nvcall.usageError(speak({"--table and --raw exclude each other", "--table 和 --raw 不能同时使用"}));
  if (i == args.size()) return nvcall.usageError(speak({"no export named", "没有给出函数名"}));

  std::string name = args[i];
  std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  if (name == "config") return nvcall.configCommand(rest);
  if (name == "show") return nvcall.showSaved(rest);
  if (name == "check")
    return rest.empty() ? nvcall.checkCentres()
                        : nvcall.usageError(speak({"check takes no arguments", "check 不带参数"}));
  if (name == "codes") return nvcall.printCodes(rest);
  return nvcall.callExport(name, rest);
}
