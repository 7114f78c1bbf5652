#include "ipc/test_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace ipc_testing {
namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

TestChild::TestChild(const std::vector<std::string>& argv) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("cannot create a pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int error = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  output_ = pipeFds[0];
  if (error != 0) {
    ::close(output_);
    throw std::runtime_error("cannot start " + argv[0]);
  }
}

TestChild::~TestChild() {
  if (!status_) {
    ::kill(pid_, SIGKILL);
    wait(std::chrono::seconds(5));
  }
  ::close(output_);
}

std::optional<std::string> TestChild::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    pollfd watch{output_, POLLIN, 0};
    if (::poll(&watch, 1, remainingMs(deadline)) <= 0) return std::nullopt;
    char buffer[4096];
    const ssize_t n = ::read(output_, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

std::optional<int> TestChild::wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!status_) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (done < 0 || Clock::now() >= deadline) {
      return std::nullopt;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return status_;
}

void TestChild::signal(int number) {
  if (!status_) ::kill(pid_, number);
}

}  // namespace ipc_testing
