#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fuzzing {
namespace {

// Targets write a file for every input, so memory-backed /dev/shm is
// preferred to a disk; TMPDIR, when set, wins.
std::string baseDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  if (tmp != nullptr && *tmp != '\0') return tmp;
  if (::access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
  return "/tmp";
}

std::string makeWorkDirectory() {
  std::string pattern = baseDirectory() + "/korvex-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("korvex fuzz: cannot create a working directory");
    std::abort();
  }
  return pattern;
}

// Removed at exit; a run that crashes leaves it behind with its files.
struct WorkDirectory {
  std::string path = makeWorkDirectory();
  ~WorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& workDirectory() {
  static const WorkDirectory directory;
  return directory.path;
}

std::string workFile(std::string_view name) {
  return workDirectory() + "/" + std::string(name);
}

void writeBytes(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool written = fd >= 0;
  for (std::size_t done = 0; written && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    written = n > 0;
    if (written) done += static_cast<std::size_t>(n);
  }
  if (fd >= 0) ::close(fd);
  if (!written) {
    std::perror(("korvex fuzz: cannot write " + path).c_str());
    std::abort();
  }
}

void check(bool condition, std::string_view what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace fuzzing
