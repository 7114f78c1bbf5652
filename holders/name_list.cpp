#include "holders/name_list.h"

#include <algorithm>

#include "platform/text.h"

namespace holders {

THItem* SortedNameList::add(std::string_view name, THItem* item) {
  if (const auto found = index_.find(name, false)) {
    NameEntry& entry = entries_[*found];
    THItem* old = entry.item;
    entry = NameEntry{std::string(name), item};
    return old;
  }
  if (!entries_.empty() && sorted_ && platform::lessText(name, entries_.back().name)) {
    sorted_ = false;
  }
  index_.add(name, static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back(NameEntry{std::string(name), item});
  return nullptr;
}

THItem* SortedNameList::find(std::string_view name, bool caseSensitive) const {
  // One entry per name (ignoring case), so the index entry is the first
  // match whenever there is one.
  const auto found = index_.find(name, false);
  if (!found) return nullptr;
  const NameEntry& entry = entries_[*found];
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
// then moves once to its place, and the index, which maps names to
// positions, is given the new ones.
void sortEntriesByName(std::vector<NameEntry>& entries, NameIndex<std::uint32_t>& index) {
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
  std::vector<std::uint32_t> moved(entries.size());
  for (const Keyed& keyed : order) {
    moved[keyed.position] = static_cast<std::uint32_t>(sorted.size());
    sorted.push_back(std::move(entries[keyed.position]));
  }
  entries = std::move(sorted);
  index.changeValues([&moved](std::uint32_t position) { return moved[position]; });
}

}  // namespace

void SortedNameList::sortIfNeeded() const {
  if (sorted_) return;
  sortEntriesByName(entries_, index_);
  sorted_ = true;
}

void OrderedNameList::add(std::string_view name, THItem* item) {
  sortedByName_ = false;
  index_.add(name, static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back(NameEntry{std::string(name), item});
}

THItem* OrderedNameList::find(std::string_view name, bool caseSensitive) const {
  const auto found = index_.find(name, caseSensitive);
  return found ? entries_[*found].item : nullptr;
}

void OrderedNameList::sortByName() {
  // Sorted already: nothing moves, so nothing is written either (the lists
  // are shared by the threads that build the pages).
  if (sortedByName_) return;
  sortedByName_ = true;
  // Entries of one name keep their order, so the index's positions of a
  // name stay ascending.
  sortEntriesByName(entries_, index_);
}

}  // namespace holders
