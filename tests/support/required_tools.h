// Tests that call outside programs (Xvfb, xwininfo ...) check for them
// first.  A missing program skips the test on a developer's machine; where
// ZEL_REQUIRE_TOOLS=1 (scripts/test sets it) it fails the test instead, so
// that a machine without the tools cannot pass by skipping.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

namespace zeltest {

// Whether a missing tool fails the test (ZEL_REQUIRE_TOOLS=1).
inline bool ToolsRequired() {
  const char* v = std::getenv("ZEL_REQUIRE_TOOLS");
  return v && std::string(v) == "1";
}

// Whether Name is an executable file: a path as it stands, a bare name in a
// directory of $PATH.
inline bool HaveTool(const std::string& Name) {
  if (Name.find('/') != std::string::npos) return ::access(Name.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    if (::access((dir + "/" + Name).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The names among Names that are not there, joined by ", "; empty when all are.
inline std::string MissingTools(std::initializer_list<const char*> Names) {
  std::string missing;
  for (const char* n : Names) {
    if (HaveTool(n)) continue;
    if (!missing.empty()) missing += ", ";
    missing += n;
  }
  return missing;
}

}  // namespace zeltest

// At the top of a test body: skips the test (fails it under
// ZEL_REQUIRE_TOOLS=1) when one of the named programs is missing.
#define ZEL_NEED_TOOLS(...)                                                                       \
  do {                                                                                            \
    const std::string zel_missing_ = ::zeltest::MissingTools({__VA_ARGS__});               \
    if (!zel_missing_.empty()) {                                                                  \
      if (::zeltest::ToolsRequired()) GTEST_FAIL() << "missing tools: " << zel_missing_;   \
      GTEST_SKIP() << "missing tools: " << zel_missing_;                                          \
    }                                                                                             \
  } while (0)
