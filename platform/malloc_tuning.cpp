#include "platform/malloc_tuning.h"

#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

namespace platform {
namespace {

struct Tunable {
  std::string_view name;
  std::string_view value;
};

constexpr Tunable kHugePages{"glibc.malloc.hugetlb", "1"};
// Three thousand blocks of a size took about 6 % off the large benchmark's
// time for a few MB more at its peak; more bought no more.
constexpr Tunable kCachedBlocks{"glibc.malloc.tcache_count", "3000"};

// glibc's own: a heap's whole size, and the padding it grows by by default.
constexpr int kHeapBytes = 64 << 20;
constexpr int kDefaultTopPad = 128 << 10;
// The block size from which glibc maps blocks on their own, once it stops
// adapting it, and the free memory at the top of a heap it keeps rather than
// gives back: twice that size, as glibc's adapting would have made it.
constexpr int kOwnMappingBytes = 16 << 20;
constexpr int kKeptTopBytes = 2 * kOwnMappingBytes;

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

// Whether `tunables` (colon-separated name=value pairs) sets `name`.
bool mentions(std::string_view tunables, std::string_view name) {
  while (!tunables.empty()) {
    const size_t colon = tunables.find(':');
    const std::string_view pair = tunables.substr(0, colon);
    if (pair.substr(0, pair.find('=')) == name) return true;
    if (colon == std::string_view::npos) break;
    tunables.remove_prefix(colon + 1);
  }
  return false;
}

}  // namespace

std::optional<std::string> tunablesForLargeRuns(const char* current, bool withHugePages) {
  const std::string_view given = current != nullptr ? current : "";
  std::string tunables(given);
  const auto add = [&](const Tunable& tunable) {
    if (mentions(given, tunable.name)) return;
    if (!tunables.empty()) tunables += ':';
    tunables.append(tunable.name).append("=").append(tunable.value);
  };
  if (withHugePages) add(kHugePages);
  add(kCachedBlocks);
  if (tunables.size() == given.size()) return std::nullopt;
  return tunables;
}

void restartWithMallocTuning(char** argv) {
  if (argv == nullptr || argv[0] == nullptr || underValgrind()) return;
  const char* current = std::getenv("GLIBC_TUNABLES");
  const std::optional<std::string> tunables = tunablesForLargeRuns(current, hugePagesOffered());
  if (!tunables) return;
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

WholeHeapGrowth::WholeHeapGrowth() {
#ifdef __GLIBC__
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const auto userSet = [&](std::string_view name) {
    return tunables != nullptr && mentions(tunables, name);
  };
  if (userSet("glibc.malloc.top_pad")) return;
  // Setting the top pad also stops glibc from raising the size from which a
  // block gets a mapping of its own as large blocks come and go; left at its
  // first 128 KB, the build's page buffers would each be mapped and unmapped
  // (with a page fault for every 4 KB), and the pages took a tenth to a fifth
  // longer. So the size is set to what glibc would have raised it to.
  // It also stops glibc from raising the top it keeps when trimming: left at
  // 128 KB, writing the pages gave a 2 MB huge page back and took a fresh
  // one (cleared by the kernel) a hundred and fifty times.
  if (!userSet("glibc.malloc.mmap_threshold")) ::mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
  if (!userSet("glibc.malloc.trim_threshold")) ::mallopt(M_TRIM_THRESHOLD, kKeptTopBytes);
  active_ = ::mallopt(M_TOP_PAD, kHeapBytes) != 0;
#endif
}

WholeHeapGrowth::~WholeHeapGrowth() {
#ifdef __GLIBC__
  if (active_) ::mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}

}  // namespace platform
