// SPDX-License-Identifier: MIT
// Loads NvInterFace.dll the way a HIS does (LoadLibraryA, GetProcAddress),
// calls its exports as a scenario file says and writes every result's raw
// bytes to a result file, so a Linux test can compare them byte for byte.
//
//   driver.exe <dll> --list <result-file>
//       resolves every export and writes one name a line.
//   driver.exe <dll> <scenario-file> <result-file>
//       runs each scenario line "<label> <export> <argument>...", where an
//       argument is "-" for a null pointer or "x" followed by the text's
//       bytes in hex ("x" alone is the empty text). Writes one line
//       "<label> x<hex>" per scenario ("<label> -" for a null result) and
//       releases each result with freeResult. After each result, a line
//       "#stat ms:<label> N" (the call's wall time) and "#stat peak:<label> N"
//       (the process's peak working set in bytes so far) and
//       "#stat rss:<label> N" (its working set now) follow.
//       A line "@reload" unloads the DLL (FreeLibrary) and loads it again,
//       with whatever connections its calls kept still open.
//   driver.exe <dll> --version <result-file>
//       writes the DLL's version resource as Explorer reads it, one line
//       "<field> x<hex>" per string field and "FixedFileVersion x<hex of a.b.c.d>".
//   driver.exe <dll> <scenario-file> <result-file> [--trust-root <pem-file>]
//              [--winhttp-proxy <host:port>]
//       first adds the certificate of pem-file to the user's ROOT store, as
//       an administrator trusts a centre's root (for the HTTPS scenarios),
//       and sets WinHTTP's proxy (netsh winhttp set proxy) for the run,
//       resetting it to none afterwards.
//   ... --distrust <pem-file>
//       puts the first certificate of pem-file in the user's Disallowed store
//       (Untrusted Certificates) for the run, and takes it out afterwards.
//   driver.exe <dll> <scenario-file> <result-file> --threads N
//       runs the scenario lines in N threads at once, each thread all of
//       them in order, labels suffixed "#<thread>" (for the x64 DLL, and the
//       x86 one where 32-bit programs run natively: emulated 32-bit Wine
//       cannot run a threaded program reliably).
// Exit status: 0 when every scenario ran, 1 when an export is missing or a
// scenario is malformed, 2 on a usage error. Last, it writes the process's
// memory to stderr ("memory: baseline_working_set_kb=N
// peak_working_set_kb=N"): the peak resident set as the system counts it,
// before the first call and at the end. Under emulation the emulator's own
// memory is in both, so only the difference says what the calls took.
// Nothing runs on a thread of the driver's own.
#include <windows.h>
// After windows.h, which it needs; version 2: the K32 names of kernel32.
#define PSAPI_VERSION 2
#include <psapi.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tools/common/export_list.h"

namespace {

// A resolved export: its row of the shared table and its address in the DLL.
struct Export {
  const nvexports::Export* row;
  FARPROC address;
};

// Appends the bytes of a text in hex to out, in one allocation: a big
// catalogue's result is tens of megabytes in hex, and a 32-bit process
// (under an emulator, its address space crowded) may find no room for the
// copies that growing by steps would make.
void appendHex(std::string& out, const char* bytes) {
  static const char digits[] = "0123456789abcdef";
  const size_t length = std::strlen(bytes);
  out.reserve(out.size() + 2 * length + 256);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p) {
    out += digits[*p >> 4];
    out += digits[*p & 15];
  }
}

std::string hex(const char* bytes) {
  std::string out;
  appendHex(out, bytes);
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "x<hex>" to its bytes; false when malformed.
bool unhex(const std::string& token, std::string& bytes) {
  if (token.empty() || token[0] != 'x' || token.size() % 2 == 0) return false;
  bytes.clear();
  for (size_t i = 1; i < token.size(); i += 2) {
    int high = hexDigit(token[i]), low = hexDigit(token[i + 1]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;  // no NUL inside a C text
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool readLines(const char* path, std::vector<std::string>& lines) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  std::string current;
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(c);
    }
  }
  if (!current.empty()) lines.push_back(current);
  std::fclose(file);
  return true;
}

// Runs one scenario line; returns the result line, or "" with `error` set.
std::string runScenario(const std::vector<Export>& exports, void(NV_CALL* freeResult)(char*),
                        const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 2) {
    error = "a scenario needs a label and an export";
    return "";
  }
  const Export* target = nullptr;
  for (const Export& e : exports)
    if (words[1] == e.row->name) target = &e;
  if (!target) {
    error = "unknown export " + words[1];
    return "";
  }
  const size_t arity = target->row->arity;
  if (words.size() - 2 != arity) {
    error = words[1] + " takes " + std::to_string(arity) + " arguments";
    return "";
  }
  std::vector<std::string> texts(arity);
  nvexports::Texts args(arity, nullptr);
  for (size_t i = 0; i < arity; ++i) {
    const std::string& token = words[i + 2];
    if (token == "-") continue;
    if (!unhex(token, texts[i])) {
      error = "malformed argument " + token;
      return "";
    }
    args[i] = texts[i].c_str();
  }
  ULONGLONG started = GetTickCount64();
  char* result = target->row->invoke(reinterpret_cast<void*>(target->address), args);
  ULONGLONG elapsed = GetTickCount64() - started;
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::string line = words[0];
  if (result) {
    line += " x";
    appendHex(line, result);
  } else {
    line += " -";
  }
  freeResult(result);
  line += "\n#stat ms:" + words[0] + " " + std::to_string(elapsed) + "\n#stat peak:" + words[0] + " " +
          std::to_string(memory.PeakWorkingSetSize) + "\n#stat rss:" + words[0] + " " +
          std::to_string(memory.WorkingSetSize);
  return line;
}

// The version resource's fields, read through the API Explorer uses.
bool versionLines(const char* dll, std::vector<std::string>& out) {
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(dll, &ignored);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(dll, 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return false;
  std::string version =
      std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
      std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
  out.push_back("FixedFileVersion x" + hex(version.c_str()));
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return false;
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", translations->language, translations->codePage);
  for (const char* field : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                            "OriginalFilename", "ProductName", "ProductVersion"}) {
    char* value = nullptr;
    if (VerQueryValueA(block.data(), (std::string(prefix) + field).c_str(), reinterpret_cast<void**>(&value),
                       &length) &&
        value)
      out.push_back(std::string(field) + " x" + hex(value));
  }
  return true;
}

SIZE_T peakWorkingSet() {
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return memory.PeakWorkingSetSize;
}

// The first certificate of a PEM file, as DER bytes; empty when none.
std::vector<BYTE> firstCertificate(const char* pemFile) {
  std::FILE* file = std::fopen(pemFile, "rb");
  if (!file) return {};
  std::string pem;
  for (int c; (c = std::fgetc(file)) != EOF;) pem += static_cast<char>(c);
  std::fclose(file);
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return {};
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) return {};
  der.resize(size);
  return der;
}

// Adds the first certificate of a PEM file to the current user's ROOT store.
bool trustRoot(const char* pemFile) {
  std::vector<BYTE> der = firstCertificate(pemFile);
  return !der.empty() && CertAddEncodedCertificateToSystemStoreA("ROOT", der.data(), der.size()) != FALSE;
}

// The current user's Disallowed store (Untrusted Certificates) holds the
// first certificate of a PEM file for the run, as an administrator
// distrusts one, and no longer when the run ends, however it ends.
class Distrusted {
 public:
  bool add(const char* pemFile) {
    der_ = firstCertificate(pemFile);
    return !der_.empty() && CertAddEncodedCertificateToSystemStoreA("Disallowed", der_.data(), der_.size()) != FALSE;
  }
  ~Distrusted() {
    if (der_.empty()) return;
    HCERTSTORE store = CertOpenSystemStoreA(0, "Disallowed");
    if (!store) return;
    PCCERT_CONTEXT wanted = CertCreateCertificateContext(X509_ASN_ENCODING, der_.data(), der_.size());
    if (wanted) {
      PCCERT_CONTEXT found =
          CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
      if (found) CertDeleteCertificateFromStore(found);  // frees found
      CertFreeCertificateContext(wanted);
    }
    CertCloseStore(store, 0);
  }

 private:
  std::vector<BYTE> der_;
};

// Sets WinHTTP's own proxy setting; an empty proxy means none.
bool setWinHttpProxy(const std::string& proxy) {
  std::wstring wide(proxy.begin(), proxy.end());
  WINHTTP_PROXY_INFO info{};
  info.dwAccessType = proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  info.lpszProxy = proxy.empty() ? nullptr : &wide[0];
  return WinHttpSetDefaultProxyConfiguration(&info) != FALSE;
}

// Resets WinHTTP's proxy when the run ends, however it ends.
struct ProxyReset {
  bool armed = false;
  ~ProxyReset() {
    if (armed) setWinHttpProxy("");
  }
};

// Resolves every export of the loaded library; false when one is missing.
bool resolve(HMODULE library, std::vector<Export>& exports, void(NV_CALL*& freeResult)(char*)) {
  bool complete = true;
  // Only the prototypes are used: the driver links nothing of the library.
  exports.clear();
  for (const nvexports::Export& row : nvexports::kExports) {
    exports.push_back({&row, GetProcAddress(library, row.name)});
    if (!exports.back().address) {
      std::fprintf(stderr, "missing export %s\n", row.name);
      complete = false;
    }
  }
  freeResult = reinterpret_cast<void(NV_CALL*)(char*)>(reinterpret_cast<void*>(GetProcAddress(library, "freeResult")));
  if (!freeResult) {
    std::fprintf(stderr, "missing export freeResult\n");
    complete = false;
  }
  return complete;
}

// One thread's share of a threaded run: every scenario line, in order.
struct ThreadRun {
  const std::vector<Export>* exports;
  void(NV_CALL* freeResult)(char*);
  const std::vector<std::vector<std::string>>* scenarios;
  int number;
  std::vector<std::string> out;
  std::string error;
};

DWORD WINAPI runThread(void* context) {
  auto* run = static_cast<ThreadRun*>(context);
  for (std::vector<std::string> words : *run->scenarios) {
    words[0] += "#" + std::to_string(run->number);
    std::string result = runScenario(*run->exports, run->freeResult, words, run->error);
    if (result.empty()) return 1;
    run->out.push_back(std::move(result));
  }
  return 0;
}

// Runs the scenarios in `threads` threads at once; false when one failed.
bool runThreaded(const std::vector<Export>& exports, void(NV_CALL* freeResult)(char*),
                 const std::vector<std::vector<std::string>>& scenarios, int threads, std::vector<std::string>& out) {
  std::vector<ThreadRun> runs(static_cast<size_t>(threads));
  std::vector<HANDLE> handles;
  for (int i = 0; i < threads; ++i) {
    runs[i] = {&exports, freeResult, &scenarios, i, {}, {}};
    HANDLE handle = CreateThread(nullptr, 0, runThread, &runs[i], 0, nullptr);
    if (!handle) {
      std::fprintf(stderr, "CreateThread failed: error %lu\n", GetLastError());
      return false;
    }
    handles.push_back(handle);
  }
  WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
  bool ok = true;
  for (size_t i = 0; i < handles.size(); ++i) {
    DWORD code = 1;
    GetExitCodeThread(handles[i], &code);
    CloseHandle(handles[i]);
    if (code != 0) {
      std::fprintf(stderr, "thread %zu: %s\n", i, runs[i].error.c_str());
      ok = false;
    }
    out.insert(out.end(), runs[i].out.begin(), runs[i].out.end());
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  ProxyReset proxyReset;
  Distrusted distrusted;
  int threads = 0;
  for (; argc >= 6; argc -= 2) {
    std::string option = argv[argc - 2], value = argv[argc - 1];
    if (option == "--trust-root") {
      if (!trustRoot(value.c_str())) {
        std::fprintf(stderr, "cannot add %s to the ROOT store: error %lu\n", value.c_str(), GetLastError());
        return 1;
      }
    } else if (option == "--winhttp-proxy") {
      proxyReset.armed = true;
      if (!setWinHttpProxy(value)) {
        std::fprintf(stderr, "cannot set WinHTTP's proxy: error %lu\n", GetLastError());
        return 1;
      }
    } else if (option == "--distrust") {
      if (!distrusted.add(value.c_str())) {
        std::fprintf(stderr, "cannot add %s to the Disallowed store: error %lu\n", value.c_str(), GetLastError());
        return 1;
      }
    } else if (option == "--threads") {
      threads = std::atoi(value.c_str());
      if (threads < 1) return 2;
    } else {
      break;
    }
  }
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: %s <dll> (--list | --version | <scenario-file>) <result-file> [--trust-root <pem-file>]"
                 " [--winhttp-proxy <host:port>] [--distrust <pem-file>] [--threads N]\n",
                 argv[0]);
    return 2;
  }
  std::vector<std::string> out;
  if (std::string(argv[2]) == "--version") {
    if (!versionLines(argv[1], out)) {
      std::fprintf(stderr, "no readable version resource in %s: error %lu\n", argv[1], GetLastError());
      return 1;
    }
    FILE* file = std::fopen(argv[3], "wb");
    if (!file) return 2;
    for (const std::string& line : out) std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
    return 0;
  }
  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    std::fprintf(stderr, "LoadLibraryA(%s) failed: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  std::vector<Export> exports;
  void(NV_CALL * freeResult)(char*) = nullptr;
  if (!resolve(library, exports, freeResult)) return 1;

  const SIZE_T baseline = peakWorkingSet();
  out.clear();
  int status = 0;
  if (std::string(argv[2]) == "--list") {
    for (const Export& e : exports) out.push_back(e.row->name);
    out.push_back("freeResult");
    freeResult(nullptr);  // a null pointer is ignored
  } else {
    std::vector<std::string> lines;
    if (!readLines(argv[2], lines)) {
      std::fprintf(stderr, "cannot read %s\n", argv[2]);
      return 2;
    }
    std::vector<std::vector<std::string>> scenarios;
    for (const std::string& line : lines) {
      std::vector<std::string> words = splitWords(line);
      if (words.empty()) continue;
      if (threads > 0) {
        scenarios.push_back(words);
        continue;
      }
      if (words[0] == "@reload") {
        FreeLibrary(library);
        library = LoadLibraryA(argv[1]);
        if (!library || !resolve(library, exports, freeResult)) {
          std::fprintf(stderr, "reloading %s failed: error %lu\n", argv[1], GetLastError());
          return 1;
        }
        continue;
      }
      std::string error;
      std::string result = runScenario(exports, freeResult, words, error);
      if (result.empty()) {
        std::fprintf(stderr, "scenario '%s': %s\n", line.c_str(), error.c_str());
        status = 1;
        continue;
      }
      out.push_back(std::move(result));
    }
    if (threads > 0 && !runThreaded(exports, freeResult, scenarios, threads, out)) status = 1;
  }

  FILE* file = std::fopen(argv[3], "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 2;
  }
  for (const std::string& line : out) std::fprintf(file, "%s\n", line.c_str());
  std::fclose(file);
  const SIZE_T peak = peakWorkingSet();
  FreeLibrary(library);
  std::fprintf(stderr, "memory: baseline_working_set_kb=%lu peak_working_set_kb=%lu\n",
               static_cast<unsigned long>(baseline / 1024), static_cast<unsigned long>(peak / 1024));
  return status;
}
