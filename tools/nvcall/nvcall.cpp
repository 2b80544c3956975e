// nvcall: calls any export of the library from the command line.
//
//   nvcall [--utf8] [--table | --raw] NAME [ARG...]
//   nvcall [--utf8] show [--table | --value COLNAME] [FILE]
//   nvcall [--utf8] config list | add FIELD=VALUE... | edit CENTRE FIELD=VALUE...
//   nvcall [--utf8] check
//   nvcall --list | --version
//
// On Windows the arguments are taken as the system passes them (UTF-16, so
// any console code page works) and output is written in the console's code
// page: UTF-8 on a UTF-8 console (65001), otherwise GBK, the library's own.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "frame/centre_store.h"
#include "frame/trace_seams.h"
#include "tools/common/export_list.h"
#include "tools/common/gbk_text.h"
#include "tools/nvcall/centre_check.h"
#include "tools/nvcall/centre_config.h"
#include "tools/nvcall/result_view.h"

namespace {

using namespace nvcall;

constexpr int kSuccess = 0;
constexpr int kNotSuccess = 1;  // the result's out_code is not "000"
constexpr int kUsageError = 2;
constexpr int kFailure = 3;  // no result to show: unreadable input, unconvertible text, ...

const char kUsage[] =
    "usage: nvcall [--utf8] [--table | --raw] [--trace[=2]] NAME [ARG...]\n"
    "       nvcall [--utf8] show [--table | --value COLNAME] [FILE]\n"
    "       nvcall [--utf8] config list\n"
    "       nvcall [--utf8] config add CenterNO=CODE [ServiceURL=URL] [HOSP_CODE=..] [ORG_LEVEL=..] [UserNo=..] "
    "[BK=..]\n"
    "       nvcall [--utf8] config edit CENTRE FIELD=VALUE...\n"
    "       nvcall [--utf8] check\n"
    "       nvcall --list | --version\n"
    "\n"
    "Calls the export NAME of the library with the positional ARGs (exactly as\n"
    "many as it takes; \"\" for an empty one) and prints the result document.\n"
    "NvConfiguration.ini is read from the current directory, as by any host.\n"
    "\n"
    "  --utf8     arguments are UTF-8, converted to GBK for the library; what is\n"
    "             printed is converted from GBK to UTF-8 (the library never converts)\n"
    "  --table    print the result's rows as an aligned table\n"
    "  --raw      print the bytes exactly as returned, nothing added\n"
    "  --trace    print the call's trace line to stderr (--trace=2: with the\n"
    "             messages exchanged, base64 shown decoded); NvTrace.ini is ignored\n"
    "  --list     list the exports and their arguments\n"
    "  show       read a saved result document (FILE, or standard input) and print\n"
    "             it as a table, or one column of its first row (--value)\n"
    "  config     list, add or edit the centres of NvConfiguration.ini; values are\n"
    "             given plain and written in base64\n"
    "  check      for each configured centre: resolve its host, connect, and make\n"
    "             a harmless call (getHospitalInfo); says what works in plain words\n"
    "  --version  the version of nvcall and of the library it was built with\n"
    "\n"
    "Exit status: 0 success (out_code \"000\"), 1 another out_code, 2 usage error,\n"
    "3 nothing to show (unreadable document, unconvertible text).\n";

struct Options {
  bool utf8 = false;        // arguments are UTF-8
  bool utf8Output = false;  // output is UTF-8
  bool table = false;
  bool raw = false;
  std::string value;  // show --value
  int traceLevel = 0;
};

void printTrace(const std::string& entry, void*) { std::cerr << entry << std::flush; }

int usageError(const std::string& message) {
  std::cerr << "nvcall: " << message << "\n\n" << kUsage;
  return kUsageError;
}

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

std::string rowCountText(size_t rows) { return "(" + std::to_string(rows) + (rows == 1 ? " row)" : " rows)"); }

std::string renderResult(const ResultView& view, const Options& options) {
  TableText table;
  table.header = view.functionId;
  if (view.outCode) table.header += "  " + *view.outCode;
  if (view.outText && !view.outText->empty()) table.header += "  " + shown(*view.outText, options);
  table.header += "  " + rowCountText(view.rows.size());
  if (!view.rows.empty())
    for (const auto& [name, value] : view.rows.front()) table.columns.push_back(shown(name, options));
  for (const ResultView::Row& row : view.rows) {
    std::vector<std::string> cells;
    for (const auto& column : row) cells.push_back(shown(column.second, options));
    table.rows.push_back(std::move(cells));
  }
  return renderTable(table, options.utf8Output);
}

// Prints a result document as the options ask; returns the exit status.
int present(const std::string& document, const Options& options, bool isDocument) {
  if (!isDocument) {
    writeOut(options.raw ? document : shown(document, options) + "\n");
    return kSuccess;
  }
  if (options.raw) writeOut(document);
  std::optional<ResultView> view = parseResult(document);
  if (!view) {
    if (!options.raw) writeOut(shown(document, options) + "\n");
    std::cerr << "nvcall: the text is not a result document\n";
    return kFailure;
  }
  if (!options.value.empty()) {
    std::optional<std::string> value = view->value(options.value);
    if (!value) {
      std::cerr << "nvcall: no column " << options.value << " in the first row\n";
      return kFailure;
    }
    writeOut(shown(*value, options) + "\n");
  } else if (options.table) {
    writeOut(renderResult(*view, options));
  } else if (!options.raw) {
    writeOut(shown(document, options) + "\n");
  }
  return view->succeeded() ? kSuccess : kNotSuccess;
}

int listExports() {
  for (const nvexports::Export& entry : nvexports::kExports)
    std::cout << entry.name << (*entry.parameters ? " " : "") << entry.parameters << "\n";
  return kSuccess;
}

int callExport(const std::string& name, const std::vector<std::string>& args, const Options& options) {
  const nvexports::Export* entry = nvexports::findExport(name);
  if (!entry) return usageError("no export named " + name + " (nvcall --list shows them; names are exact)");
  if (args.size() != entry->arity) {
    std::string expected = name + (*entry->parameters ? " " : "") + entry->parameters;
    return usageError(name + " takes " + std::to_string(entry->arity) + " arguments, " + std::to_string(args.size()) +
                      " given:\n  " + expected);
  }
  std::vector<std::string> texts;
  for (const std::string& arg : args) {
    if (!options.utf8) {
      texts.push_back(arg);
      continue;
    }
    std::optional<std::string> converted = nvtools::utf8ToGbk(arg);
    if (!converted) {
      std::cerr << "nvcall: argument is not UTF-8 text with a GBK form: " << arg << "\n";
      return kFailure;
    }
    texts.push_back(*converted);
  }
  std::vector<const char*> pointers;
  for (const std::string& text : texts) pointers.push_back(text.c_str());

  // --trace: the library's trace of this call, printed to stderr.
  nv::seams::TraceSeams trace{nv::TraceSettings{options.traceLevel, ""}, printTrace, nullptr};
  const nv::seams::TraceSeams* previous = nv::seams::threadTraceSeams();
  if (options.traceLevel > 0) nv::seams::setThreadTraceSeams(&trace);
  char* result = nvexports::callLinked(*entry, pointers);
  nv::seams::setThreadTraceSeams(previous);
  if (result == nullptr) {
    std::cerr << "nvcall: " << name << " returned no text\n";
    return kFailure;
  }
  std::string document(result);
  freeResult(result);
  return present(document, options, entry->returnsDocument);
}

int showSaved(const std::vector<std::string>& args, Options options) {
  std::string file;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--table") {
      options.table = true;
    } else if (args[i] == "--value" && i + 1 < args.size()) {
      options.value = args[++i];
    } else if (file.empty() && (args[i] == "-" || args[i].rfind("--", 0) != 0)) {
      file = args[i];
    } else {
      return usageError("show: unexpected " + args[i]);
    }
  }
  std::ostringstream bytes;
  if (file.empty() || file == "-") {
    bytes << std::cin.rdbuf();
  } else {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << "nvcall: cannot read " << file << "\n";
      return kFailure;
    }
    bytes << in.rdbuf();
  }
  std::string document = bytes.str();
  // A saved result may end in the line feed that printing added.
  while (!document.empty() && (document.back() == '\n' || document.back() == '\r')) document.pop_back();
  return present(document, options, true);
}

int configCommand(const std::vector<std::string>& args, const Options& options) {
  const std::string path = nv::kConfigurationFile;
  if (args.empty()) return usageError("config needs list, add or edit");
  const std::string& action = args[0];

  if (action == "list") {
    if (args.size() != 1) return usageError("config list takes no arguments");
    nv::CentreTable centres = readCentres(path);
    if (centres.empty()) {
      std::cout << "no centres: " << path << " is missing or holds no whole group\n";
      return kSuccess;
    }
    TableText table;
    table.header = path + "  " + rowCountText(centres.size());
    table.columns = centreFieldNames();
    for (const nv::CentreRecord& c : centres)
      table.rows.push_back({shown(c.CenterNO, options), shown(c.ServiceURL, options), shown(c.HOSP_CODE, options),
                            shown(c.ORG_LEVEL, options), shown(c.UserNo, options), shown(c.BK, options)});
    table.alwaysAcross = true;  // one centre per line
    std::string out = renderTable(table, options.utf8Output);
    writeOut(out);
    return kSuccess;
  }

  if (action != "add" && action != "edit") return usageError("config needs list, add or edit, not " + action);
  size_t first = action == "add" ? 1 : 2;
  if (args.size() < first + (action == "edit" ? 1 : 0) || (action == "edit" && args.size() < 3))
    return usageError("config " + action + ": missing " + (action == "edit" ? "CENTRE or " : "") + "FIELD=VALUE");
  std::vector<std::string> words(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
  if (options.utf8) {
    for (std::string& word : words) {
      std::optional<std::string> converted = nvtools::utf8ToGbk(word);
      if (!converted) {
        std::cerr << "nvcall: not UTF-8 text with a GBK form: " << word << "\n";
        return kFailure;
      }
      word = *converted;
    }
  }
  std::string error;
  std::optional<FieldValues> values = parseFieldValues(words, error);
  if (!values) return usageError(error);
  error = action == "add" ? addCentre(path, *values) : editCentre(path, args[1], *values);
  if (!error.empty()) {
    std::cerr << "nvcall: " << error << "\n";
    return kFailure;
  }
  return kSuccess;
}

constexpr int kConnectSeconds = 10;

// The harmless call: the centre's hospital list looked up by the configured
// hospital code. It changes nothing at the centre; any answer with out_code
// "000" (rows or none) shows the service, the path and the centre code work.
std::pair<bool, std::string> hospitalLookup(const nv::CentreRecord& centre) {
  char* result = getHospitalInfo(centre.HOSP_CODE.c_str(), centre.CenterNO.c_str());
  if (!result) return {false, "the library returned nothing (out of memory)"};
  std::string document(result);
  freeResult(result);
  std::optional<ResultView> view = parseResult(document);
  if (!view) return {false, "the library returned no result document"};
  std::string words = "getHospitalInfo answered " + view->outCode.value_or("") + " " +
                      nvtools::gbkToUtf8ForDisplay(view->outText.value_or("")) + " (" +
                      std::to_string(view->rows.size()) + (view->rows.size() == 1 ? " row)" : " rows)");
  return {view->succeeded(), words};
}

int checkCentres(const Options& options) {
  const std::string path = nv::kConfigurationFile;
  nv::CentreTable centres = readCentres(path);
  if (centres.empty()) {
    writeOut(said("no centres: " + path + " is missing or holds no whole group (nvcall config add)\n", options));
    return kNotSuccess;
  }
  TableText table;
  table.columns = {"centre", "step", "result", "what was found"};
  table.alwaysAcross = true;
  size_t reachable = 0;
  for (const nv::CentreRecord& centre : centres) {
    std::vector<CheckStep> steps = checkCentre(centre, hospitalLookup, kConnectSeconds);
    bool ok = true;
    for (const CheckStep& step : steps) {
      ok = ok && step.result == "ok";
      table.rows.push_back({shown(centre.CenterNO, options), step.step, step.result, said(step.detail, options)});
    }
    reachable += ok ? 1 : 0;
  }
  table.header = path + "  " + std::to_string(centres.size()) + (centres.size() == 1 ? " centre, " : " centres, ") +
                 std::to_string(reachable) + " working";
  writeOut(renderTable(table, options.utf8Output));
  return reachable == centres.size() ? kSuccess : kNotSuccess;
}

#ifdef _WIN32
// The command line as UTF-8, whatever the console's or the system's code page.
std::vector<std::string> commandLine() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) {
    int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<size_t>(size > 0 ? size : 1), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    arg.pop_back();  // the terminating NUL
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  std::vector<std::string> args = commandLine();
  Options options;
  options.utf8 = true;
  options.utf8Output = GetConsoleOutputCP() == CP_UTF8;
  // The bytes as they are: --raw prints a document exactly as returned.
  _setmode(_fileno(stdout), _O_BINARY);
#else
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
#endif
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
    } else if (args[i] == "--list") {
      return listExports();
    } else if (args[i] == "--version") {
      std::cout << "nvcall " NV_PROJECT_VERSION " (NvInterFace " NV_PROJECT_VERSION ")\n";
      return kSuccess;
    } else if (args[i] == "--help") {
      std::cout << kUsage;
      return kSuccess;
    } else {
      return usageError("unknown option " + args[i]);
    }
  }
  if (options.table && options.raw) return usageError("--table and --raw exclude each other");
  if (i == args.size()) return usageError("no export named");

  std::string name = args[i];
  std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  if (name == "config") return configCommand(rest, options);
  if (name == "show") return showSaved(rest, options);
  if (name == "check") return rest.empty() ? checkCentres(options) : usageError("check takes no arguments");
  return callExport(name, rest, options);
}
