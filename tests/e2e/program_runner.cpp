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
    for (int i = 0; i < 2; ++i) {
      if (!(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t n = ::read(polls[i].fd, buffer, sizeof buffer);
      Pipe& pipe = i == 0 ? out : err;
      if (n <= 0) {
        pipe.closeRead();
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      }
    }
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

std::string installProgramCopy(const std::string& program, const std::string& directory) {
  namespace fs = std::filesystem;
  const fs::path target = fs::path(directory) / fs::path(program).filename();
  fs::create_directories(directory);
  fs::copy_file(program, target, fs::copy_options::overwrite_existing);
  return target.string();
}

}  // namespace testing_support
