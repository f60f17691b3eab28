#pragma once
// Running the built program for real: a private Xvfb server, child
// processes with their own environment, and waiting for conditions with
// generous bounded timeouts (never fixed sleeps).
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quib::test {

class Process {
 public:
  Process() = default;
  Process(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          const std::string& stdoutPath = "/dev/null");
  ~Process();
  Process(Process&& o) noexcept;
  Process& operator=(Process&& o) noexcept;

  int pid() const { return pid_; }
  // Exit status (0..255), or nullopt if it is still running after timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  bool Running();
  void Signal(int sig);

 private:
  int pid_ = -1;
  std::optional<int> status_;
};

// Waits until pred() holds, polling every 50 ms; false after timeout.
bool WaitFor(const std::function<bool()>& pred, std::chrono::milliseconds timeout);

// Runs a command to completion and returns its standard output.
std::string RunCapture(const std::vector<std::string>& argv,
                       const std::map<std::string, std::string>& env, int* status = nullptr);

class Xvfb {
 public:
  explicit Xvfb(int width = 1024, int height = 768);
  ~Xvfb();
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }

 private:
  int serverPid_ = -1;
  std::string display_;
};

}  // namespace quib::test
