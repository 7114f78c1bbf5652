#include "platform/misc.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {
namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::string AddBackslash(std::string_view path) {
  if (path.empty() || isSeparator(path.back())) return std::string(path);
  return std::string(path) + "/";
}

std::string StripBackslash(std::string_view path) {
  if (!path.empty() && isSeparator(path.back())) path.remove_suffix(1);
  return std::string(path);
}

std::string BoolText(bool value) {
  return value ? "TRUE" : "FALSE";
}

std::string EnvironmentValue(std::string_view name) {
  const char* value = std::getenv(upperCase(name).c_str());
  if (!value) return {};
  return std::string(value).substr(0, 512);
}

void FindFiles(std::string_view directory, std::string_view mask, std::vector<std::string>& list) {
  list.clear();
  const std::string prefix = AddBackslash(directory);
  const std::string dir = resolvePath(directory.empty() ? "." : directory).value_or("");
  if (dir.empty()) return;
  std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
  if (!handle) return;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(handle.get())) {
    std::string name = entry->d_name;
    if (!matchesMask(name, mask)) continue;
    struct stat info;
    const std::string full = AddBackslash(dir) + name;
    if (::stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) list.push_back(prefix + name);
}

}  // namespace platform
