// SPDX-License-Identifier: MIT
// Windows: LoadLibraryW and GetProcAddress, as a HIS loads the DLL; the
// version is the resource Explorer shows.
#include <windows.h>

#include <vector>

#include "tools/nvcall/library.h"
#include "tools/nvcall/windows_text.h"

namespace nvcall {
namespace {

// The FileVersion text of the version resource, in its first translation.
std::string fileVersion(const std::wstring& path) {
  DWORD ignored = 0, size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return "";
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return "";
  wchar_t query[64];
  swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language,
           translation->codePage);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return "";
  return utf8Of(std::wstring(value));
}

}  // namespace

const char* libraryFileName() { return "NvInterFace.dll"; }

std::string defaultLibraryPath() {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  size_t slash = self.find_last_of(L"\\/");
  return utf8Of(self.substr(0, slash == std::wstring::npos ? 0 : slash + 1)) + libraryFileName();
}

Library::Library(const std::string& path) {
  facts_.path = path.empty() ? defaultLibraryPath() : path;
  std::wstring wide = wideOf(facts_.path);
  facts_.bits = bitsOfFile(facts_.path);
  facts_.version = fileVersion(wide);
  // Its own folder first for what it loads in turn, as beside a HIS.
  HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    DWORD error = GetLastError();
    error_ = "cannot load " + facts_.path + ": " + systemMessage(error);
    if (error == ERROR_BAD_EXE_FORMAT && facts_.bits != 0 && facts_.bits != static_cast<int>(8 * sizeof(void*)))
      error_ += " (a " + std::to_string(facts_.bits) + "-bit DLL; this nvcall.exe is " +
                std::to_string(8 * sizeof(void*)) + "-bit: use the nvcall.exe beside that DLL)";
    return;
  }
  handle_ = module;
  std::string missing = missingExport(*this);
  if (!missing.empty()) error_ = facts_.path + " is not an NvInterFace library: it exports no " + missing;
}

Library::~Library() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* Library::address(const char* name) const {
  return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

}  // namespace nvcall
