#include "tests/support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvex-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create temp dir");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
  const std::string path = file(name);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  writeBytes(path, bytes);
  return path;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string sourceDir() {
  const char* dir = std::getenv("KORVEX_SOURCE_DIR");
  return dir ? dir : KORVEX_SOURCE_DIR_DEFAULT;
}

}  // namespace testing_support
