#include "holders/name_list.h"

#include <algorithm>

#include "platform/text.h"

namespace holders {

namespace {

// The first entry at or after `name` in the case-insensitive order, in
// entries sorted so.
std::vector<NameEntry>::const_iterator firstNotBefore(const std::vector<NameEntry>& entries,
                                                      std::string_view name) {
  return std::lower_bound(entries.begin(), entries.end(), name,
                          [](const NameEntry& entry, std::string_view sought) {
                            return platform::lessText(entry.name, sought);
                          });
}

// An index of entries as they stand, each name's positions ascending.
void indexEntries(const std::vector<NameEntry>& entries, NameIndex<std::uint32_t>& index) {
  index.clear();
  index.reserve(entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    index.add(entries[i].name, static_cast<std::uint32_t>(i));
  }
}

}  // namespace

std::ptrdiff_t SortedNameList::positionOf(std::string_view name) const {
  if (indexed_) {
    const auto found = index_.find(name, false);
    return found ? static_cast<std::ptrdiff_t>(*found) : -1;
  }
  const auto found = firstNotBefore(entries_, name);
  if (found == entries_.end() || !platform::sameText(found->name, name)) return -1;
  return found - entries_.begin();
}

THItem* SortedNameList::add(std::string_view name, THItem* item) {
  if (const std::ptrdiff_t found = positionOf(name); found >= 0) {
    NameEntry& entry = entries_[static_cast<size_t>(found)];
    THItem* old = entry.item;
    entry = NameEntry{std::string(name), item};
    return old;
  }
  if (!entries_.empty() && sorted_ && platform::lessText(name, entries_.back().name)) {
    sorted_ = false;
  }
  // Out of order, the entries can be searched only through an index again.
  if (!sorted_ && !indexed_) {
    indexEntries(entries_, index_);
    indexed_ = true;
  }
  if (indexed_) index_.add(name, static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back(NameEntry{std::string(name), item});
  return nullptr;
}

THItem* SortedNameList::find(std::string_view name, bool caseSensitive) const {
  // One entry per name (ignoring case), so that entry is the first match
  // whenever there is one.
  const std::ptrdiff_t found = positionOf(name);
  if (found < 0) return nullptr;
  const NameEntry& entry = entries_[static_cast<size_t>(found)];
  if (caseSensitive && entry.name != name) return nullptr;
  return entry.item;
}

const NameEntry& SortedNameList::at(int index) const {
  sortIfNeeded();
  return entries_.at(static_cast<size_t>(index));
}

const std::vector<NameEntry>& SortedNameList::entries() const {
  sortIfNeeded();
  return entries_;
}

namespace {

// Sorts entries by name in the case-insensitive order, entries of equal names
// in the order they stand. The sort moves small records (a key of the name's
// first bytes, which decides most comparisons, and a position); each entry
// then moves once to its place.
void sortEntriesByName(std::vector<NameEntry>& entries) {
  struct Keyed {
    std::uint64_t key;
    std::uint32_t position;
  };
  std::vector<Keyed> order;
  order.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    order.push_back({platform::textSortKey(entries[i].name), static_cast<std::uint32_t>(i)});
  }
  std::sort(order.begin(), order.end(), [&entries](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    const int byName = platform::compareText(entries[a.position].name, entries[b.position].name);
    return byName != 0 ? byName < 0 : a.position < b.position;
  });
  std::vector<NameEntry> sorted;
  sorted.reserve(entries.size());
  for (const Keyed& keyed : order) sorted.push_back(std::move(entries[keyed.position]));
  entries = std::move(sorted);
}

}  // namespace

void SortedNameList::sortIfNeeded() const {
  // Settled already: nothing is written (the build threads share the lists).
  if (sorted_ && !indexed_) return;
  if (!sorted_) sortEntriesByName(entries_);
  sorted_ = true;
  if (indexed_) index_.release();
  indexed_ = false;
}

void OrderedNameList::add(std::string_view name, THItem* item) {
  sortedByName_ = false;
  if (!indexed_) {
    indexEntries(entries_, index_);
    indexed_ = true;
  }
  index_.add(name, static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back(NameEntry{std::string(name), item});
}

THItem* OrderedNameList::find(std::string_view name, bool caseSensitive) const {
  if (indexed_) {
    const auto found = index_.find(name, caseSensitive);
    return found ? entries_[*found].item : nullptr;
  }
  // Sorted: the entries of the name (ignoring case) stand together, in the
  // order they were added.
  for (auto entry = firstNotBefore(entries_, name);
       entry != entries_.end() && platform::sameText(entry->name, name); ++entry) {
    if (!caseSensitive || entry->name == name) return entry->item;
  }
  return nullptr;
}

void OrderedNameList::sortByName() {
  // Sorted already: nothing moves, so nothing is written either (the lists
  // are shared by the threads that build the pages).
  if (sortedByName_) return;
  sortedByName_ = true;
  sortEntriesByName(entries_);
  index_.release();
  indexed_ = false;
}

}  // namespace holders
