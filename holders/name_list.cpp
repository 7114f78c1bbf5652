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

void SortedNameList::sortIfNeeded() const {
  if (sorted_) return;
  std::sort(entries_.begin(), entries_.end(), [](const NameEntry& a, const NameEntry& b) {
    return platform::lessText(a.name, b.name);
  });
  index_.clear();
  for (size_t i = 0; i < entries_.size(); ++i) {
    index_.add(entries_[i].name, static_cast<std::uint32_t>(i));
  }
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
  std::stable_sort(entries_.begin(), entries_.end(), [](const NameEntry& a, const NameEntry& b) {
    return platform::lessText(a.name, b.name);
  });
  rebuildIndex();
}

void OrderedNameList::rebuildIndex() {
  index_.clear();
  for (size_t i = 0; i < entries_.size(); ++i) {
    index_.add(entries_[i].name, static_cast<std::uint32_t>(i));
  }
}

}  // namespace holders
