#pragma once
// The one-preview guard: a named lock the system frees when the process
// ends, however it ends.
#include <string>

namespace quib {

class NamedLock {
 public:
  explicit NamedLock(const std::string& name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  // False when another process holds it.
  bool TryAcquire();

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace quib
