// Files and paths on a case-sensitive file system for programs written with
// Windows paths in mind.
//
// Input paths may separate directories with '\' or '/'. A name that does not
// exist as given is looked up component by component ignoring case (switch
// values arrive upper-cased); when several entries match, the exact spelling
// wins, else the first in byte order. Paths we build use '/'.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {

// A failing system call; what() reads "cannot <verb> <object>: <reason>".
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void throwSystemError(std::string_view verb, std::string_view object);

// Turns every '\' into '/'.
std::string normalizeSeparators(std::string_view path);

// The existing file or directory the path names, found ignoring case where
// the exact spelling does not exist; nullopt when there is none.
std::optional<std::string> resolvePath(std::string_view path);

// Where to write the path: the existing file found ignoring case, else the
// file name as given inside its directory found ignoring case (so a new file
// gets the spelling asked for), else the path as given.
std::string resolvePathForWriting(std::string_view path);

// True when the path (resolved ignoring case) names a regular file.
bool fileExists(std::string_view path);
// The regular file the path names (resolved ignoring case, as resolvePath
// does) and its size; nullopt when there is none. One system call when the
// path is spelled as on disk.
struct RegularFile {
  std::string path;
  std::uintmax_t size = 0;
};
std::optional<RegularFile> findRegularFile(std::string_view path);
bool directoryExists(std::string_view path);

// Reads the whole file (resolved ignoring case). Throws FileError.
std::string readFile(std::string_view path);
// Reads the whole file into the front of `buffer` and returns its size, for
// callers that read many files one after another: the buffer only grows, and
// the bytes past the file's are left as they were (growing it writes zeros).
size_t readFileInto(std::string_view path, std::string& buffer);

// Writes bytes to a temporary file beside the target and renames it over the
// target, so the old file stays whole when anything fails. An existing file
// keeps its permission bits. Throws FileError.
void writeFileAtomic(std::string_view path, std::string_view bytes);

// Deletes the file; true when it no longer exists afterwards.
bool deleteFile(std::string_view path);

// The directory of the running executable, ending in '/'.
std::string programDirectory();
// The current directory, without a trailing separator.
std::string currentDirectory();

// The last path component, after the last '\' or '/'.
std::string extractFileName(std::string_view path);
// Everything up to and including the last separator (empty when none).
std::string extractFilePath(std::string_view path);
// The path with its extension (from the last '.' of the file name) replaced;
// the new extension includes its dot.
std::string changeFileExt(std::string_view path, std::string_view extension);

// True when name matches the wildcard mask ('*' any run, '?' one byte),
// ignoring case as file names on the original platform do.
bool matchesMask(std::string_view name, std::string_view mask);

// A buffered text file that ends every line with CR LF. Move-only; closes on
// destruction. Throws FileError when the file cannot be created or written.
class TextFileWriter {
 public:
  explicit TextFileWriter(std::string_view path);
  ~TextFileWriter();
  TextFileWriter(TextFileWriter&& other) noexcept;
  TextFileWriter& operator=(TextFileWriter&&) = delete;
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  // Text of kDirectWriteBytes or more goes to the file without a copy (after
  // what the buffer holds).
  static constexpr size_t kDirectWriteBytes = 1 << 18;

  void write(std::string_view text);
  void writeLine(std::string_view line);
  // Flushes and closes; reports a failed write. Called by the destructor too,
  // which swallows the error, so call it where the error matters.
  void close();

 private:
  // Writes out what the buffer holds.
  void flush();
  // Closes the replaced file's last descriptor on a thread of its own.
  void discardInBackground(int fd);

  // Writes of 256 KB: the kernel spends less on a few large writes than on
  // many 64 KB ones (a large build's system time 65 to 130 ms less, its wall
  // time 1 to 4 %; 512 KB and 2 MB were slower again), and the buffer stays
  // in the processor's cache. It is filled by hand: a page build writes
  // millions of short lines, and stdio's per-call work showed in its profile.
  static constexpr size_t kBufferBytes = kDirectWriteBytes;
  std::unique_ptr<char[]> buffer_;
  size_t buffered_ = 0;
  std::string path_;
  int fd_ = -1;
  // Frees the replaced file while this one is written; joined on close.
  std::thread discarding_;
};

// An output stream buffer that writes to a file descriptor it does not own,
// 64 KB at a time: std::cout, once unsynchronized with C stdio, writes 8 KB
// at a time, and a large build prints tens of MB of progress lines. A failed
// write drops what the buffer held and makes the stream bad, as std::cout's
// would. The destructor writes what is left.
class DescriptorOutputBuffer final : public std::streambuf {
 public:
  explicit DescriptorOutputBuffer(int fd);
  ~DescriptorOutputBuffer() override;
  DescriptorOutputBuffer(const DescriptorOutputBuffer&) = delete;
  DescriptorOutputBuffer& operator=(const DescriptorOutputBuffer&) = delete;

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes out what the buffer holds and empties it; false when a write
  // failed.
  bool writeBuffered();

  static constexpr size_t kBufferBytes = 1 << 16;
  int fd_;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace platform
