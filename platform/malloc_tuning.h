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
//
// Heaps grown whole: every thread but the first allocates from a heap of its
// own, 64 MB of address space that glibc makes usable a page at a time, with
// a system call and then a page fault for every 4 KB, and never on huge pages.
// Reading units on two threads made 30,000 page faults and 10,000 mprotect
// calls that way, a third more processor time than reading on one. While
// WholeHeapGrowth lives, a new heap is made usable (and asked for huge pages)
// whole when it is made.
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

// While it lives, glibc's heaps grow by a whole heap at a time (address space:
// no memory is used until it is written). From its start on, blocks under
// 16 MB come from the heaps rather than mappings of their own, and up to 32 MB
// free at a heap's top stay with it, for good: glibc stops adapting these
// sizes once the growth is set. Does nothing when the user set
// glibc.malloc.top_pad, or with another malloc.
class WholeHeapGrowth {
 public:
  WholeHeapGrowth();
  ~WholeHeapGrowth();
  WholeHeapGrowth(const WholeHeapGrowth&) = delete;
  WholeHeapGrowth& operator=(const WholeHeapGrowth&) = delete;

 private:
  bool active_ = false;
};

}  // namespace platform
