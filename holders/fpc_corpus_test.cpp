// Reads every unit of the Free Pascal sources into one project and builds its
// help: no unit may crash, hang or upset the sanitizers, and the topics file
// must stay well formed. Prints the figures (units, time, peak memory).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>

#include "holders/options.h"
#include "holders/project.h"
#include "platform/sanitized.h"
#include "tests/support/fpc_sources.h"
#include "tests/support/test_support.h"

namespace holders {
namespace {

#ifdef KORVEX_ASAN
constexpr size_t kDefaultSampleEvery = 6;  // sanitized code is several times slower
#else
constexpr size_t kDefaultSampleEvery = 1;
#endif

// Every unit, or every n-th with KORVEX_CORPUS_EVERY=n (to compare the cost of
// half or a quarter of the corpus with the whole).
size_t sampleEvery() {
  const char* every = std::getenv("KORVEX_CORPUS_EVERY");
  const long value = every != nullptr ? std::atol(every) : 0;
  return value > 0 ? static_cast<size_t>(value) : kDefaultSampleEvery;
}

// Counts messages instead of keeping millions of them.
class CountingProject : public THProject {
 public:
  using THProject::THProject;
  void Message(int level, std::string_view /*text*/) override {
    if (level >= 0 && level < 5) ++counts[level];
  }
  long counts[5] = {};
};

// Peak resident memory of this process in MiB, from /proc (0 when unknown).
long peakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kib = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> kib;
      break;
    }
  }
  return kib / 1024;
}

// Braces outside escapes, streamed: 0 when they balance.
long braceBalance(const std::string& path, long& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return -1;
  long depth = 0;
  bool escaped = false;
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes += static_cast<long>(got);
    for (size_t i = 0; i < got; ++i) {
      const char c = buffer[i];
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '{') {
        ++depth;
      } else if (c == '}' && --depth < 0) {
        std::fclose(file);
        return -1;
      }
    }
  }
  std::fclose(file);
  return depth;
}

TEST(FreePascalCorpus, EveryUnitIsReadAndBuilt) {
  const std::optional<std::string> root = testing_support::fpcSourceRoot();
  if (!root) GTEST_SKIP() << "no fpc-source package installed; the corpus run needs it";
  const std::vector<std::string> files = testing_support::fpcSourceFiles(*root, {".pp", ".pas"});
  ASSERT_FALSE(files.empty());

  OptionsGuard guard;
  CountingProject project(testing_support::sourceDir() + "/tests/data/pages/");
  project.Scope = kScopePrivate;  // document everything: the most work
  const size_t every = sampleEvery();
  const std::clock_t cpuStart = std::clock();
  const auto start = std::chrono::steady_clock::now();
  size_t units = 0;
  for (size_t i = 0; i < files.size(); i += every) {
    ASSERT_NE(project.AddUnit(files[i]), nullptr) << files[i];
    ++units;
  }
  const auto parsed = std::chrono::steady_clock::now();
  testing_support::TempDir out;
  project.Build(out.path() + "/FPC.RTF");
  const auto built = std::chrono::steady_clock::now();
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  long bytes = 0;
  EXPECT_EQ(braceBalance(out.path() + "/FPC.RTF", bytes), 0);
  const auto seconds = [](auto from, auto to) {
    return std::chrono::duration<double>(to - from).count();
  };
  std::cout << "[ corpus   ] " << units << " of " << files.size() << " units under " << *root
            << (every > 1 ? " (every " + std::to_string(every) + "th)" : "")
            << "\n[ corpus   ] read " << seconds(start, parsed) << " s, built "
            << seconds(parsed, built) << " s (wall clock), " << cpuSeconds
            << " s CPU in all, topics file " << bytes / (1024 * 1024) << " MiB, peak memory "
            << peakMemoryMiB() << " MiB\n"
            << "[ corpus   ] messages by level: " << project.counts[0] << " " << project.counts[1]
            << " " << project.counts[2] << " " << project.counts[3] << " " << project.counts[4]
            << "\n";
}

}  // namespace
}  // namespace holders
