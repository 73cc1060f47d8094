#include "platform/rtl/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace platform {

namespace {
std::atomic<HostPathMapper> gMapper{nullptr};
}

void SetHostPathMapper(HostPathMapper mapper) { gMapper.store(mapper); }

std::string HostPath(const std::string& path) {
  const HostPathMapper m = gMapper.load();
  return m ? m(path) : path;
}

int OpenRegularFile(const std::string& hostPath, int flags, unsigned mode) {
  // Opening a device can have effects of its own, so what is visibly no
  // regular file is not even opened.
  struct stat st{};
  const int seen = (flags & O_NOFOLLOW) ? ::lstat(hostPath.c_str(), &st) : ::stat(hostPath.c_str(), &st);
  if (seen == 0 && !S_ISREG(st.st_mode)) {
    errno = EACCES;
    return -1;
  }
  int fd;
  do fd = ::open(hostPath.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, static_cast<mode_t>(mode));
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A FIFO without a reader (for writing) or a socket swapped in.
    if (errno == ENXIO || errno == EISDIR) errno = EACCES;
    return -1;
  }
  int err = 0;
  if (::fstat(fd, &st) != 0)
    err = errno;
  else if (!S_ISREG(st.st_mode))
    err = EACCES;
  if (err == 0) {
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) err = errno;
  }
  if (err != 0) {
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

}  // namespace platform
