// Runs a piece of a test in a child process: for calls that could block
// for ever or eat all memory when they go wrong, and for calls that must
// run as an ordinary user.  The child uses no GoogleTest macros; its body
// returns the exit code.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace zeltest {

// What became of the child.
struct ChildResult {
  bool Finished = false;  // ended by itself within the limit
  int ExitCode = -1;      // its exit code when it ended normally, else -1
};

// Exit code of a child that could not take the unprivileged user.
inline constexpr int ChildCannotDropRoot = 77;

// The user that an unprivileged child runs as when the test runs as root.
inline constexpr uid_t UnprivilegedId = 65534;

// In a new child: with Unprivileged, a child of root becomes
// UnprivilegedId (or ends with ChildCannotDropRoot); with MemoryHeadroom > 0
// its address space may grow only by that much (not under
// AddressSanitizer, whose shadow memory needs more).
inline void PrepareChild(bool Unprivileged, std::size_t MemoryHeadroom) {
  if (Unprivileged && ::geteuid() == 0 &&
      (::setgid(UnprivilegedId) != 0 || ::setuid(UnprivilegedId) != 0))
    ::_exit(ChildCannotDropRoot);
#if !defined(__SANITIZE_ADDRESS__)
  if (MemoryHeadroom > 0) {
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + MemoryHeadroom;
    const rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_AS, &rl);
  }
#else
  (void)MemoryHeadroom;
#endif
}

// Runs Body in a child process and waits up to Limit for it (a watchdog
// only: the body normally ends at once).  A child past the limit is killed.
// With Unprivileged, a child of root first becomes UnprivilegedId.  With
// MemoryHeadroom > 0 the child's address space may grow only by that much
// (see PrepareChild).
inline ChildResult RunInChild(const std::function<int()>& Body, std::chrono::seconds Limit,
                              bool Unprivileged = false, [[maybe_unused]] std::size_t MemoryHeadroom = 0) {
  int done[2];
  if (::pipe(done) != 0) return {};
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    ::close(done[0]);
    PrepareChild(Unprivileged, MemoryHeadroom);
    const int code = Body();
    ::_exit(code);
  }
  ::close(done[1]);
  // The pipe's write end closes when the child ends, however it ends.
  pollfd p{done[0], POLLIN, 0};
  const int ready = ::poll(&p, 1, static_cast<int>(std::chrono::milliseconds(Limit).count()));
  ::close(done[0]);
  ChildResult r;
  if (ready <= 0) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  r.Finished = ready > 0;
  if (WIFEXITED(status)) r.ExitCode = WEXITSTATUS(status);
  return r;
}

// Runs Body(0) to Body(Count - 1) in Count child processes at once: each
// starts its body only when all have been made.  Waits up to Limit for all
// of them (a watchdog only); those past it are killed.  The results in the
// order of the bodies.
inline std::vector<ChildResult> RunInChildren(int Count, const std::function<int(int)>& Body,
                                              std::chrono::seconds Limit, bool Unprivileged = false) {
  std::vector<ChildResult> results(static_cast<std::size_t>(Count));
  int start[2];
  if (::pipe(start) != 0) return results;
  std::fflush(nullptr);
  std::vector<pid_t> pids;
  for (int i = 0; i < Count; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(start[1]);
      PrepareChild(Unprivileged, 0);
      char c;
      while (::read(start[0], &c, 1) < 0 && errno == EINTR) {
      }
      ::_exit(Body(i));
    }
    pids.push_back(pid);
  }
  ::close(start[0]);
  ::close(start[1]);  // the children's reads return: all start
  const auto deadline = std::chrono::steady_clock::now() + Limit;
  for (std::size_t i = 0; i < pids.size(); ++i) {
    if (pids[i] < 0) continue;
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(pids[i], &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
      ::usleep(2000);
    if (got == 0) {
      ::kill(pids[i], SIGKILL);
      while (::waitpid(pids[i], &status, 0) < 0 && errno == EINTR) {
      }
      continue;
    }
    results[i].Finished = got == pids[i];
    if (results[i].Finished && WIFEXITED(status)) results[i].ExitCode = WEXITSTATUS(status);
  }
  return results;
}

// How many of the children ended by themselves with exit code 0.
inline int EndedWithZero(const std::vector<ChildResult>& Results) {
  int n = 0;
  for (const ChildResult& r : Results) n += r.Finished && r.ExitCode == 0 ? 1 : 0;
  return n;
}

}  // namespace zeltest
