#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/text.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

bool pathExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> splitComponents(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The entry of directory dir whose name equals wanted ignoring case: the exact
// spelling first, else the first match in byte order.
std::optional<std::string> findEntryIgnoringCase(const std::string& dir,
                                                 const std::string& wanted) {
  std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.empty() ? "." : dir.c_str()),
                                             ::closedir);
  if (!handle) return std::nullopt;
  std::optional<std::string> best;
  while (dirent* entry = ::readdir(handle.get())) {
    std::string name = entry->d_name;
    if (name == wanted) return name;
    if (sameText(name, wanted) && (!best || name < *best)) best = name;
  }
  return best;
}

std::string AddSeparator(const std::string& directory) {
  return directory.empty() || directory.back() == '/' ? directory : directory + "/";
}

}  // namespace

void throwSystemError(std::string_view verb, std::string_view object) {
  throw FileError("cannot " + std::string(verb) + " " + std::string(object) + ": " +
                  std::strerror(errno));
}

std::string normalizeSeparators(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::optional<std::string> resolvePath(std::string_view path) {
  if (path.empty()) return std::nullopt;
  std::string normal = normalizeSeparators(path);
  if (pathExists(normal)) return normal;
  const bool absolute = normal.front() == '/';
  std::string resolved = absolute ? "/" : "";
  for (const std::string& part : splitComponents(normal)) {
    const std::string dir = resolved;
    std::string candidate = dir + part;
    if (part == "." || part == ".." || pathExists(candidate)) {
      resolved = candidate + "/";
      continue;
    }
    auto entry = findEntryIgnoringCase(dir, part);
    if (!entry) return std::nullopt;
    resolved = dir + *entry + "/";
  }
  if (resolved.size() > 1) resolved.pop_back();
  return resolved;
}

bool fileExists(std::string_view path) {
  auto resolved = resolvePath(path);
  struct stat info;
  return resolved && ::stat(resolved->c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<RegularFile> findRegularFile(std::string_view path) {
  const auto asRegularFile = [](std::string name) -> std::optional<RegularFile> {
    struct stat info;
    if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return RegularFile{std::move(name), static_cast<std::uintmax_t>(info.st_size)};
  };
  if (path.empty()) return std::nullopt;
  if (auto file = asRegularFile(normalizeSeparators(path))) return file;
  // Not there as spelled: resolving finds the same path again when it names
  // something other than a regular file, and that stays no file.
  const std::optional<std::string> resolved = resolvePath(path);
  return resolved ? asRegularFile(*resolved) : std::nullopt;
}

bool directoryExists(std::string_view path) {
  auto resolved = resolvePath(path);
  struct stat info;
  return resolved && ::stat(resolved->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

size_t readFileInto(std::string_view path, std::string& bytes) {
  // Opened as spelled first: resolving ignoring case would ask the file
  // system about the path before every read, and a path that opens is the
  // path resolving finds.
  UniqueFd fd(::open(normalizeSeparators(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    const int notOpened = errno;
    std::optional<std::string> resolved;
    if (notOpened == ENOENT || notOpened == ENOTDIR) resolved = resolvePath(path);
    if (resolved) {
      fd = UniqueFd(::open(resolved->c_str(), O_RDONLY | O_CLOEXEC));
    } else {
      errno = notOpened;  // the reason the path as spelled did not open
    }
  }
  if (!fd) throwSystemError("open", path);
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) throwSystemError("read", path);
  // Read into the room the size promises. A regular file is read as large
  // as it was when opened, without a last read to find its end; anything
  // else (or a file of size 0, as in /proc) is read to its end, growing the
  // room as needed.
  const auto expected = info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
  const bool sized = S_ISREG(info.st_mode) && expected > 0;
  if (bytes.size() < expected + 1) bytes.resize(expected + 1);
  size_t got = 0;
  while (!sized || got < expected) {
    if (got == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throwSystemError("read", path);
    }
    got += static_cast<size_t>(n);
  }
  return got;
}

std::string readFile(std::string_view path) {
  std::string bytes;
  bytes.resize(readFileInto(path, bytes));
  return bytes;
}

std::string resolvePathForWriting(std::string_view path) {
  if (auto existing = resolvePath(path)) return *existing;
  const std::string normal = normalizeSeparators(path);
  const std::string directory = extractFilePath(normal);
  if (directory.empty()) return normal;
  auto resolved = resolvePath(directory);
  if (!resolved) return normal;
  return AddSeparator(*resolved) + extractFileName(normal);
}

void writeFileAtomic(std::string_view path, std::string_view bytes) {
  const std::string target = resolvePathForWriting(path);
  // A short fixed name, so that a target whose own name is near the length
  // limit can still be written.
  std::string temp = extractFilePath(target) + ".korvex-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throwSystemError("create a temporary file for", path);
  auto fail = [&](std::string_view verb) {
    const int saved = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    throwSystemError(verb, path);
  };
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("write");
    written += static_cast<size_t>(n);
  }
  struct stat old;
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  // Without the sync a crash soon after the rename can leave an empty file on
  // some file systems, which is worse than the old one.
  if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) fail("write");
  if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    throwSystemError("write", path);
  }
}

bool deleteFile(std::string_view path) {
  auto resolved = resolvePath(path);
  if (!resolved) return true;
  ::unlink(resolved->c_str());
  return !pathExists(*resolved);
}

std::string programDirectory() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return "./";
  buffer.resize(static_cast<size_t>(n));
  return extractFilePath(buffer);
}

std::string currentDirectory() {
  std::string buffer(4096, '\0');
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return ".";
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

std::string extractFileName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string extractFilePath(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string changeFileExt(std::string_view path, std::string_view extension) {
  const size_t slash = path.find_last_of("\\/");
  const size_t dot = path.find_last_of('.');
  const bool hasExt =
      dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  return std::string(hasExt ? path.substr(0, dot) : path) + std::string(extension);
}

bool matchesMask(std::string_view name, std::string_view mask) {
  // Iterative glob match with one backtrack point: linear in practice and
  // never exponential, whatever the mask.
  size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || upperChar(mask[m]) == upperChar(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

namespace {

// Writes all of text to fd, however many system calls it takes; false when
// one fails (errno tells why).
bool writeWhole(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void writeAll(int fd, std::string_view text, const std::string& path) {
  if (!writeWhole(fd, text)) throwSystemError("write", path);
}

}  // namespace

TextFileWriter::TextFileWriter(std::string_view path) : path_(resolvePathForWriting(path)) {
  // An existing file is replaced by a new one with its permissions rather
  // than emptied in place: ext4 forces the data written into an emptied file
  // to disk when it is closed, which makes a build that rewrites its large
  // output wait for the disk. A file with other links, or one that cannot
  // be removed, is emptied as before.
  struct stat old {};
  UniqueFd held;
  bool replace = false;
  if (::lstat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode) && old.st_nlink == 1) {
    // Held open while its name goes, the old file is freed only when its
    // last descriptor closes: freeing a file of hundreds of megabytes keeps
    // the file system busy for a quarter of a second, which is better spent
    // on a thread of its own while the new file is written.
    held = UniqueFd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    replace = ::unlink(path_.c_str()) == 0;
  }
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) throwSystemError("create", path);
  if (replace) ::fchmod(fd_, old.st_mode & 07777);
  buffer_ = std::make_unique_for_overwrite<char[]>(kBufferBytes);
  if (replace && held) discardInBackground(held.release());
}

void TextFileWriter::discardInBackground(int fd) {
  try {
    discarding_ = std::thread([fd] { ::close(fd); });
  } catch (const std::system_error&) {
    ::close(fd);  // no thread to be had: freed here
  }
}

TextFileWriter::TextFileWriter(TextFileWriter&& other) noexcept
    : buffer_(std::move(other.buffer_)),
      buffered_(std::exchange(other.buffered_, 0)),
      path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      discarding_(std::move(other.discarding_)) {}

TextFileWriter::~TextFileWriter() {
  try {
    close();
  } catch (const FileError&) {
    // The destructor cannot report it; callers that care call close().
  }
}

void TextFileWriter::write(std::string_view text) {
  if (fd_ < 0) throw FileError("cannot write " + path_ + ": the file is closed");
  if (text.size() > kBufferBytes - buffered_) {
    flush();
    if (text.size() >= kBufferBytes) {
      writeAll(fd_, text, path_);
      return;
    }
  }
  std::memcpy(buffer_.get() + buffered_, text.data(), text.size());
  buffered_ += text.size();
}

void TextFileWriter::writeLine(std::string_view line) {
  write(line);
  write("\r\n");
}

void TextFileWriter::flush() {
  writeAll(fd_, std::string_view(buffer_.get(), std::exchange(buffered_, 0)), path_);
}

void TextFileWriter::close() {
  // However this ends, the replaced file is gone before it returns.
  struct JoinAtEnd {
    std::thread& thread;
    ~JoinAtEnd() {
      if (thread.joinable()) thread.join();
    }
  } joinAtEnd{discarding_};
  if (fd_ < 0) return;
  const int fd = std::exchange(fd_, -1);
  try {
    writeAll(fd, std::string_view(buffer_.get(), std::exchange(buffered_, 0)), path_);
  } catch (const FileError&) {
    ::close(fd);  // closed whether or not its last bytes could be written
    throw;
  }
  if (::close(fd) != 0) throwSystemError("write", path_);
}

DescriptorOutputBuffer::DescriptorOutputBuffer(int fd)
    : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kBufferBytes)) {
  setp(buffer_.get(), buffer_.get() + kBufferBytes);
}

DescriptorOutputBuffer::~DescriptorOutputBuffer() {
  writeBuffered();  // nobody is left to tell of a failure
}

DescriptorOutputBuffer::int_type DescriptorOutputBuffer::overflow(int_type c) {
  if (!writeBuffered()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int DescriptorOutputBuffer::sync() {
  return writeBuffered() ? 0 : -1;
}

bool DescriptorOutputBuffer::writeBuffered() {
  const std::string_view text(pbase(), static_cast<size_t>(pptr() - pbase()));
  setp(buffer_.get(), buffer_.get() + kBufferBytes);
  return writeWhole(fd_, text);
}

}  // namespace platform
