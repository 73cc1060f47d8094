// An environment variable set (or, with nullptr, removed) for the life of
// the object; the old value comes back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace platform::test {

class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (FOld)
      ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  std::string FName;
  std::optional<std::string> FOld;
};

}  // namespace platform::test
