#include "platform/rtl/system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>

namespace platform {

namespace {
std::atomic<HostPathMapper> gMapper{nullptr};
std::atomic<unsigned> gTempCounter{0};

// Eight characters that make a temporary file's name hard to guess (it may
// stand in a folder that others share); the counter keeps names apart where
// the kernel gives no random bytes.
std::string UnguessableSuffix() {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits))
    bits = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<std::uint64_t>(::getpid()) << 32);
  bits += gTempCounter.fetch_add(1) * 0x9E3779B97F4A7C15ull;
  std::string r(8, '0');
  for (char& c : r) {
    c = kDigits[bits % (sizeof kDigits - 1)];
    bits /= sizeof kDigits - 1;
  }
  return r;
}

// Creates a new file beside hostPath that no one else has opened; its name
// goes to temp.  -1 with errno set when the folder takes none.
int CreateTempBeside(const std::string& hostPath, mode_t mode, std::string& temp) {
  const std::size_t slash = hostPath.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : hostPath.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = dir + "." + base + "." + UnguessableSuffix();
    int fd;
    do fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives temp the name hostPath; without replace never onto an existing
// file.  Where the file system cannot refuse atomically, a hard link does
// (and temp stays to be removed: linked is set).
bool RenameOnto(const std::string& temp, const std::string& hostPath, bool replace, bool& linked) {
  linked = false;
  if (replace) return ::rename(temp.c_str(), hostPath.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, hostPath.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  linked = true;
  return ::link(temp.c_str(), hostPath.c_str()) == 0;
}
}  // namespace

void SetHostPathMapper(HostPathMapper mapper) { gMapper.store(mapper); }

std::string HostPath(const std::string& path) {
  const HostPathMapper m = gMapper.load();
  return m ? m(path) : path;
}

int OpenRegularFile(const std::string& hostPath, int flags, unsigned mode) {
  // Opening a device can have effects of its own, so what is visibly no
  // regular file is not even opened.
  struct stat st {};
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

bool WriteAll(int fd, std::string_view data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t k = ::write(fd, data.data() + done, data.size() - done);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) return false;
    if (k == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(k);
  }
  return true;
}

FileReplacement ReplaceFileContents(const std::string& hostPath, const std::function<bool(int fd)>& fill,
                                    std::optional<unsigned> mode, bool replace) {
  std::string temp;
  // Private while it is filled when it gets its bits afterwards.
  const int fd = CreateTempBeside(hostPath, mode ? 0600 : 0666, temp);
  if (fd < 0) return FileReplacement::NoNewFile;
  bool ok = fill(fd);
  if (ok && mode) ok = ::fchmod(fd, static_cast<mode_t>(*mode & 07777)) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  int err = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    err = errno;
    ok = false;
  }
  bool linked = false;
  if (ok && !RenameOnto(temp, hostPath, replace, linked)) {
    err = errno;
    ok = false;
  }
  if (!ok || linked) ::unlink(temp.c_str());
  errno = err;
  return ok ? FileReplacement::Done : FileReplacement::Failed;
}

bool WriteFileAtomically(const std::string& hostPath, std::string_view data, std::optional<unsigned> mode) {
  return ReplaceFileContents(
             hostPath, [data](int fd) { return WriteAll(fd, data); }, mode) == FileReplacement::Done;
}

}  // namespace platform
