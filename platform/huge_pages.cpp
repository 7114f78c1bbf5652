#include "platform/huge_pages.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

namespace platform {
namespace {

constexpr std::string_view kHugePagesTunable = "glibc.malloc.hugetlb";

// Whether the kernel gives huge pages to memory that asks for them.
bool hugePagesOffered() {
  std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  return std::getline(setting, modes) && modes.find("[never]") == std::string::npos;
}

bool underValgrind() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "vgpreload") != nullptr;
}

}  // namespace

std::optional<std::string> tunablesAskingForHugePages(const char* current) {
  const std::string setting = std::string(kHugePagesTunable) + "=1";
  if (current == nullptr || *current == '\0') return setting;
  const std::string_view tunables(current);
  if (tunables.find(kHugePagesTunable) != std::string_view::npos) return std::nullopt;
  return std::string(tunables) + ":" + setting;
}

void restartWithHugePages(char** argv) {
  if (argv == nullptr || argv[0] == nullptr) return;
  const char* current = std::getenv("GLIBC_TUNABLES");
  const std::optional<std::string> tunables = tunablesAskingForHugePages(current);
  if (!tunables || !hugePagesOffered() || underValgrind()) return;
  const std::optional<std::string> saved =
      current != nullptr ? std::optional<std::string>(current) : std::nullopt;
  if (::setenv("GLIBC_TUNABLES", tunables->c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  // Not started again: go on as before, with the environment as it was.
  if (saved) {
    ::setenv("GLIBC_TUNABLES", saved->c_str(), 1);
  } else {
    ::unsetenv("GLIBC_TUNABLES");
  }
}

}  // namespace platform
