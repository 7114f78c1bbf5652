// Helpers shared by the test suites: temporary directories, file access and
// exception assertions that check the exact message.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh directory under the system temp dir, removed with its contents on
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;
  // Writes bytes to path()/name (creating parent directories); returns the path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, std::string_view bytes);

// The root of the source tree (for test data and scripts).
std::string sourceDir();

}  // namespace testing_support

// Expects statement to throw exactly type with what() equal to message.
#define EXPECT_THROW_MSG(statement, type, message)                                \
  do {                                                                            \
    try {                                                                         \
      statement;                                                                  \
      ADD_FAILURE() << "Expected " #statement " to throw " #type;                 \
    } catch (const type& error) {                                                 \
      EXPECT_EQ(std::string(message), std::string(error.what()));                 \
    } catch (...) {                                                               \
      ADD_FAILURE() << "Expected " #statement " to throw " #type ", got another"; \
    }                                                                             \
  } while (false)
