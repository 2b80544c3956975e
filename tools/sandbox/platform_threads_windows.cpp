// SPDX-License-Identifier: MIT
// Win32 threads and locks: the win32 variant of mingw-w64's C++ runtime has
// no std::thread or std::mutex.
// First: the runtime's header brings winsock2.h, which must precede windows.h.
#include "tools/sandbox/platform.h"

#include <windows.h>
#include <process.h>

namespace sandbox {

struct Mutex::Native {
  CRITICAL_SECTION section;
};

Mutex::Mutex() : native_(std::make_unique<Native>()) { InitializeCriticalSection(&native_->section); }
Mutex::~Mutex() { DeleteCriticalSection(&native_->section); }
void Mutex::lock() { EnterCriticalSection(&native_->section); }
void Mutex::unlock() { LeaveCriticalSection(&native_->section); }

namespace {

unsigned __stdcall runWork(void* argument) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
  (*work)();
  return 0;
}

}  // namespace

bool startThread(std::function<void()> work) {
  auto* owned = new std::function<void()>(std::move(work));
  // _beginthreadex, not CreateThread: the thread uses the C runtime. 8 MiB
  // of stack reserved, as a Linux thread has, for the runtime's reading of
  // deeply nested requests; only what is used is committed.
  constexpr unsigned kStackReserve = 8u << 20;
  uintptr_t thread = _beginthreadex(nullptr, kStackReserve, runWork, owned, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == 0) {
    delete owned;
    return false;
  }
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

void sleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

std::tm localNow(int& milliseconds) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  milliseconds = now.wMilliseconds;
  std::tm local{};
  local.tm_year = now.wYear - 1900;
  local.tm_mon = now.wMonth - 1;
  local.tm_mday = now.wDay;
  local.tm_hour = now.wHour;
  local.tm_min = now.wMinute;
  local.tm_sec = now.wSecond;
  local.tm_wday = now.wDayOfWeek;
  return local;
}

}  // namespace sandbox
