// SPDX-License-Identifier: MIT
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "text/platform.h"

namespace nv {
namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

FileRead readRegularFile(const char* name, std::string& bytes) {
  bytes.clear();
  // Without waiting: opening a FIFO without a writer would block.
  Descriptor file{::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kFailed;
  struct stat about {};
  if (::fstat(file.fd, &about) != 0) return FileRead::kFailed;
  if (!S_ISREG(about.st_mode)) return FileRead::kNotRegular;
  // The size is a hint: a file that grows while it is read is read on.
  bytes.resize(static_cast<size_t>(about.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t n = ::read(file.fd, &bytes[got], bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.clear();
      return FileRead::kFailed;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return FileRead::kRead;
}

FileRead stampRegularFile(const char* name, FileStamp& stamp) {
  struct stat about {};
  if (::stat(name, &about) != 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kFailed;
  if (!S_ISREG(about.st_mode)) return FileRead::kNotRegular;
  auto nanoseconds = [](const struct timespec& at) { return at.tv_sec * 1000000000LL + at.tv_nsec; };
  stamp.volume = static_cast<unsigned long long>(about.st_dev);
  stamp.file = static_cast<unsigned long long>(about.st_ino);
  stamp.size = static_cast<unsigned long long>(about.st_size);
  stamp.modifiedAt = nanoseconds(about.st_mtim);
  stamp.changedAt = nanoseconds(about.st_ctim);
  return FileRead::kRead;
}

long long fileClockNow() {
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

}  // namespace nv
