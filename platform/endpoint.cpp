#include "platform/endpoint.h"

#include <dirent.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>

#include "platform/endpoint_internal.h"
#include "platform/files.h"
#include "platform/text.h"

namespace platform {

using endpoint_detail::ConnectResult;
using endpoint_detail::UniqueFd;

namespace {

constexpr int kListenBacklog = 64;
constexpr size_t kMaxLinkNameLength = 200;
constexpr int kHandleAttempts = 64;

std::mutex& registryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<EndpointState*>& registry() {
  static std::vector<EndpointState*> endpoints;
  return endpoints;
}

std::string envValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string hex8(uint32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08x", value);
  return buffer;
}

uint64_t fnv1a64(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::string socketName(WindowHandle window) {
  return "w" + hex8(static_cast<uint32_t>(window));
}

// The handle a socket name stands for; 0 when the name is not one of ours.
WindowHandle handleOfSocketName(std::string_view name) {
  if (name.size() != 9 || name[0] != 'w') return 0;
  uint32_t value = 0;
  for (char c : name.substr(1)) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return 0;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value <= 0x7fffffffu ? static_cast<WindowHandle>(value) : 0;
}

std::string titleLinkName(std::string_view title) {
  std::string name = "t.";
  for (unsigned char c : title) {
    if (c == '/' || c == '%' || c == 0) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      name += escaped;
    } else {
      name += static_cast<char>(c);
    }
  }
  if (name.size() > kMaxLinkNameLength) {
    char hashed[20];
    std::snprintf(hashed, sizeof hashed, "%016llx",
                  static_cast<unsigned long long>(fnv1a64(title)));
    name = std::string("t.#") + hashed;
  }
  return name;
}

std::string readLink(const std::string& path) {
  char buffer[256];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
  return n > 0 && static_cast<size_t>(n) < sizeof buffer
             ? std::string(buffer, static_cast<size_t>(n))
             : std::string();
}

// Removes the link only while it still names the expected socket, so a link
// another process has just re-pointed survives.
void unlinkIfPointsTo(const std::string& link, const std::string& target) {
  if (readLink(link) == target) ::unlink(link.c_str());
}

// Points link at target atomically, replacing whatever link was there.
bool pointLink(const std::string& directory, const std::string& link, const std::string& target) {
  const std::string temp = directory + "/l." + target.substr(1);
  if (::symlink(target.c_str(), temp.c_str()) != 0) {
    // A leftover of a crash of an earlier holder of this handle.
    if (errno != EEXIST || ::unlink(temp.c_str()) != 0 ||
        ::symlink(target.c_str(), temp.c_str()) != 0) {
      return false;
    }
  }
  if (::rename(temp.c_str(), link.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size());
  return true;
}

WindowHandle randomHandle() {
  thread_local std::mt19937 generator(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
  return std::uniform_int_distribution<WindowHandle>(1, 0x7fffffff)(generator);
}

// Creates a listening socket under a private name, then links it in as
// w<hex> for a handle nobody holds. Listening before the socket becomes
// visible means nobody can mistake it for a dead process's socket.
UniqueFd createListener(const std::string& directory, WindowHandle& handle) {
  static std::atomic<unsigned> counter{0};
  const std::string temp =
      directory + "/b." + std::to_string(::getpid()) + "." + std::to_string(++counter);
  sockaddr_un address;
  if (!fillAddress(temp, address)) throwSystemError("use endpoint directory", directory);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) throwSystemError("create a socket in", directory);
  auto bindTemp = [&] {
    return ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  };
  // A name in use is a leftover of a crashed process that had our pid.
  const bool bound =
      bindTemp() || (errno == EADDRINUSE && ::unlink(temp.c_str()) == 0 && bindTemp());
  if (!bound || ::listen(fd.get(), kListenBacklog) != 0) {
    ::unlink(temp.c_str());
    throwSystemError("create endpoint", temp);
  }
  for (int attempt = 0; attempt < kHandleAttempts; ++attempt) {
    handle = randomHandle();
    const std::string path = directory + "/" + socketName(handle);
    if (::link(temp.c_str(), path.c_str()) == 0) {
      ::unlink(temp.c_str());
      return fd;
    }
    if (errno != EEXIST) break;
  }
  const int saved = errno;
  ::unlink(temp.c_str());
  errno = saved;
  throwSystemError("create endpoint in", directory);
}

// The socket of another endpoint of this process with the same title link,
// which takes the title over when its holder lets it go; empty when none.
std::string otherHolderOf(const std::string& link, const EndpointState* except) {
  std::lock_guard lock(registryMutex());
  for (const EndpointState* state : registry()) {
    if (state != except && state->titleLink == link) return state->socketName;
  }
  return {};
}

void releaseTitle(EndpointState& state) {
  if (state.titleLink.empty()) return;
  const std::string link = std::exchange(state.titleLink, std::string());
  if (readLink(link) != state.socketName) return;
  const std::string heir = otherHolderOf(link, &state);
  if (!heir.empty()) {
    pointLink(state.directory, link, heir);
  } else {
    ::unlink(link.c_str());
  }
}

bool isPrivateDirectory(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & 077) == 0;
}

bool processIsGone(std::string_view pidText) {
  const long pid = std::strtol(std::string(pidText).c_str(), nullptr, 10);
  return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

namespace endpoint_detail {

ConnectResult connectSocket(const std::string& path, UniqueFd& fd) {
  sockaddr_un address;
  if (!fillAddress(path, address)) return ConnectResult::NoEndpoint;
  fd = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return ConnectResult::NoEndpoint;
  if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    return ConnectResult::Connected;
  }
  const int error = errno;
  fd.reset();
  if (error == EAGAIN || error == EINTR) return ConnectResult::Busy;
  if (error == ECONNREFUSED) ::unlink(path.c_str());
  return ConnectResult::NoEndpoint;
}

bool peerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
         credentials.uid == ::geteuid();
}

std::vector<EndpointState*> threadEndpoints() {
  const auto self = std::this_thread::get_id();
  std::vector<EndpointState*> mine;
  std::lock_guard lock(registryMutex());
  for (EndpointState* state : registry()) {
    if (state->owner == self) mine.push_back(state);
  }
  return mine;
}

WindowProc threadEndpointProc(WindowHandle window) {
  const auto self = std::this_thread::get_id();
  std::lock_guard lock(registryMutex());
  for (EndpointState* state : registry()) {
    if (state->handle == window && state->owner == self) return state->proc;
  }
  return {};
}

}  // namespace endpoint_detail

std::string endpointDirectory() {
  std::string directory = envValue("KORVEX_ENDPOINT_DIR");
  if (directory.empty() && !envValue("XDG_RUNTIME_DIR").empty()) {
    directory = envValue("XDG_RUNTIME_DIR") + "/korvex-mini";
  }
  if (directory.empty()) {
    std::string temp = envValue("TMPDIR");
    if (temp.empty()) temp = "/tmp";
    directory = withoutTrailingSlashes(temp) + "/korvex-mini-" + std::to_string(::geteuid());
  }
  directory = withoutTrailingSlashes(directory);
  struct stat info;
  if (::lstat(directory.c_str(), &info) != 0 && ::mkdir(directory.c_str(), 0700) != 0 &&
      errno != EEXIST) {
    throwSystemError("create endpoint directory", directory);
  }
  if (!isPrivateDirectory(directory)) {
    throw FileError("cannot use endpoint directory " + directory +
                    ": not a private directory of this user");
  }
  return directory;
}

std::string endpointSocketPath(WindowHandle window) {
  return endpointDirectory() + "/" + socketName(window);
}

uint32_t registerWindowMessage(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : upperCase(name)) hash = (hash ^ c) * 16777619u;
  return 0xC000u + hash % 0x4000u;
}

Endpoint::Endpoint(std::string_view title, WindowProc proc)
    : state_(std::make_unique<EndpointState>()) {
  state_->directory = endpointDirectory();
  state_->listener = createListener(state_->directory, state_->handle);
  state_->socketName = socketName(state_->handle);
  state_->proc = std::move(proc);
  state_->owner = std::this_thread::get_id();
  {
    std::lock_guard lock(registryMutex());
    registry().push_back(state_.get());
  }
  setTitle(title);
}

Endpoint::~Endpoint() {
  {
    std::lock_guard lock(registryMutex());
    std::erase(registry(), state_.get());
  }
  releaseTitle(*state_);
  // Unlinked before closing, so a refused connection always means a dead
  // owner and may be cleaned up.
  ::unlink((state_->directory + "/" + state_->socketName).c_str());
}

WindowHandle Endpoint::handle() const {
  return state_->handle;
}

const std::string& Endpoint::title() const {
  return state_->title;
}

bool Endpoint::setTitle(std::string_view title) {
  const std::string link = state_->directory + "/" + titleLinkName(title);
  if (link == state_->titleLink && readLink(link) == state_->socketName) {
    state_->title = title;
    return true;
  }
  const bool published = pointLink(state_->directory, link, state_->socketName);
  if (link != state_->titleLink) releaseTitle(*state_);
  state_->title = title;
  state_->titleLink = published ? link : std::string();
  return published;
}

WindowHandle findWindow(std::string_view title) {
  std::string directory;
  try {
    directory = endpointDirectory();
  } catch (const FileError&) {
    return 0;
  }
  const std::string link = directory + "/" + titleLinkName(title);
  const std::string target = readLink(link);
  const WindowHandle window = handleOfSocketName(target);
  if (window == 0) return 0;
  UniqueFd probe;
  switch (endpoint_detail::connectSocket(directory + "/" + target, probe)) {
    case ConnectResult::Connected:
      return endpoint_detail::peerIsSameUser(probe.get()) ? window : 0;
    case ConnectResult::Busy:
      return window;
    case ConnectResult::NoEndpoint:
      break;
  }
  unlinkIfPointsTo(link, target);
  return 0;
}

void removeStaleEndpoints() {
  std::string directory;
  try {
    directory = endpointDirectory();
  } catch (const FileError&) {
    return;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
  // Sockets first: removing a dead one leaves its links dangling, and those
  // go in the same sweep.
  std::stable_partition(names.begin(), names.end(),
                        [](const std::string& name) { return handleOfSocketName(name) != 0; });
  for (const std::string& name : names) {
    const std::string path = directory + "/" + name;
    struct stat info;
    if (handleOfSocketName(name) != 0) {
      UniqueFd probe;
      endpoint_detail::connectSocket(path, probe);  // removes the socket when refused
    } else if ((name.starts_with("t.") || name.starts_with("l.")) &&
               ::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
      ::unlink(path.c_str());
    } else if (name.starts_with("b.") &&
               processIsGone(std::string_view(name).substr(2, name.find('.', 2) - 2))) {
      ::unlink(path.c_str());
    }
  }
}

}  // namespace platform
