#pragma once
// Small helpers shared by the tests.
#include <string>

namespace quib::test {

// A fresh empty folder under the build tree, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;
  // Writes bytes to path() + "/" + name and returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path);

}  // namespace quib::test
