#include "tests/e2e/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace testing_support {
namespace {

struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() {
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot create pipe");
  }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  void closeRead() {
    if (fds[0] >= 0) ::close(fds[0]);
    fds[0] = -1;
  }
  void closeWrite() {
    if (fds[1] >= 0) ::close(fds[1]);
    fds[1] = -1;
  }
};

[[noreturn]] void execChild(const std::string& program, const std::vector<std::string>& arguments,
                            const RunOptions& options, Pipe& in, Pipe& out, Pipe& err) {
  ::dup2(in.fds[0], 0);
  ::dup2(out.fds[1], 1);
  ::dup2(err.fds[1], 2);
  if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
    _exit(126);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  _exit(127);
}

// Appends what a polled output has to text; closes it (fd becomes -1) at its
// end.
void readReady(const pollfd& poll, int& fd, std::string& text) {
  if (fd < 0 || !(poll.revents & (POLLIN | POLLHUP | POLLERR))) return;
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    text.append(buffer, static_cast<size_t>(n));
  } else {
    ::close(fd);
    fd = -1;
  }
}

// Pumps input into the child and both outputs out of it until the outputs
// close or the deadline passes.
void exchange(Pipe& in, Pipe& out, Pipe& err, const RunOptions& options, RunResult& result) {
  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  size_t written = 0;
  if (options.input.empty() && !options.keepInputOpen) in.closeWrite();
  while (out.fds[0] >= 0 || err.fds[0] >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      return;
    }
    std::array<pollfd, 3> polls{
        {{out.fds[0], POLLIN, 0}, {err.fds[0], POLLIN, 0}, {in.fds[1], POLLOUT, 0}}};
    if (::poll(polls.data(), polls.size(), static_cast<int>(left.count())) < 0 && errno != EINTR)
      return;
    readReady(polls[0], out.fds[0], result.out);
    readReady(polls[1], err.fds[0], result.err);
    if (polls[2].revents & (POLLOUT | POLLERR | POLLHUP)) {
      const ssize_t n =
          ::write(in.fds[1], options.input.data() + written, options.input.size() - written);
      written += n > 0 ? static_cast<size_t>(n) : options.input.size();
      if (written >= options.input.size() && !options.keepInputOpen) in.closeWrite();
    }
  }
}

}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options) {
  ::signal(SIGPIPE, SIG_IGN);
  Pipe in, out, err;
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) execChild(program, arguments, options, in, out, err);
  in.closeRead();
  out.closeWrite();
  err.closeWrite();
  RunResult result;
  exchange(in, out, err, options, result);
  if (result.timedOut) ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!result.timedOut && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingDirectory) {
  ::signal(SIGPIPE, SIG_IGN);
  Pipe in, out, err;
  RunOptions options;
  options.workingDirectory = workingDirectory;
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("cannot fork");
  if (pid_ == 0) execChild(program, arguments, options, in, out, err);
  in.closeRead();
  out.closeWrite();
  err.closeWrite();
  input_ = std::exchange(in.fds[1], -1);
  outputs_[0] = std::exchange(out.fds[0], -1);
  outputs_[1] = std::exchange(err.fds[0], -1);
}

ChildProcess::~ChildProcess() {
  closeInput();
  for (int& fd : outputs_) {
    if (fd >= 0) ::close(fd);
  }
  if (!ended_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool ChildProcess::waitForEnd(std::chrono::milliseconds limit) {
  if (!ended_) collect(limit);
  return ended_;
}

void ChildProcess::writeInput(std::string_view text) {
  while (input_ >= 0 && !text.empty()) {
    const ssize_t n = ::write(input_, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("cannot write to the program's standard input");
    text.remove_prefix(static_cast<size_t>(n));
  }
}

void ChildProcess::closeInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

void ChildProcess::collect(std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  const auto left = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  };
  while (outputs_[0] >= 0 || outputs_[1] >= 0) {
    if (left().count() <= 0) return;
    std::array<pollfd, 2> polls{{{outputs_[0], POLLIN, 0}, {outputs_[1], POLLIN, 0}}};
    if (::poll(polls.data(), polls.size(), static_cast<int>(left().count())) < 0 && errno != EINTR)
      return;
    readReady(polls[0], outputs_[0], result_.out);
    readReady(polls[1], outputs_[1], result_.err);
  }
  // Both outputs are closed, so the program is ending: reap it in the time left.
  for (;;) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      ended_ = true;
      result_.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return;
    }
    if (left().count() <= 0) return;
    ::usleep(1000);
  }
}

std::string installProgramCopy(const std::string& program, const std::string& directory) {
  namespace fs = std::filesystem;
  const fs::path target = fs::path(directory) / fs::path(program).filename();
  fs::create_directories(directory);
  fs::copy_file(program, target, fs::copy_options::overwrite_existing);
  return target.string();
}

}  // namespace testing_support
