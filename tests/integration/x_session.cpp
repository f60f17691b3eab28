#include "integration/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace quib::test {

namespace {

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& env) {
  std::map<std::string, std::string> all;
  for (char** e = environ; *e; ++e) {
    std::string kv = *e;
    size_t eq = kv.find('=');
    if (eq != std::string::npos) all[kv.substr(0, eq)] = kv.substr(eq + 1);
  }
  for (auto& [k, v] : env) {
    if (v == "<unset>")
      all.erase(k);
    else
      all[k] = v;
  }
  std::vector<std::string> out;
  for (auto& [k, v] : all) out.push_back(k + "=" + v);
  return out;
}

int Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          int stdoutFd, int extraFd = -1) {
  std::vector<std::string> envStrings = MergedEnvironment(env);
  pid_t pid = fork();
  if (pid != 0) return pid;
  if (stdoutFd >= 0) {
    dup2(stdoutFd, 1);
  }
  int devnull = open("/dev/null", O_RDWR);
  dup2(devnull, 0);
  (void)extraFd;
  std::vector<char*> args, envp;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (auto& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  execvpe(args[0], args.data(), envp.data());
  _exit(127);
}

}  // namespace

Process::Process(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& env, const std::string& stdoutPath) {
  int fd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  pid_ = Spawn(argv, env, fd);
  if (fd >= 0) close(fd);
}

Process::~Process() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int st;
    waitpid(pid_, &st, 0);
  }
}

Process::Process(Process&& o) noexcept : pid_(o.pid_), status_(o.status_) {
  o.pid_ = -1;
}
Process& Process::operator=(Process&& o) noexcept {
  std::swap(pid_, o.pid_);
  std::swap(status_, o.status_);
  return *this;
}

bool Process::Running() {
  if (pid_ <= 0 || status_) return false;
  int st = 0;
  pid_t r = waitpid(pid_, &st, WNOHANG);
  if (r == pid_) {
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return false;
  }
  return true;
}

std::optional<int> Process::Wait(std::chrono::milliseconds timeout) {
  WaitFor([this] { return !Running(); }, timeout);
  return status_;
}

void Process::Signal(int sig) {
  if (pid_ > 0 && !status_) kill(pid_, sig);
}

bool WaitFor(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::string RunCapture(const std::vector<std::string>& argv,
                       const std::map<std::string, std::string>& env, int* status) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  pid_t pid = Spawn(argv, env, fds[1]);
  close(fds[1]);
  std::string out;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return out;
}

Xvfb::Xvfb(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  // -displayfd picks a free display and tells us which.
  std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 1);
    dup2(devnull, 2);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", geometry.c_str(), "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < end) {
    if (poll(&p, 1, 200) > 0) {
      char c;
      ssize_t n = read(fds[0], &c, 1);
      if (n <= 0) break;
      if (c == '\n') break;
      number += c;
    }
  }
  close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
  serverPid_ = pid;
}

Xvfb::~Xvfb() {
  if (serverPid_ > 0) {
    kill(serverPid_, SIGTERM);
    int st;
    waitpid(serverPid_, &st, 0);
  }
}

}  // namespace quib::test
