// Settings of glibc's malloc that make large runs faster.
//
// Huge pages: a large run touches hundreds of megabytes of fresh heap; in
// 4 KB pages that is a page fault for every 4 KB, and a tenth of the run's
// time. glibc backs its heap with 2 MB pages under glibc.malloc.hugetlb=1.
//
// A deeper per-thread cache of freed blocks: the build threads free blocks in
// runs of thousands, many of them made on the other thread (a page built on
// one is written and freed by the other). With glibc's default of seven
// blocks of a size, most frees go back to the heap that made the block, under
// that heap's lock, and the threads queue at it.
//
// glibc reads these settings (GLIBC_TUNABLES) only when a process starts; so
// the program starts itself once more with them added.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The GLIBC_TUNABLES value that adds the settings above to `current` (null
// when unset), huge pages only when `withHugePages`; or nothing when there is
// nothing to add. A setting the user made, either way, is kept.
std::optional<std::string> tunablesForLargeRuns(const char* current, bool withHugePages);

// Starts the running program again with the same arguments and with the
// settings added to GLIBC_TUNABLES. Returns without doing so (and the program
// goes on as it is) when they are there already, the program runs under
// valgrind (which would lose them), or it cannot be started again. Call it
// first thing in main, before any thread or open file exists.
void restartWithMallocTuning(char** argv);

}  // namespace platform
