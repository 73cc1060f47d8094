// An environment variable set (or, with nullptr or nullopt, removed) for the
// life of the object; the old value comes back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace zeltest {

class ScopedEnv {
public:
  ScopedEnv(std::string name, const char* value) : FName(std::move(name)) {
    if (const char* old = std::getenv(FName.c_str())) FOld = old;
    if (value)
      ::setenv(FName.c_str(), value, 1);
    else
      ::unsetenv(FName.c_str());
  }
  ScopedEnv(std::string name, const std::optional<std::string>& value)
      : ScopedEnv(std::move(name), value ? value->c_str() : nullptr) {}
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

}  // namespace zeltest
