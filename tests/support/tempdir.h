// A temporary directory for a test, removed with everything in it when the
// object goes.
#pragma once

#include <string>

namespace zeltest {

class TempDir {
public:
  // Creates a fresh directory under $TMPDIR (else /tmp).
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Host path of the directory, without a trailing slash.
  const std::string& path() const { return FPath; }
  // Host path of a file or directory inside it.
  std::string file(const std::string& name) const { return FPath + "/" + name; }
  // Writes a file inside the directory (bytes as given) and returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;
  // Reads a file inside the directory ("" when it does not exist).
  std::string read(const std::string& name) const;

private:
  std::string FPath;
};

}  // namespace zeltest
