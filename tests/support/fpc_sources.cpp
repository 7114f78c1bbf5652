#include "tests/support/fpc_sources.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>

namespace testing_support {
namespace {

// Runs a command through the shell and returns its standard output lines;
// empty when it cannot be run.
std::vector<std::string> commandLines(const std::string& command) {
  std::vector<std::string> lines;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return lines;
  std::string line;
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
    if (c != '\n') {
      line += static_cast<char>(c);
    } else {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(line);
  ::pclose(pipe);
  return lines;
}

// Package names go into a shell command line, so only the characters Debian
// allows in them are accepted.
bool isPackageName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-';
  });
}

std::vector<std::string> installedSourcePackages() {
  std::vector<std::string> packages;
  for (const std::string& line : commandLines(
           "dpkg-query -W -f='${db:Status-Abbrev}|${Package}\\n' 'fpc-source*' 2>/dev/null")) {
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos || line.rfind("ii", 0) != 0) continue;
    const std::string name = line.substr(bar + 1);
    if (isPackageName(name)) packages.push_back(name);
  }
  return packages;
}

// The directories of a package's file list that hold both rtl/ and packages/.
void addSourceRoots(const std::string& package, std::vector<std::string>& roots) {
  const std::vector<std::string> lines = commandLines("dpkg -L " + package + " 2>/dev/null");
  const std::set<std::string> paths(lines.begin(), lines.end());
  for (const std::string& path : paths) {
    if (paths.count(path + "/rtl") != 0 && paths.count(path + "/packages") != 0) {
      std::error_code error;
      if (std::filesystem::is_directory(path + "/rtl", error)) roots.push_back(path);
    }
  }
}

std::optional<std::string> findSourceRoot() {
  std::vector<std::string> roots;
  for (const std::string& package : installedSourcePackages()) addSourceRoots(package, roots);
  if (roots.empty()) return std::nullopt;
  return *std::max_element(roots.begin(), roots.end());
}

bool hasExtension(const std::filesystem::path& path, const std::vector<std::string>& extensions) {
  const std::string extension = path.extension().string();
  return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& wanted) {
    return std::equal(extension.begin(), extension.end(), wanted.begin(), wanted.end(),
                      [](char a, char b) {
                        const auto lower = [](char c) {
                          return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
                        };
                        return lower(a) == lower(b);
                      });
  });
}

}  // namespace

std::optional<std::string> fpcSourceRoot() {
  static const std::optional<std::string> root = findSourceRoot();
  return root;
}

std::vector<std::string> fpcSourceFiles(const std::string& root,
                                        const std::vector<std::string>& extensions) {
  std::vector<std::string> files;
  std::error_code error;
  namespace fs = std::filesystem;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error) && hasExtension(it->path(), extensions)) {
      files.push_back(it->path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace testing_support
