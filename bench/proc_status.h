// The process's own figures from /proc/self/status.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace zelbench {

// A field of /proc/self/status in kB (VmRSS, VmHWM, ...); -1 when absent.
inline long StatusKb(const char* Field) {
  std::ifstream In("/proc/self/status");
  std::string Line;
  const std::size_t N = std::strlen(Field);
  while (std::getline(In, Line))
    if (Line.compare(0, N, Field) == 0 && Line.size() > N && Line[N] == ':') return std::atol(Line.c_str() + N + 1);
  return -1;
}

}  // namespace zelbench
