// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "text/platform.h"

namespace nv {

// One write with O_APPEND: concurrent calls, of this process or another,
// never interleave within an entry. Opened without waiting (a FIFO without
// a reader is refused at once) and written only when it is a regular file.
void appendToRegularFile(const std::string& path, const std::string& entry) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
  if (fd < 0) return;
  struct stat about {};
  if (::fstat(fd, &about) == 0 && S_ISREG(about.st_mode)) {
    for (size_t at = 0; at < entry.size();) {
      ssize_t n = ::write(fd, entry.data() + at, entry.size() - at);
      if (n <= 0) break;
      at += static_cast<size_t>(n);
    }
  }
  ::close(fd);
}

std::tm localCalendar(std::time_t seconds) {
  std::tm parts{};
  localtime_r(&seconds, &parts);
  return parts;
}

}  // namespace nv
