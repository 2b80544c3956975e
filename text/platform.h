// SPDX-License-Identifier: MIT
// What the library asks of the operating system, in one place. Each
// platform implements it in files of one job each, named by the job and
// the platform (client/lock_posix.cpp, client/lock_windows.cpp, ...); the
// build picks one platform's set. Everything else is the same everywhere.
#ifndef NV_TEXT_PLATFORM_H
#define NV_TEXT_PLATFORM_H

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The HTTP and TLS libraries' types named below, declared as those
// libraries declare them, so that a program using only the files and the
// clock (nvcall) needs neither library's headers.
struct curl_sockaddr;
typedef struct x509_store_st X509_STORE;

namespace nv {

// A socket as the HTTP library holds it (curl_socket_t: SOCKET on Windows,
// a descriptor elsewhere); each platform's socket file checks that they are
// one type.
#ifdef _WIN32
using SocketNumber = std::uintptr_t;
#else
using SocketNumber = int;
#endif

// ---- Files (frame/regular_file_*.cpp, frame/trace_file_*.cpp) ----
// The files an administrator puts in the HIS's working directory
// (NvConfiguration.ini, NvTrace.ini, NvNetwork.ini) and the trace log: only
// a regular file, opened without waiting, so that a FIFO or a device named
// there is refused at once instead of holding every call. A network share
// that hangs holds the call in the kernel; nothing here can help that.

enum class FileRead {
  kRead,        // bytes holds the whole file
  kMissing,     // there is no such file
  kNotRegular,  // a FIFO, a device, a folder: not read
  kFailed,      // it could not be opened or read
};

// Throws std::bad_alloc when memory runs out.
FileRead readRegularFile(const char* name, std::string& bytes);

// What tells one state of a file from another without reading it: which
// file the name leads to, its size and when it was last changed. Times are
// nanoseconds of the system clock; changedAt is the status change time
// where the system keeps one that no program can set (0 elsewhere), so that
// a write that puts the modification time back is seen too.
struct FileStamp {
  unsigned long long volume = 0, file = 0, size = 0;
  long long modifiedAt = 0, changedAt = 0;
  bool operator==(const FileStamp& other) const {
    return volume == other.volume && file == other.file && size == other.size && modifiedAt == other.modifiedAt &&
           changedAt == other.changedAt;
  }
};
// Looks at the file without opening it for reading: kRead with its stamp,
// or why it cannot be read, as readRegularFile would say.
FileRead stampRegularFile(const char* name, FileStamp& stamp);

// Appends the entry in one write, only to a regular file and without ever
// waiting on it: concurrent writers never interleave within an entry.
void appendToRegularFile(const std::string& path, const std::string& entry);

// ---- Clock (frame/regular_file_*.cpp, frame/trace_file_*.cpp) ----
// The system clock now, in the file stamps' nanoseconds.
long long fileClockNow();
// The local calendar time of a moment.
std::tm localCalendar(std::time_t seconds);

// ---- Lock (client/lock_*.cpp) ----
// A mutual exclusion lock for the process-wide caches (the Windows
// toolchain's C++ library has no std::mutex).
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void acquire();
  void release();

 private:
  alignas(16) unsigned char storage_[64];
};

class Locked {
 public:
  explicit Locked(Lock& lock) : lock_(lock) { lock_.acquire(); }
  ~Locked() { lock_.release(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  Lock& lock_;
};

// ---- Process fork (client/process_fork_*.cpp) ----
// A process the HIS forks inherits the library's caches as they stood, kept
// connections and locks included: the child must start afresh and leave its
// parent's connections alone. Once per process: prepare runs in the forking
// thread just before a fork, parent after it in the parent and child in the
// child. Windows has no fork.
void watchForks(void (*prepare)(), void (*parent)(), void (*child)());

// ---- Sockets (client/socket_open_*.cpp) ----
// A socket for a connection to the centre, not inherited by processes the
// HIS starts.
SocketNumber openConnectionSocket(const curl_sockaddr& address);

// Whether nothing waits to be read on a kept connection, without waiting:
// no byte, no TLS close-notify, no end of stream, no error. Only a quiet
// connection may carry the next request; anything else there is a centre
// that closed it, timed it out (408) or left bytes no request asked for.
bool connectionIsQuiet(SocketNumber socket);

// Closes a socket by its number alone, as a forked child does with its
// parent's kept connections: nothing is sent on it, and the parent's
// connection stays open.
void closeSocketNumber(SocketNumber socket);

// The bytes of a numeric address, 4 for IPv4 and 16 for IPv6 (written
// without brackets); "" when the text is no address.
std::string numericAddressBytes(const std::string& text);

// ---- System text (client/system_text_*.cpp) ----
// The operating system's own words for a failed connection, as the HIS
// gets them in out_text.

// The message for a socket error number (errno, or a Winsock error).
std::string socketErrorText(long error);
// The message for a host name that does not resolve.
std::string unresolvedNameText();
// Whether a socket error number means the peer refused the connection.
bool isConnectionRefused(long error);

// ---- Proxy settings (client/proxy_system_*.cpp) ----
// The proxy the operating system is set up with, as its setting names it
// (Linux: none, the environment is all a process is told; Windows: the
// user's Internet Options, else WinHTTP's). client/proxy_system.h weighs it.
struct SystemProxySetting {
  // "host:port" for every scheme, or entries "scheme=host:port"; separated
  // by ';' or blanks. "" when the system names no proxy.
  std::string list;
  // Hosts reached directly, separated by ';' or blanks: patterns in which
  // '*' stands for any run of characters, in any letter case, and
  // "<local>" for every name without a dot.
  std::string bypass;
};
SystemProxySetting readSystemProxySetting();

// ---- Trust roots (client/tls_trust_*.cpp) ----
// What the roots are read from, so a change of it is noticed, reading them,
// and the certificates the system distrusts, each as its DER bytes
// (client/tls_trust.h shares them).
std::string trustedRootsSource();
X509_STORE* readTrustedRoots();
std::vector<std::string> readDistrustedCertificates();

// ---- TLS and HTTP libraries (client/tls_library_*.cpp) ----
// The TLS library's set-up before the HTTP library's, the flags the HTTP
// library's global state is set up with, and the TLS library's global
// state, freed when the library is unloaded (Windows: the DLL's own copy;
// Linux: the system's, which the process shares, so nothing).
void prepareTlsLibrary();
long httpLibraryInitFlags();
void releaseTlsLibrary();

// ---- Library lifetime (client/library_lifetime_*.cpp) ----
// Each platform's entry and exit (a destructor; DllMain) release through
// client/library_lifetime.h's releaseOnUnload. keepLibraryLoaded keeps the
// library loaded for the rest of the process: a thread the HTTP library
// left running (a name lookup given up at the connect bound) may still run
// code of it after the call has returned.
void keepLibraryLoaded();

}  // namespace nv

#endif
