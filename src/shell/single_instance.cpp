#include "shell/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace quib {

namespace {

std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return runtime;
  return "/tmp";
}

}  // namespace

NamedLock::NamedLock(const std::string& name)
    : path_(LockFolder() + "/" + name + "-" + std::to_string(getuid()) + ".lock") {}

NamedLock::~NamedLock() {
  if (fd_ >= 0) close(fd_);
}

bool NamedLock::TryAcquire() {
  if (fd_ >= 0) return true;
  // flock is released by the kernel when the process dies, so a crashed
  // preview never blocks the next one.
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // no place for a lock: do not refuse the preview for it
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace quib
