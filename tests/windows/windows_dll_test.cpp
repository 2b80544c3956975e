// SPDX-License-Identifier: MIT
// A Windows DLL from a cross build (x86 in build/windows, x64 in
// build/windows-x64, both made by tools/windows-test.sh; this program is
// built once per architecture): its tables and version resource, and every export
// called under Wine through the LoadLibrary driver, each result compared
// byte for byte with what the Linux library returns for the same scenario
// against the same scripted centre, up to a catalogue download of 10,000
// entries. Only the operating system's own words for a refused connection
// may differ.
//
// Skipped when there is no cross build or no Wine; a cross build that is
// there but incomplete fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "NvInterFace.h"
#include "tests/support/session_seams.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/big_catalogue.h"
#include "tests/sandbox/sandbox_process.h"
#include "tests/support/export_cases.h"
#include "tests/support/loopback_proxy.h"
#include "tests/support/test_certificates.h"
#include "tests/windows/pe_tables.h"
#include "tests/windows/wine_process.h"

namespace {

namespace fs = std::filesystem;
using namespace nvtest;

const std::string kArch = NV_WINDOWS_ARCH;  // "x86" or "x64"
const bool kSixtyFour = kArch == "x64";
const std::string kBuildDir = NV_WINDOWS_BUILD_DIR;
const std::string kDll = kBuildDir + "/NvInterFace.dll";
const std::string kDriver = kBuildDir + "/nv_windows_driver.exe";
const std::string kPrefix = kBuildDir + "/wineprefix";
constexpr int kWineTimeoutSeconds = 600;

// Why the x86 tests keep to one thread, or "" when they need not: a 32-bit
// program that runs several threads under an emulated 32-bit Wine can crash
// or hang by chance, so threaded and multi-connection checks then run on
// the x64 DLL alone. Decided from the machine, never from a trial run.
const std::string kNarrowedBecause =
    kSixtyFour || nvwine::i386Emulator().empty()
        ? ""
        : "x86 tests narrowed to one thread: 32-bit programs run through " + nvwine::i386Emulator() +
              "; the threaded and multi-connection checks run on the x64 DLL under wine64";

// Says once per run what was narrowed, so that it is never silent.
class NarrowingNotice : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!kNarrowedBecause.empty()) std::cout << kNarrowedBecause << "\n";
  }
};
const auto* const kNarrowingNotice = ::testing::AddGlobalTestEnvironment(new NarrowingNotice);

// DLLs that every Windows has; the DLL may import nothing else.
const std::set<std::string> kSystemDlls = {"kernel32.dll", "msvcrt.dll",  "ws2_32.dll",  "advapi32.dll", "user32.dll",
                                           "wsock32.dll",  "winhttp.dll", "crypt32.dll", "bcrypt.dll"};

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string between(const std::string& doc, const std::string& open, const std::string& close) {
  size_t start = doc.find(open);
  size_t end = start == std::string::npos ? start : doc.find(close, start);
  return end == std::string::npos ? "<none>" : doc.substr(start + open.size(), end - start - open.size());
}
std::string outCode(const std::string& doc) { return between(doc, "<out_code>", "</out_code>"); }
std::string outText(const std::string& doc) { return between(doc, "<out_text>", "</out_text>"); }

// The document with its out_text emptied: what must match when only the
// operating system's words may differ.
std::string withoutOutText(const std::string& doc) {
  size_t start = doc.find("<out_text>"), end = doc.find("</out_text>");
  if (start == std::string::npos || end == std::string::npos) return doc;
  return doc.substr(0, start + 10) + doc.substr(end);
}

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string unhex(const std::string& text) {
  std::string out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  return out;
}

struct Scenario {
  enum class Kind { Bare, Success, CheckFailure, Fault, Refused, Closed };
  std::string label;
  std::string exportName;
  std::vector<std::optional<std::string>> args;  // nullopt: a null pointer
  Kind kind;
  std::optional<Reply> reply;  // what the centre answers; none: not contacted
  std::function<char*(const nvcheck::CArguments&)> linuxCall;
  std::string functionId;
  std::string checkFailureCode;
};

// The driver's scenario line: label, export, arguments in hex.
std::string scenarioLine(const Scenario& s) {
  std::string line = s.label + " " + s.exportName;
  for (const auto& a : s.args) line += a ? " x" + hex(*a) : std::string(" -");
  return line;
}

std::string callOnLinux(const Scenario& s) {
  nvcheck::CArguments args;
  for (const auto& a : s.args) args.push_back(a ? a->c_str() : nullptr);
  return take(s.linuxCall(args));
}

class WindowsDll : public ExportTest {
 protected:
  void SetUp() override {
    if (!fs::exists(kBuildDir + "/CMakeCache.txt"))
      GTEST_SKIP() << "no Windows cross build in " << kBuildDir << " (tools/windows-test.sh makes it)";
    ASSERT_TRUE(fs::exists(kDll)) << "the cross build has no " << kDll;
    ASSERT_TRUE(fs::exists(kDriver)) << "the cross build has no " << kDriver;
  }

  // Wine, with its prefix made; skips the test when Wine is not installed.
  // x64 programs run under the 64-bit loader, natively.
  std::string wine() {
    std::string wine = kSixtyFour ? nvwine::findWine64() : nvwine::findWine();
    if (wine.empty()) return "";
    std::string problem = nvwine::ensurePrefix(wine, kPrefix);
    EXPECT_EQ(problem, "");
    return problem.empty() ? wine : "";
  }

  // Runs the driver under Wine in the scratch directory; returns the result
  // lines "<label> x<hex>" as label -> bytes ("<null>" for a null result).
  // Lines "#stat <name> <number>" go to `stats`.
  std::map<std::string, std::string> runDriver(const std::string& wine, const std::vector<std::string>& lines,
                                               const std::string& mode = "", const std::string& trustedRoot = "",
                                               const std::string& winHttpProxy = "",
                                               std::map<std::string, long long>* stats = nullptr, int threads = 0,
                                               const std::string& distrusted = "") {
    std::ofstream(dir.path() + "/scenarios.txt", std::ios::binary | std::ios::trunc) << [&] {
      std::string text;
      for (const std::string& l : lines) text += l + "\n";
      return text;
    }();
    std::remove((dir.path() + "/results.txt").c_str());
    std::vector<std::string> argv = {wine, kDriver, nvwine::windowsPath(kDll), mode.empty() ? "scenarios.txt" : mode,
                                     "results.txt"};
    if (!trustedRoot.empty()) argv.insert(argv.end(), {"--trust-root", nvwine::windowsPath(trustedRoot)});
    if (!winHttpProxy.empty()) argv.insert(argv.end(), {"--winhttp-proxy", winHttpProxy});
    if (threads > 0) argv.insert(argv.end(), {"--threads", std::to_string(threads)});
    if (!distrusted.empty()) argv.insert(argv.end(), {"--distrust", nvwine::windowsPath(distrusted)});
    nvwine::RunOutcome run = nvwine::runWithWine(argv, dir.path(), kPrefix, kWineTimeoutSeconds);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut) << "the driver ran past " << kWineTimeoutSeconds << " s";
    EXPECT_EQ(run.exitCode, 0) << run.output;
    driverOutput = run.output;
    std::map<std::string, std::string> results;
    std::ifstream in(dir.path() + "/results.txt", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("#stat ", 0) == 0) {
        size_t space = line.rfind(' ');
        if (stats) (*stats)[line.substr(6, space - 6)] = std::stoll(line.substr(space + 1));
        continue;
      }
      size_t space = line.find(' ');
      if (space == std::string::npos) {
        results[line] = "";
        continue;
      }
      std::string value = line.substr(space + 1);
      results[line.substr(0, space)] = value == "-" ? "<null>" : unhex(value.substr(1));
    }
    return results;
  }

  // What the last driver run wrote to stdout and stderr.
  std::string driverOutput;

  // Runs the scenarios on Linux, then under Wine against the same script,
  // and compares each result.
  void compareWithLinux(const std::vector<Scenario>& scenarios) {
    std::string wineProgram = wine();
    if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";

    // Every reply is taken by the call it was scripted for, or the script
    // runs out of step and every later comparison means nothing.
    std::map<std::string, std::string> linux;
    for (const Scenario& s : scenarios) {
      size_t connectionsBefore = server.connectionCount();
      if (s.reply) server.enqueue(*s.reply);
      linux[s.label] = callOnLinux(s);
      checkLinuxOutcome(s, linux[s.label]);
      ASSERT_EQ(server.connectionCount() - connectionsBefore, s.reply ? 1u : 0u)
          << s.label << " on Linux: " << utf8(linux[s.label]);
    }

    size_t connectionsBefore = server.connectionCount();
    size_t replies = 0;
    std::vector<std::string> lines;
    for (const Scenario& s : scenarios) {
      if (s.reply) {
        server.enqueue(*s.reply);
        ++replies;
      }
      lines.push_back(scenarioLine(s));
    }
    std::map<std::string, std::string> windows = runDriver(wineProgram, lines);
    EXPECT_EQ(server.connectionCount() - connectionsBefore, replies)
        << "one connection per call that reaches the centre";

    for (const Scenario& s : scenarios) {
      SCOPED_TRACE(s.label);
      auto found = windows.find(s.label);
      if (found == windows.end()) {
        ADD_FAILURE() << "the driver wrote no result";
        continue;
      }
      const std::string& mine = found->second;
      const std::string& theirs = linux[s.label];
      if (s.kind == Scenario::Kind::Refused) {
        EXPECT_NE(outText(mine), "") << "Windows must say why the connection failed";
        EXPECT_NE(outText(mine), "<none>");
        EXPECT_EQ(withoutOutText(mine), withoutOutText(theirs)) << "as UTF-8: " << utf8(mine);
      } else {
        EXPECT_EQ(mine, theirs) << "Windows, as UTF-8: " << utf8(mine) << "\nLinux, as UTF-8: " << utf8(theirs);
      }
    }
  }

  // Each scenario does on Linux what its kind says, so that a match proves
  // something on Windows.
  static void checkLinuxOutcome(const Scenario& s, const std::string& doc) {
    SCOPED_TRACE(s.label + " on Linux");
    switch (s.kind) {
      case Scenario::Kind::Bare: break;
      case Scenario::Kind::Success: EXPECT_EQ(outCode(doc), "000") << utf8(doc.substr(0, 400)); break;
      case Scenario::Kind::CheckFailure: EXPECT_EQ(outCode(doc), s.checkFailureCode) << utf8(doc); break;
      case Scenario::Kind::Fault:
        EXPECT_EQ(doc, failureDocRaw(s.functionId, "600", gbk("就诊记录不存在"))) << utf8(doc);
        break;
      case Scenario::Kind::Refused:
        EXPECT_EQ(outCode(doc), "600") << utf8(doc);
        EXPECT_NE(outText(doc), "");
        EXPECT_NE(doc, majorException(s.functionId));
        break;
      case Scenario::Kind::Closed: EXPECT_EQ(doc, majorException(s.functionId)) << utf8(doc); break;
    }
  }
};

// ---- How this machine runs 32-bit programs ----------------------------------

// binfmt_misc folders as the kernel shows them: which say that i386 ELF
// files run through an emulator.
TEST(I386Emulation, IsReadFromTheBinfmtEntryThatTakesI386Files) {
  const std::string i386Magic = "7f454c4601010100000000000000000002000300";
  const std::string armMagic = "7f454c4601010100000000000000000002002800";
  const struct {
    const char* name;
    const char* status;                                        // the folder's status file
    std::vector<std::pair<std::string, std::string>> entries;  // name, contents
    bool emulated;
  } cases[] = {
      {"no entries", "enabled", {}, false},
      {"qemu for i386",
       "enabled",
       {{"qemu-i386", "enabled\ninterpreter /usr/bin/qemu-i386-static\nflags: F\noffset 0\nmagic " + i386Magic + "\n"}},
       true},
      {"entry disabled",
       "enabled",
       {{"qemu-i386", "disabled\ninterpreter /usr/bin/qemu-i386-static\nmagic " + i386Magic + "\n"}},
       false},
      {"binfmt_misc disabled",
       "disabled",
       {{"qemu-i386", "enabled\ninterpreter /usr/bin/qemu-i386-static\nmagic " + i386Magic + "\n"}},
       false},
      {"another machine's entry",
       "enabled",
       {{"qemu-arm", "enabled\ninterpreter /usr/bin/qemu-arm-static\nmagic " + armMagic + "\n"}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir folder;
    std::ofstream(folder.path() + "/status") << c.status << "\n";
    std::ofstream(folder.path() + "/register");
    for (const auto& [name, contents] : c.entries) std::ofstream(folder.path() + "/" + name) << contents;
    const std::string emulator = nvwine::i386Emulator(folder.path());
    EXPECT_EQ(!emulator.empty(), c.emulated) << emulator;
    if (c.emulated) {
      EXPECT_NE(emulator.find("/usr/bin/qemu-i386-static"), std::string::npos) << emulator;
    }
  }
}

// ---- The tables the loader sees ---------------------------------------------

TEST_F(WindowsDll, ExportsExactlyTheDefinitionFileNamesUndecorated) {
  nvwine::PeTables tables = nvwine::parseObjdump(nvwine::runObjdump(NV_OBJDUMP, kDll));
  EXPECT_EQ(tables.format, NV_PE_FORMAT) << "a " << kArch << " DLL";
  std::vector<std::string> expected = nvwine::definitionFileExports(NV_EXPORTS_DEF);
  ASSERT_EQ(expected.size(), 37u) << "the 36 exports and freeResult";
  std::vector<std::string> actual = tables.exports;
  std::sort(expected.begin(), expected.end());
  std::sort(actual.begin(), actual.end());
  EXPECT_EQ(actual, expected);
  for (const std::string& name : tables.exports) EXPECT_EQ(name.find('@'), std::string::npos) << name;
}

TEST_F(WindowsDll, ImportsOnlySystemDlls) {
  nvwine::PeTables tables = nvwine::parseObjdump(nvwine::runObjdump(NV_OBJDUMP, kDll));
  ASSERT_FALSE(tables.imports.empty()) << "objdump -p read no import table";
  std::set<std::string> imported;
  for (const std::string& name : tables.imports) {
    imported.insert(lower(name));
    EXPECT_EQ(kSystemDlls.count(lower(name)), 1u) << name << " is not a system DLL";
  }
  EXPECT_EQ(imported.count("ws2_32.dll"), 1u) << "the runtime's sockets are Winsock";
}

// ---- Calls under Wine ---------------------------------------------------------

TEST_F(WindowsDll, DriverResolvesEveryExportUnderWine) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  std::map<std::string, std::string> listed = runDriver(wineProgram, {}, "--list");
  std::set<std::string> names;
  for (const auto& [name, ignored] : listed) names.insert(name);
  std::vector<std::string> expected = nvwine::definitionFileExports(NV_EXPORTS_DEF);
  EXPECT_EQ(names, std::set<std::string>(expected.begin(), expected.end()));
}

TEST_F(WindowsDll, CodecsAndCentreListingMatchLinux) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string chinese = gbk("农合中心");
  const std::optional<std::string> none;
  auto bare = [](const std::string& label, const char* name, char* (*fn)(const char*), std::optional<std::string> arg) {
    return Scenario{label,
                    name,
                    {std::move(arg)},
                    Scenario::Kind::Bare,
                    std::nullopt,
                    [fn](const nvcheck::CArguments& a) { return fn(a.at(0)); },
                    "",
                    ""};
  };
  auto listing = [](const std::string& label, const char* name, std::vector<std::optional<std::string>> args) {
    const nvcheck::ExportEntry& e = nvcheck::exportNamed(name);
    return Scenario{label, name, std::move(args), Scenario::Kind::Bare, std::nullopt, e.call, e.functionId, ""};
  };
  char* (*const encypt)(const char*) = Encypt;
  char* (*const deEncypt)(const char*) = DeEncypt;
  compareWithLinux({
      bare("encypt-ascii", "Encypt", encypt, std::string("abc")),
      bare("encypt-empty", "Encypt", encypt, std::string()),
      bare("encypt-null", "Encypt", encypt, none),
      bare("encypt-gbk", "Encypt", encypt, chinese),
      bare("encypt-every-byte", "Encypt", encypt, everyByte),
      bare("encypt-64k", "Encypt", encypt, std::string(65536, 'z')),
      bare("deencypt-ascii", "DeEncypt", deEncypt, std::string("YWJj")),
      bare("deencypt-empty", "DeEncypt", deEncypt, std::string()),
      bare("deencypt-null", "DeEncypt", deEncypt, none),
      bare("deencypt-gbk", "DeEncypt", deEncypt, base64(chinese)),
      bare("deencypt-every-byte", "DeEncypt", deEncypt, base64(everyByte)),
      bare("deencypt-unpadded", "DeEncypt", deEncypt, std::string("YWJjZA")),
      bare("deencypt-not-base64", "DeEncypt", deEncypt, std::string("%%not base64%%")),
      listing("getcenter-main", "getCenter", {std::string(Centres::kMain)}),
      listing("getcenter-refused", "getCenter", {std::string(Centres::kRefused)}),
      listing("getcenter-unknown", "getCenter", {std::string(Centres::kUnknown)}),
      listing("getcenter-empty", "getCenter", {std::string()}),
      listing("getcenter-null", "getCenter", {none}),
      listing("getallcenter", "getAllCenter", {}),
  });
}

// The valid arguments of `e` with the centre code set; inpRegisterB
// carries it as the third field of its packed text.
std::vector<std::optional<std::string>> withCentre(const nvcheck::ExportEntry& e, const std::string& centre) {
  std::vector<std::optional<std::string>> args(e.validArguments.begin(), e.validArguments.end());
  if (e.centreArgument > 0) {
    args[e.centreArgument - 1] = centre;
  } else if (std::string(e.name) == "inpRegisterB") {
    std::string packed = *args[0], rebuilt;
    size_t field = 0, start = 0;
    for (size_t i = 0; i <= packed.size(); ++i) {
      if (i < packed.size() && packed[i] != '|') continue;
      rebuilt += (field ? "|" : "") + (field == 2 ? centre : packed.substr(start, i - start));
      ++field;
      start = i + 1;
    }
    args[0] = rebuilt;
  }
  return args;
}

// Arguments that fail a check of `e` other than the centre code's: the
// first argument whose over-long value the export refuses before sending.
std::optional<std::vector<std::optional<std::string>>> failingArguments(const nvcheck::ExportEntry& e) {
  if (std::string(e.checkFailureCode).empty()) return std::nullopt;
  const std::string answer = nvcheck::plainSuccessAnswer(e);
  for (size_t i = 0; i < e.arity; ++i) {
    if (static_cast<int>(i + 1) == e.centreArgument) continue;
    std::vector<std::optional<std::string>> args(e.validArguments.begin(), e.validArguments.end());
    args[i] = std::string(4096, '7');
    nvcheck::CArguments cArgs;
    for (const auto& a : args) cArgs.push_back(a ? a->c_str() : nullptr);
    nvtest::ScopedSessionTransport transport(answer);
    std::string doc = take(e.call(cArgs));
    if (transport.sent().empty() && outCode(doc) == e.checkFailureCode) return args;
  }
  return std::nullopt;
}

// HTTPS through the DLL: the centre's root trusted through the system's ROOT
// store, where an administrator puts it; a root nobody put there refused.
TEST_F(WindowsDll, HttpsCallsTrustTheSystemRootStore) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  TestCertificates certificates(dir.path());
  // The DLL's own trace tells why a handshake failed.
  std::ofstream(dir.path() + "/NvTrace.ini") << "level=1\nfile=trace.log\n";
  auto trace = [&] {
    std::ifstream in(dir.path() + "/trace.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string untrusted = gbk("HTTPS连接失败:农合中心服务器的证书不受信任");
  const struct {
    const char* label;
    std::string pem;
    std::string outText;     // "" for success
    std::string distrusted;  // a certificate put in the Disallowed store for the call
  } cases[] = {
      {"trusted", certificates.localhost, "", ""},
      {"untrusted", certificates.stranger, untrusted, ""},
      // Whatever the ROOT store says, a chain holding a certificate of the
      // Disallowed store is refused: the centre's own, or its root.
      {"distrusted-leaf", certificates.localhost, untrusted, certificates.localhost},
      {"distrusted-root", certificates.localhost, untrusted, certificates.trustedRoot},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    nvtest::SandboxProcess centre(dir.path() + "/" + c.label + ".db", dir.path() + "/" + c.label + ".log", c.pem);
    // By address, which the certificate names too: a name would start the
    // HTTP library's resolver thread.
    std::string url = centre.url();
    url.replace(url.find("localhost"), std::strlen("localhost"), "127.0.0.1");
    dir.writeCentres({{Centres::kMain, url, "341122001", "2", "op01", ""}});
    std::string line = std::string(c.label) + " getPersonInfo x" + hex("341122000123") + " x" + hex("op01") + " x" +
                       hex(Centres::kMain);
    std::string doc =
        runDriver(wineProgram, {line}, "", certificates.trustedRoot, "", nullptr, 0, c.distrusted)[c.label];
    if (c.outText.empty()) {
      EXPECT_EQ(outCode(doc), "000") << utf8(doc) << "\n" << trace();
      EXPECT_NE(doc.find(gbk("张三")), std::string::npos) << utf8(doc);
    } else {
      EXPECT_EQ(doc, failureDocRaw("GetPersonInfo", "600", c.outText)) << utf8(doc);
    }
  }
}

// Calls back to back share one kept connection, over HTTP and HTTPS alike;
// unloading the DLL with its connections still open neither crashes nor
// hangs, and once loaded again it connects afresh.
TEST_F(WindowsDll, KeptConnectionsServeCallsAndSurviveUnloading) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  TestCertificates certificates(dir.path());
  const Reply kept = Reply::soap("getPersonInfo", "<return><list><name>YQ==</name></list></return>").keptAlive();
  for (const char* pem : {"", "tls"}) {
    SCOPED_TRACE(*pem ? "over HTTPS" : "over HTTP");
    ScriptedServer centre(*pem ? certificates.localhost : "");
    for (int i = 0; i < 5; ++i) centre.enqueue(kept);
    dir.writeCentres({{Centres::kMain, centre.url(), "341122001", "2", "op01", ""}});
    const std::string call = " getPersonInfo x" + hex("341122000123") + " x" + hex("op01") + " x" + hex(Centres::kMain);
    std::map<std::string, std::string> results =
        runDriver(wineProgram, {"one" + call, "two" + call, "three" + call, "@reload", "four" + call, "five" + call},
                  "", *pem ? certificates.trustedRoot : "");
    for (const char* label : {"one", "two", "three", "four", "five"})
      EXPECT_EQ(outCode(results[label]), "000") << label << ": " << utf8(results[label]);
    EXPECT_EQ(centre.connectionCount(), 2u) << "one kept connection before unloading, one after";
    if (*pem) {
      EXPECT_EQ(centre.resumedSessions(), 0u) << "a library loaded afresh has no session to resume";
    }
  }
}

// A HIS that loads the DLL, makes a call and unloads it, over and over:
// each unloading frees what the DLL kept, the HTTP and TLS libraries' state
// included, so the process's memory stays flat. x64 (one process of the
// 32-bit emulator would take long).
TEST_F(WindowsDll, LoadingAndUnloadingThreeHundredTimesKeepsMemoryFlat) {
  if (!kSixtyFour) GTEST_SKIP() << "x64 only: 300 loads of the DLL under 32-bit Wine take too long to be a test";
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  TestCertificates certificates(dir.path());
  ScriptedServer centre(certificates.localhost);
  centre.answerAlways(Reply::soap("getPersonInfo", "<return><list><name>YQ==</name></list></return>").keptAlive());
  dir.writeCentres({{Centres::kMain, centre.url(), "341122001", "2", "op01", ""}});
  constexpr int kRounds = 300;
  std::vector<std::string> lines;
  for (int i = 0; i < kRounds; ++i) {
    lines.push_back("@reload");
    lines.push_back("round" + std::to_string(i) + " getPersonInfo x" + hex("341122000123") + " x" + hex("op01") + " x" +
                    hex(Centres::kMain));
  }
  std::map<std::string, long long> stats;
  std::map<std::string, std::string> results = runDriver(wineProgram, lines, "", certificates.trustedRoot, "", &stats);
  ASSERT_EQ(results.size(), static_cast<size_t>(kRounds)) << driverOutput;
  for (const auto& [label, doc] : results) EXPECT_EQ(outCode(doc), "000") << label << ": " << utf8(doc);
  EXPECT_EQ(centre.connectionCount(), static_cast<size_t>(kRounds)) << "each load connects afresh";
  const long long settled = stats["rss:round50"], last = stats["rss:round" + std::to_string(kRounds - 1)];
  std::cout << "working set after 50 rounds " << (settled >> 10) << " KiB, after " << kRounds << " " << (last >> 10)
            << " KiB\n";
  EXPECT_LT(last - settled, 8ll << 20) << "the working set grew by " << ((last - settled) >> 10) << " KiB";
}

// The system's proxy (here WinHTTP's setting): a forwarded POST for an http
// centre, a CONNECT tunnel for an https one.
TEST_F(WindowsDll, CallsGoThroughTheSystemProxy) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  TestCertificates certificates(dir.path());
  nvtest::SandboxProcess plain(dir.path() + "/plain.db", dir.path() + "/plain.log");
  nvtest::SandboxProcess https(dir.path() + "/https.db", dir.path() + "/https.log", certificates.localhost);
  LoopbackProxy proxy;
  dir.writeCentres(
      {{"1", plain.url(), "341122001", "2", "op01", ""}, {"2", https.url(), "341122001", "2", "op01", ""}});
  std::vector<std::string> lines;
  for (const char* centre : {"1", "2"})
    lines.push_back(std::string("centre") + centre + " getPersonInfo x" + hex("341122000123") + " x" + hex("op01") +
                    " x" + hex(centre));
  std::map<std::string, std::string> docs =
      runDriver(wineProgram, lines, "", certificates.trustedRoot, proxy.address().substr(std::strlen("http://")));
  EXPECT_EQ(outCode(docs["centre1"]), "000") << utf8(docs["centre1"]);
  EXPECT_EQ(outCode(docs["centre2"]), "000") << utf8(docs["centre2"]);
  std::vector<std::string> sent = proxy.requestLines();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], "POST " + plain.url() + " HTTP/1.1");
  EXPECT_EQ(sent[1], "CONNECT localhost:" + std::to_string(https.port()) + " HTTP/1.1");
}

TEST_F(WindowsDll, TemplateExportsMatchLinux) {
  const std::string faultText = base64Encode(gbk("就诊记录不存在"));
  std::vector<Scenario> scenarios;
  for (const nvcheck::ExportEntry& e : nvcheck::documentExports()) {
    if (!e.contactsCentre()) continue;
    auto scenario = [&](const std::string& what, Scenario::Kind kind, std::vector<std::optional<std::string>> args,
                        std::optional<Reply> reply) {
      scenarios.push_back(Scenario{std::string(e.name) + "/" + what, e.name, std::move(args), kind, std::move(reply),
                                   e.call, e.functionId, e.checkFailureCode});
    };
    auto valid = withCentre(e, Centres::kMain);
    scenario("success", Scenario::Kind::Success, valid, Reply::raw(nvcheck::plainSuccessAnswer(e)));
    // An export whose one argument is the centre code fails its check only
    // for a configured code too long to send, which the Linux suite covers.
    if (auto failing = failingArguments(e))
      scenario("check-failure", Scenario::Kind::CheckFailure, *failing, std::nullopt);
    else if (!(e.arity == 1 && e.centreArgument == 1))
      ADD_FAILURE() << e.name << ": no argument found whose check fails";
    scenario("soap-fault", Scenario::Kind::Fault, valid, Reply::fault("soap:Server", faultText));
    scenario("refused", Scenario::Kind::Refused, withCentre(e, Centres::kRefused), std::nullopt);
    scenario("closed", Scenario::Kind::Closed, valid, Reply::closeWithoutAnswer());
  }
  ASSERT_FALSE(scenarios.empty());
  compareWithLinux(scenarios);
}

// C callers linked at build time against the import libraries (made by the
// cross build from the .def file): each runs only when its every name
// resolved to an undecorated export, and exits 0 when the calls returned
// what they must.
TEST_F(WindowsDll, CallersLinkedAgainstTheImportLibrariesRun) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  for (const char* caller : {"nv_msvc_caller.exe", "nv_mingw_caller.exe"}) {
    SCOPED_TRACE(caller);
    const std::string program = kBuildDir + "/" + caller;
    ASSERT_TRUE(fs::exists(program)) << "the cross build has no " << program;
    nvwine::PeTables tables = nvwine::parseObjdump(nvwine::runObjdump(NV_OBJDUMP, program));
    EXPECT_EQ(std::count(tables.imports.begin(), tables.imports.end(), "NvInterFace.dll"), 1) << "imports the DLL";
    nvwine::RunOutcome run = nvwine::runWithWine({wineProgram, program}, dir.path(), kPrefix, kWineTimeoutSeconds);
    EXPECT_EQ(run.exitCode, 0) << run.output;
  }
}

// What Explorer's Properties tab shows: the version of the CMake project
// and the build number of the commit built (its first four hex digits), in
// the fixed part and in the texts; the commit itself in ProductVersion.
TEST_F(WindowsDll, VersionResourceCarriesTheProjectVersionAndTheCommit) {
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  std::map<std::string, std::string> fields = runDriver(wineProgram, {}, "--version");
  const std::string commit = NV_BUILD_COMMIT;
  std::string fixed = NV_PROJECT_VERSION;
  while (std::count(fixed.begin(), fixed.end(), '.') < 2) fixed += ".0";
  fixed += "." + std::to_string(commit.size() >= 4 ? std::stoul(commit.substr(0, 4), nullptr, 16) : 0);
  EXPECT_EQ(fields["FixedFileVersion"], fixed) << "the fixed part";
  EXPECT_EQ(fields["FileVersion"], fixed);
  EXPECT_EQ(fields["ProductVersion"],
            std::string(NV_PROJECT_VERSION) + (commit.empty() ? "" : " (" + commit.substr(0, 12) + ")"));
  EXPECT_EQ(fields["OriginalFilename"], "NvInterFace.dll");
  EXPECT_EQ(fields["ProductName"], "NvInterFace");
  for (const char* field : {"FileDescription", "LegalCopyright", "CompanyName"})
    EXPECT_GT(fields[field].size(), 5u) << field;
  EXPECT_NE(fields["FileDescription"].find(kArch), std::string::npos) << "names its architecture";
  EXPECT_NE(fields["LegalCopyright"].find("Copyright"), std::string::npos);
}

// A whole catalogue through the DLL, byte-equal to Linux, with its time and
// the process's peak memory recorded; sized for the architecture: the x64
// DLL carries 100,000 entries, the x86 one 10,000 (32-bit Wine may run
// emulated, with little memory).
TEST_F(WindowsDll, BigCatalogueByteEqualToLinux) {
  constexpr int kEntries = NV_BIG_CATALOGUE_ENTRIES;
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  const BigCatalogue catalogue = drugCatalogue();
  const CatalogueWriter writer(catalogue);
  const Reply reply = writer.response(kEntries);
  server.enqueue(reply);
  const std::string linux = take(catalogue.call());
  ASSERT_GT(linux.size(), static_cast<size_t>(kEntries) * 500) << utf8(linux.substr(0, 400));

  server.enqueue(reply);
  std::map<std::string, long long> stats;
  std::map<std::string, std::string> windows =
      runDriver(wineProgram, {"big updateLeechdom x" + hex("2024-01-01 00:00:00") + " x" + hex(Centres::kMain)}, "", "",
                "", &stats);
  const std::string& mine = windows["big"];
  EXPECT_EQ(mine.size(), linux.size());
  auto differ = std::mismatch(mine.begin(), mine.end(), linux.begin(), linux.end());
  EXPECT_TRUE(differ.first == mine.end() && differ.second == linux.end())
      << "first difference at byte " << (differ.first - mine.begin());
  // Linear cost: the whole download in seconds; memory a small multiple of
  // what was received and returned. The peak counts from the driver's own
  // before the call: under emulation the emulator's memory is in both.
  const size_t memory = driverOutput.find("memory: baseline_working_set_kb=");
  ASSERT_NE(memory, std::string::npos) << "the driver reported no memory: " << driverOutput;
  const long long baseline =
      std::stoll(driverOutput.substr(memory + std::strlen("memory: baseline_working_set_kb="))) * 1024;
  const long long taken = stats["peak:big"] - baseline;
  EXPECT_LT(stats["ms:big"], 60000);
  EXPECT_GT(taken, static_cast<long long>(linux.size())) << "the document itself is in memory at the peak";
  EXPECT_LT(taken, 8 * static_cast<long long>(linux.size())) << "bytes";
  RecordProperty("entries", kEntries);
  RecordProperty("call_ms", static_cast<int>(stats["ms:big"]));
  RecordProperty("memory_per_entry_bytes", static_cast<int>(taken / kEntries));
  std::cout << kArch << " DLL, " << kEntries << " entries: " << linux.size() << " bytes returned in " << stats["ms:big"]
            << " ms; the call took " << (taken >> 20) << " MiB of working set above the driver's " << (baseline >> 20)
            << " MiB, " << taken / kEntries << " bytes an entry\n";
}

// Eight threads at once, each making calls back to back over the kept
// connections of the process: every call answered, no connection serving
// two calls at once, and the connections kept (fewer than the calls).
TEST_F(WindowsDll, EightThreadsShareKeptConnections) {
  if (!kNarrowedBecause.empty()) GTEST_SKIP() << kNarrowedBecause;
  std::string wineProgram = wine();
  if (wineProgram.empty()) GTEST_SKIP() << "Wine is not installed (tools/bootstrap.sh windows)";
  constexpr int kThreads = 8, kCallsEach = 6;
  ScriptedServer centre;
  for (int i = 0; i < kThreads * kCallsEach; ++i)
    centre.enqueue(Reply::soap("getPersonInfo", "<return><list><name>YQ==</name></list></return>").keptAlive());
  dir.writeCentres({{Centres::kMain, centre.url(), "341122001", "2", "op01", ""}});
  std::vector<std::string> lines;
  for (int i = 0; i < kCallsEach; ++i)
    lines.push_back("call" + std::to_string(i) + " getPersonInfo x" + hex("341122000123") + " x" + hex("op01") + " x" +
                    hex(Centres::kMain));
  std::map<std::string, std::string> results = runDriver(wineProgram, lines, "", "", "", nullptr, kThreads);
  ASSERT_EQ(results.size(), static_cast<size_t>(kThreads * kCallsEach)) << driverOutput;
  for (const auto& [label, doc] : results) EXPECT_EQ(outCode(doc), "000") << label << ": " << utf8(doc);
  EXPECT_EQ(centre.requests().size(), static_cast<size_t>(kThreads * kCallsEach));
  EXPECT_LE(centre.connectionCount(), static_cast<size_t>(kThreads)) << "connections kept and used again";
}

}  // namespace
