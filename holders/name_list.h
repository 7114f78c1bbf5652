// Name lists of the source model: names, each carrying a holder it does not
// own.
//
// Lookups return the same holder a scan from the first entry would: the first
// entry whose name equals the one asked for, exactly or ignoring case. While
// a list is being filled they go through a hash index on the upper-cased
// name; once it is sorted, by binary search, and the index is given up: a
// large project lists a million names, and their indexes took a tenth of its
// memory.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "holders/name_index.h"

namespace holders {

class THItem;

struct NameEntry {
  std::string name;
  THItem* item;
};

// Items made during the reading have long left the processor's caches when a
// build walks a list of them, and each question to one waits on memory for
// its first cache lines (what IsDocumented reads among them). Walks over
// many items ask for the lines of the item kItemsAhead places on, so that
// the waits overlap.
constexpr size_t kItemsAhead = 8;
inline void PrefetchItem(const THItem* item) {
  const auto* bytes = reinterpret_cast<const char*>(item);
  __builtin_prefetch(bytes);
  __builtin_prefetch(bytes + 64);
}

// Calls visit(item) for the item of each entry in turn, so asking ahead.
template <class Visit>
void forEachItem(std::span<const NameEntry> entries, Visit visit) {
  for (size_t at = 0; at < entries.size(); ++at) {
    if (at + kItemsAhead < entries.size()) PrefetchItem(entries[at + kItemsAhead].item);
    visit(entries[at].item);
  }
}

// Sorted by name in the case-insensitive order, each name (ignoring case) at
// most once: adding a name already present puts the new holder in its place.
// The order is established when the list is next read by position, so a long
// run of additions costs O(n log n).
class SortedNameList {
 public:
  // Returns the holder that was replaced, or nullptr.
  THItem* add(std::string_view name, THItem* item);
  THItem* find(std::string_view name, bool caseSensitive) const;

  int count() const { return static_cast<int>(entries_.size()); }
  const NameEntry& at(int index) const;
  const std::vector<NameEntry>& entries() const;

 private:
  // Sorts the entries, and gives up the index.
  void sortIfNeeded() const;
  // The position of the entry named `name` ignoring case, or -1.
  std::ptrdiff_t positionOf(std::string_view name) const;

  mutable std::vector<NameEntry> entries_;
  // Name (ignoring case) -> position in entries_, while indexed_.
  mutable NameIndex<std::uint32_t> index_;
  mutable bool sorted_ = true;
  mutable bool indexed_ = true;
};

// Entries in the order they were added, duplicates kept, until sortByName.
class OrderedNameList {
 public:
  void add(std::string_view name, THItem* item);
  THItem* find(std::string_view name, bool caseSensitive) const;

  int count() const { return static_cast<int>(entries_.size()); }
  const NameEntry& at(int index) const { return entries_.at(static_cast<size_t>(index)); }
  const std::vector<NameEntry>& entries() const { return entries_; }

  // Sorts in place by name in the case-insensitive order; entries of equal
  // names keep their relative order. Gives up the index.
  void sortByName();

 private:
  bool sortedByName_ = true;  // no entry added since the last sort
  std::vector<NameEntry> entries_;
  // Name (ignoring case) -> positions of the entries of that name, ascending;
  // while indexed_.
  NameIndex<std::uint32_t> index_;
  bool indexed_ = true;
};

// A name list that takes memory only once a name is added: most types
// (records, enumerations, aliases) have no members, and a large project has
// a hundred thousand types. Reads of an empty list need no list at all.
template <class List>
class LazyNameList {
 public:
  auto add(std::string_view name, THItem* item) { return list().add(name, item); }
  THItem* find(std::string_view name, bool caseSensitive) const {
    return list_ != nullptr ? list_->find(name, caseSensitive) : nullptr;
  }
  int count() const { return list_ != nullptr ? list_->count() : 0; }
  const NameEntry& at(int index) const {
    return list_ != nullptr ? list_->at(index) : empty().at(index);
  }
  const std::vector<NameEntry>& entries() const {
    return list_ != nullptr ? list_->entries() : empty().entries();
  }
  void sortByName() {
    if (list_ != nullptr) list_->sortByName();
  }

 private:
  List& list() {
    if (list_ == nullptr) list_ = std::make_unique<List>();
    return *list_;
  }
  static const List& empty() {
    static const List kEmpty;
    return kEmpty;
  }

  std::unique_ptr<List> list_;
};

}  // namespace holders
