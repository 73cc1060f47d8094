#include "tests/support/debug_receiver.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zeltest {

namespace {

constexpr std::uint32_t kMaxBytes = 64u << 20;
constexpr int kReadTimeoutMs = 2000;  // a sender that stalls mid-message is dropped

// Reads exactly n bytes; false on end, error or stall.
bool ReadExactly(int fd, void* out, std::size_t n) {
  auto* p = static_cast<char*>(out);
  std::size_t done = 0;
  while (done < n) {
    pollfd pf{fd, POLLIN, 0};
    const int rc = ::poll(&pf, 1, kReadTimeoutMs);
    if (rc < 0 && errno == EINTR) continue;
    if (rc != 1) return false;
    const ssize_t r = ::recv(fd, p + done, n - done, 0);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    done += static_cast<std::size_t>(r);
  }
  return true;
}

}  // namespace

DebugReceiver::DebugReceiver(std::string className, std::string title, Mode mode)
    : FPath(platform::WindowSocketPath(className, title)), FMode(mode) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (FPath.size() >= sizeof addr.sun_path) throw std::runtime_error("socket path too long: " + FPath);
  std::memcpy(addr.sun_path, FPath.c_str(), FPath.size() + 1);
  FListen = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (FListen < 0) throw std::runtime_error("socket: " + std::string(std::strerror(errno)));
  ::unlink(FPath.c_str());  // a socket left behind by an ended run
  if (::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(FListen, 16) != 0) {
    const std::string why = std::strerror(errno);
    ::close(FListen);
    throw std::runtime_error("cannot publish " + FPath + ": " + why);
  }
  if (::pipe2(FWake, O_CLOEXEC) != 0) {
    ::close(FListen);
    ::unlink(FPath.c_str());
    throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
  }
  if (FMode == Mode::Reads) FThread = std::thread([this] { run(); });
}

DebugReceiver::~DebugReceiver() {
  if (FThread.joinable()) {
    const char stop = 'x';
    [[maybe_unused]] auto n = ::write(FWake[1], &stop, 1);
    FThread.join();
  }
  ::close(FListen);
  ::close(FWake[0]);
  ::close(FWake[1]);
  ::unlink(FPath.c_str());
}

void DebugReceiver::setAnswer(LRESULT answer) {
  std::lock_guard<std::mutex> lock(FMutex);
  FAnswer = answer;
}

void DebugReceiver::pauseFor(std::chrono::milliseconds busy) {
  std::lock_guard<std::mutex> lock(FMutex);
  FBusyUntil = std::chrono::steady_clock::now() + busy;
}

std::vector<DebugReceiver::Message> DebugReceiver::messages() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FMessages;
}

std::vector<std::string> DebugReceiver::lines() const {
  std::vector<std::string> out;
  for (const auto& m : messages()) out.push_back(m.bytes.substr(0, m.bytes.find('\0')));
  return out;
}

bool DebugReceiver::waitForLines(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(FMutex);
  return FChanged.wait_for(lock, timeout, [&] { return FMessages.size() >= n; });
}

std::chrono::milliseconds DebugReceiver::busyFor() const {
  std::lock_guard<std::mutex> lock(FMutex);
  const auto now = std::chrono::steady_clock::now();
  return FBusyUntil > now ? std::chrono::ceil<std::chrono::milliseconds>(FBusyUntil - now)
                          : std::chrono::milliseconds(0);
}

void DebugReceiver::run() {
  for (;;) {
    // While busy only the stop request is heard; connections wait in the
    // queue of the listening socket.
    const std::chrono::milliseconds busy = busyFor();
    pollfd p[2] = {{FListen, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    const int rc = busy.count() > 0 ? ::poll(p + 1, 1, static_cast<int>(busy.count())) : ::poll(p, 2, -1);
    if (rc < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (p[1].revents) return;
    if (busy.count() > 0 || !(p[0].revents & POLLIN) || busyFor().count() > 0) continue;
    const int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    serve(fd);
    ::close(fd);
  }
}

void DebugReceiver::serve(int fd) {
  platform::CopyDataFrame frame{};
  if (!ReadExactly(fd, &frame, sizeof frame)) return;  // FindWindowA only looked
  if (frame.magic != platform::CopyDataMagic || frame.cbData > kMaxBytes) return;
  Message m;
  m.msg = frame.msg;
  m.wParam = static_cast<WPARAM>(frame.wParam);
  m.dwData = static_cast<ULONG_PTR>(frame.dwData);
  m.cbData = frame.cbData;
  m.bytes.resize(frame.cbData);
  if (frame.cbData && !ReadExactly(fd, m.bytes.data(), m.bytes.size())) return;
  std::int64_t answer;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FMessages.push_back(std::move(m));
    answer = FAnswer;
  }
  FChanged.notify_all();
  ::send(fd, &answer, sizeof answer, MSG_NOSIGNAL);
}

}  // namespace zeltest
