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
//       (the process's peak working set in bytes so far) follow.
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
// Exit status: 0 when every scenario ran, 1 when an export is missing or a
// scenario is malformed, 2 on a usage error. Last, it writes the process's
// peak memory to stderr ("memory: peak_working_set_kb=N peak_private_kb=N"),
// for the record of what a download costs a 32-bit HIS: the peak resident
// set as the system counts it, and the peak of committed private memory
// (heaps, stacks, VirtualAlloc: the address space the calls take from the
// 2 GB of a 32-bit process), sampled by a thread every millisecond.
#include <windows.h>
// After windows.h, which it needs.
#include <winternl.h>
// After windows.h, which it needs; version 2: the K32 names of kernel32.
#define PSAPI_VERSION 2
#include <psapi.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/export_list.h"

namespace {

// A resolved export: its row of the shared table and its address in the DLL.
struct Export {
  const nvexports::Export* row;
  FARPROC address;
};

std::string hex(const char* bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p) {
    out += digits[*p >> 4];
    out += digits[*p & 15];
  }
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
  std::string line = words[0] + (result ? " x" + hex(result) : std::string(" -"));
  freeResult(result);
  return line + "\n#stat ms:" + words[0] + " " + std::to_string(elapsed) + "\n#stat peak:" + words[0] + " " +
         std::to_string(memory.PeakWorkingSetSize);
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

SIZE_T committedPrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;  // the top of the address space
    at = next;
  }
  return total;
}

// Samples committedPrivateBytes until stopped; keeps the peak.
class PrivateMemorySampler {
 public:
  PrivateMemorySampler() : thread_(CreateThread(nullptr, 0, &PrivateMemorySampler::run, this, 0, nullptr)) {}
  ~PrivateMemorySampler() { stop(); }
  SIZE_T stop() {
    if (thread_) {
      InterlockedExchange(&stop_, 1);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    return peak_;
  }

 private:
  static DWORD WINAPI run(void* self) {
    auto* sampler = static_cast<PrivateMemorySampler*>(self);
    do {
      SIZE_T now = committedPrivateBytes();
      if (now > sampler->peak_) sampler->peak_ = now;
      Sleep(1);
    } while (InterlockedCompareExchange(&sampler->stop_, 0, 0) == 0);
    return 0;
  }
  volatile LONG stop_ = 0;
  SIZE_T peak_ = 0;  // written by the sampling thread only, read after it ends
  HANDLE thread_;
};

void reportMemory(SIZE_T peakPrivate) {
  VM_COUNTERS counters{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessVmCounters, &counters, sizeof counters, nullptr) != 0)
    return;
  std::fprintf(stderr, "memory: peak_working_set_kb=%lu peak_private_kb=%lu\n",
               static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024),
               static_cast<unsigned long>(peakPrivate / 1024));
}

// Adds the first certificate of a PEM file to the current user's ROOT store.
bool trustRoot(const char* pemFile) {
  std::FILE* file = std::fopen(pemFile, "rb");
  if (!file) return false;
  std::string pem;
  for (int c; (c = std::fgetc(file)) != EOF;) pem += static_cast<char>(c);
  std::fclose(file);
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return false;
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr))
    return false;
  return CertAddEncodedCertificateToSystemStoreA("ROOT", der.data(), size) != FALSE;
}

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

}  // namespace

int main(int argc, char** argv) {
  ProxyReset proxyReset;
  for (; argc >= 6; argc -= 2) {
    std::string option = argv[argc - 2], value = argv[argc - 1];
    if (option == "--trust-root" && !trustRoot(value.c_str())) {
      std::fprintf(stderr, "cannot add %s to the ROOT store: error %lu\n", value.c_str(), GetLastError());
      return 1;
    }
    if (option == "--winhttp-proxy") {
      proxyReset.armed = true;
      if (!setWinHttpProxy(value)) {
        std::fprintf(stderr, "cannot set WinHTTP's proxy: error %lu\n", GetLastError());
        return 1;
      }
    } else if (option != "--trust-root") {
      break;
    }
  }
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: %s <dll> (--list | --version | <scenario-file>) <result-file> [--trust-root <pem-file>]"
                 " [--winhttp-proxy <host:port>]\n",
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

  PrivateMemorySampler sampler;
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
    for (const std::string& line : lines) {
      std::vector<std::string> words = splitWords(line);
      if (words.empty()) continue;
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
      out.push_back(result);
    }
  }

  FILE* file = std::fopen(argv[3], "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 2;
  }
  for (const std::string& line : out) std::fprintf(file, "%s\n", line.c_str());
  std::fclose(file);
  SIZE_T peakPrivate = sampler.stop();
  FreeLibrary(library);
  reportMemory(peakPrivate);
  return status;
}
