#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "platform/unique_fd.h"
#include "tests/support/test_support.h"

namespace platform {
namespace {

using testing_support::readBytes;
using testing_support::TempDir;

// Makes dir the current directory for the test's lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

// Names of the entries of dir, to prove no temporary file was left behind.
std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Child bodies of the death tests below: exit 0 when writeFileAtomic failed
// as it should.
[[noreturn]] void writeAsNobody(const std::string& path) {
  if (::geteuid() == 0 && ::setuid(65534) != 0) _exit(3);
  try {
    writeFileAtomic(path, "new");
  } catch (const FileError&) {
    _exit(0);
  }
  _exit(1);
}

// A file size limit makes the write itself fail half way.
[[noreturn]] void writeBeyondSizeLimit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{1024, 1024};
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
  try {
    writeFileAtomic(path, std::string(4096, 'x'));
  } catch (const FileError& error) {
    _exit(std::string(error.what()) == "cannot write " + path + ": File too large" ? 0 : 2);
  }
  _exit(1);
}

TEST(Files, ResolvePathFindsNamesIgnoringCase) {
  TempDir dir;
  dir.write("Src/Sub/mixedCase.pas", "x");
  dir.write("Exact/file.txt", "lower");
  dir.write("Exact/FILE.txt", "upper");
  const std::string root = dir.path();
  struct Row {
    std::string path;
    std::optional<std::string> expected;
    const char* why;
  } rows[] = {
      {root + "/SRC/SUB/MIXEDCASE.PAS", root + "/Src/Sub/mixedCase.pas", "upper-cased name"},
      {root + "\\SRC\\SUB\\MIXEDCASE.PAS", root + "/Src/Sub/mixedCase.pas", "backslashes"},
      {root + "/src\\Sub/MixedCase.pas", root + "/Src/Sub/mixedCase.pas", "mixed separators"},
      {root + "/SRC/SUB", root + "/Src/Sub", "a directory"},
      {root + "/Exact/file.txt", root + "/Exact/file.txt", "exact spelling wins"},
      {root + "/Exact/FILE.txt", root + "/Exact/FILE.txt", "exact spelling wins"},
      {root + "/EXACT/File.txt", root + "/Exact/FILE.txt", "else the first in byte order"},
      {root + "/SRC/NOPE/mixedCase.pas", std::nullopt, "a missing directory"},
      {root + "/SRC/SUB/nope.pas", std::nullopt, "a missing file"},
      {root + "/Src/Sub/mixedCase.pas/x", std::nullopt, "a file used as a directory"},
      {"", std::nullopt, "empty name"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, resolvePath(row.path));
    // The same file, when it is a regular one, with its size.
    const std::optional<RegularFile> file = findRegularFile(row.path);
    const bool regular = row.expected && std::filesystem::is_regular_file(*row.expected);
    ASSERT_EQ(regular, file.has_value());
    if (regular) {
      EXPECT_EQ(*row.expected, file->path);
      EXPECT_EQ(std::filesystem::file_size(*row.expected), file->size);
    }
  }
  CurrentDirectory inside(root);
  EXPECT_EQ("Src/Sub/mixedCase.pas", resolvePath("src\\SUB\\MIXEDCASE.PAS"));
  EXPECT_EQ("./Src/Sub/mixedCase.pas", resolvePath(".\\SRC/sub/mixedcase.PAS"));
  EXPECT_TRUE(fileExists("SRC\\SUB\\MIXEDCASE.PAS"));
  EXPECT_FALSE(fileExists("SRC/SUB"));
  EXPECT_TRUE(directoryExists("SRC/SUB"));
  EXPECT_FALSE(directoryExists("SRC/SUB/MIXEDCASE.PAS"));
}

TEST(Files, ResolvePathForWritingKeepsTheNewNameButFindsItsDirectory) {
  TempDir dir;
  dir.write("Out/old.rtf", "x");
  const std::string root = dir.path();
  EXPECT_EQ(root + "/Out/old.rtf", resolvePathForWriting(root + "\\OUT\\OLD.RTF"));
  EXPECT_EQ(root + "/Out/NEW.RTF", resolvePathForWriting(root + "\\OUT\\NEW.RTF"));
  EXPECT_EQ(root + "/NONE/NEW.RTF", resolvePathForWriting(root + "\\NONE\\NEW.RTF"));
  EXPECT_EQ("bare.txt", resolvePathForWriting("bare.txt"));
}

TEST(Files, ReadFileReportsTheFileAndTheReason) {
  TempDir dir;
  dir.write("Data.bin", std::string("a\0b\r\n", 5));
  EXPECT_EQ(std::string("a\0b\r\n", 5), readFile(dir.file("DATA.BIN")));
  EXPECT_THROW_MSG(readFile(dir.file("gone")), FileError,
                   "cannot open " + dir.file("gone") + ": No such file or directory");
  // The reason is the path's own, not that of the search ignoring case.
  EXPECT_THROW_MSG(readFile(dir.file("Data.bin/x")), FileError,
                   "cannot open " + dir.file("Data.bin/x") + ": Not a directory");
}

TEST(Files, ReadFileIntoReusesTheBufferAndReadsFilesWithoutASize) {
  TempDir dir;
  std::string bytes;
  const auto read = [&](const std::string& path) {
    return bytes.substr(0, readFileInto(path, bytes));
  };
  EXPECT_EQ(read(dir.write("big.txt", std::string(100000, 'x'))), std::string(100000, 'x'));
  EXPECT_EQ(read(dir.write("small.txt", "ab")), "ab");
  EXPECT_EQ(read(dir.write("empty.txt", "")), "");
  EXPECT_GE(bytes.size(), 100000u) << "the buffer keeps its room";
  // Files of /proc report size 0 and still have bytes.
  EXPECT_NE(read("/proc/self/status").find("Name:"), std::string::npos);
}

TEST(Files, WriteFileAtomicReplacesContentAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.write("Korvex.ini", "old");
  ::chmod(path.c_str(), 0600);
  writeFileAtomic(dir.file("KORVEX.INI"), "new");
  EXPECT_EQ("new", readBytes(path));
  struct stat info;
  ASSERT_EQ(0, ::stat(path.c_str(), &info));
  EXPECT_EQ(0600u, info.st_mode & 0777);
  EXPECT_EQ(std::vector<std::string>{"Korvex.ini"}, entries(dir.path()));

  // The temporary name must not grow with the target's: 250 bytes still fit.
  const std::string longName(250, 'n');
  writeFileAtomic(dir.file(longName), "long");
  EXPECT_EQ("long", readBytes(dir.file(longName)));
}

TEST(Files, WriteFileAtomicKeepsTheOldFileWhenTheDirectoryIsReadOnly) {
  TempDir dir;
  const std::string locked = dir.path() + "/locked";
  const std::string path = dir.write("locked/keep.ini", "old");
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(locked.c_str(), 0555);
  // Root may write anywhere, so the write runs in a child without privileges.
  EXPECT_EXIT(writeAsNobody(path), testing::ExitedWithCode(0), "");
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ("old", readBytes(path));
  EXPECT_EQ(std::vector<std::string>{"keep.ini"}, entries(locked));
}

TEST(Files, WriteFileAtomicKeepsTheOldFileWhenTheWriteFails) {
  TempDir dir;
  const std::string path = dir.write("keep.ini", "old");
  EXPECT_EXIT(writeBeyondSizeLimit(path), testing::ExitedWithCode(0), "");
  EXPECT_EQ("old", readBytes(path));
  EXPECT_EQ(std::vector<std::string>{"keep.ini"}, entries(dir.path()));
}

TEST(Files, TextFileWriterEndsLinesWithCrLf) {
  TempDir dir;
  dir.write("Out/placeholder", "");
  {
    TextFileWriter writer(dir.path() + "\\OUT\\Help.rtf");
    writer.write("{\\rtf1");
    writer.writeLine("");
    writer.writeLine("line");
    writer.close();
    EXPECT_THROW(writer.write("late"), FileError);
  }
  EXPECT_EQ("{\\rtf1\r\nline\r\n", readBytes(dir.file("Out/Help.rtf")));
  EXPECT_THROW_MSG(TextFileWriter(dir.file("missing/x.rtf")), FileError,
                   "cannot create " + dir.file("missing/x.rtf") + ": No such file or directory");
}

TEST(Files, TextFileWriterKeepsEveryByteAndReportsAFailedWrite) {
  TempDir dir;
  // Pieces of every size around the writer's buffer, in an order no
  // buffer boundary lines up with.
  std::string expected;
  {
    TextFileWriter writer(dir.file("big.rtf"));
    constexpr size_t buffer = TextFileWriter::kDirectWriteBytes;
    for (size_t size : {size_t{1}, buffer + 4464, size_t{3}, buffer - 3, buffer, size_t{0},
                        2 * buffer + 1, size_t{17}}) {
      const std::string piece(size, static_cast<char>('a' + size % 26));
      writer.writeLine(piece);
      expected += piece + "\r\n";
    }
    writer.write("unclosed");  // the destructor writes what is left
    expected += "unclosed";
  }
  EXPECT_EQ(expected, readBytes(dir.file("big.rtf")));

  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  TextFileWriter full("/dev/full");
  full.writeLine("short");
  EXPECT_THROW_MSG(full.close(), FileError, "cannot write /dev/full: No space left on device");
  EXPECT_THROW(full.write("after"), FileError);
  TextFileWriter fuller("/dev/full");
  EXPECT_THROW(fuller.write(std::string(2 * TextFileWriter::kDirectWriteBytes, 'x')), FileError);
}

// Progress lines written through a descriptor's buffer arrive whole and in
// order, across the buffer's edges and with what the destructor writes; a
// descriptor that cannot be written makes the stream bad.
TEST(Files, DescriptorOutputBufferKeepsEveryByteAndReportsAFailedWrite) {
  TempDir dir;
  const std::string path = dir.file("progress.txt");
  std::string expected;
  {
    const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    ASSERT_TRUE(fd);
    DescriptorOutputBuffer buffer(fd.get());
    std::ostream out(&buffer);
    for (int i = 0; i < 20000; ++i) {
      const std::string line = "Adding unit " + std::to_string(i) + '\n';
      out << line;
      expected += line;
    }
    const std::string piece(100000, 'p');  // larger than the buffer
    out << piece;
    expected += piece;
    out.flush();
    EXPECT_TRUE(out.good());
    out << "left for the destructor";
    expected += "left for the destructor";
  }
  EXPECT_EQ(expected, readBytes(path));

  const UniqueFd readOnly(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  DescriptorOutputBuffer failing(readOnly.get());
  std::ostream out(&failing);
  out << std::string(70000, 'x');
  EXPECT_TRUE(out.bad());
}

// Rewriting an output replaces the file (so the file system need not force
// the new data out on close), keeping its permissions; a file with another
// link, or behind a symbolic link, is written in place so every name sees
// the new text.
TEST(Files, TextFileWriterReplacesAnOldFileAndKeepsItsLinks) {
  TempDir dir;
  const std::string plain = dir.write("plain.rtf", "old text, longer than the new");
  ASSERT_EQ(0, ::chmod(plain.c_str(), 0640));
  const std::string linked = dir.write("linked.rtf", "old");
  const std::string second = dir.file("second.rtf");
  ASSERT_EQ(0, ::link(linked.c_str(), second.c_str()));
  const std::string target = dir.write("target.rtf", "old");
  const std::string symbolic = dir.file("symbolic.rtf");
  ASSERT_EQ(0, ::symlink(target.c_str(), symbolic.c_str()));

  for (const std::string& path : {plain, linked, symbolic}) {
    TextFileWriter writer(path);
    writer.writeLine("new");
    writer.close();
  }
  EXPECT_EQ("new\r\n", readBytes(plain));
  struct stat info {};
  ASSERT_EQ(0, ::stat(plain.c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 07777);
  EXPECT_EQ("new\r\n", readBytes(second));
  EXPECT_EQ("new\r\n", readBytes(target));
  ASSERT_EQ(0, ::lstat(symbolic.c_str(), &info));
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(Files, PathPartsAcceptBothSeparators) {
  EXPECT_EQ("Unit.pas", extractFileName("C:\\Src/Unit.pas"));
  EXPECT_EQ("C:\\Src/", extractFilePath("C:\\Src/Unit.pas"));
  EXPECT_EQ("", extractFilePath("Unit.pas"));
  EXPECT_EQ("C:\\Src\\Unit.rtf", changeFileExt("C:\\Src\\Unit.pas", ".rtf"));
  EXPECT_EQ("C:\\v1.2\\Unit.rtf", changeFileExt("C:\\v1.2\\Unit", ".rtf"));
}

TEST(Files, MatchesMaskIgnoresCase) {
  struct Row {
    const char* name;
    const char* mask;
    bool expected;
  } rows[] = {
      {"English.LNF", "*.lnf", true},
      {"a.lnf.bak", "*.lnf", false},
      {"Unit1.pas", "unit?.PAS", true},
      {"Unit10.pas", "unit?.pas", false},
      {"x", "*", true},
      {"", "*", true},
      {"abc", "a*b*c", true},
      {"ab", "a*b*c", false},
      {"\xE9t\xE9", "\xC9T\xC9", true},  // accented letters fold too
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " ~ " + row.mask);
    EXPECT_EQ(row.expected, matchesMask(row.name, row.mask));
  }
}

}  // namespace
}  // namespace platform
