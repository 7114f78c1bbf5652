// Transparent huge pages for the heap of glibc's malloc.
//
// A large run touches hundreds of megabytes of fresh heap: in 4 KB pages that
// is a page fault for every 4 KB, and a tenth of the run's time. glibc backs
// its heap with 2 MB pages when GLIBC_TUNABLES holds glibc.malloc.hugetlb=1,
// but it reads that setting only when a process starts; so the program
// starts itself once more with the setting added.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The GLIBC_TUNABLES value that adds glibc.malloc.hugetlb=1 to `current`
// (null when unset), or nothing when `current` already sets hugetlb either
// way: a setting the user made is kept.
std::optional<std::string> tunablesAskingForHugePages(const char* current);

// Starts the running program again with the same arguments and with
// glibc.malloc.hugetlb=1 added to GLIBC_TUNABLES. Returns without doing so
// (and the program goes on as it is) when the setting is there already, the
// system offers no transparent huge pages, the program runs under valgrind
// (which would lose it), or it cannot be started again. Call it first thing
// in main, before any thread or open file exists.
void restartWithHugePages(char** argv);

}  // namespace platform
