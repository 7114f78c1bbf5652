#include "holders/name_list.h"

#include <algorithm>

#include "platform/text.h"

namespace holders {

THItem* SortedNameList::add(std::string_view name, THItem* item) {
  std::string key = platform::upperCase(name);
  const auto found = index_.find(key);
  if (found != index_.end()) {
    NameEntry& entry = entries_[found->second];
    THItem* old = entry.item;
    entry = NameEntry{std::string(name), item};
    return old;
  }
  if (!entries_.empty() && sorted_ && platform::lessText(name, entries_.back().name)) {
    sorted_ = false;
  }
  index_.emplace(std::move(key), entries_.size());
  entries_.push_back(NameEntry{std::string(name), item});
  return nullptr;
}

THItem* SortedNameList::find(std::string_view name, bool caseSensitive) const {
  // One entry per upper-cased name, so the index entry is the first match
  // whenever there is one.
  const auto found = index_.find(platform::upperCase(name));
  if (found == index_.end()) return nullptr;
  const NameEntry& entry = entries_[found->second];
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
  for (size_t i = 0; i < entries_.size(); ++i) index_[platform::upperCase(entries_[i].name)] = i;
  sorted_ = true;
}

void OrderedNameList::add(std::string_view name, THItem* item) {
  index_[platform::upperCase(name)].push_back(entries_.size());
  entries_.push_back(NameEntry{std::string(name), item});
}

THItem* OrderedNameList::find(std::string_view name, bool caseSensitive) const {
  const auto found = index_.find(platform::upperCase(name));
  if (found == index_.end()) return nullptr;
  for (const size_t position : found->second) {
    const NameEntry& entry = entries_[position];
    if (!caseSensitive || entry.name == name) return entry.item;
  }
  return nullptr;
}

void OrderedNameList::sortByName() {
  std::stable_sort(entries_.begin(), entries_.end(), [](const NameEntry& a, const NameEntry& b) {
    return platform::lessText(a.name, b.name);
  });
  rebuildIndex();
}

void OrderedNameList::rebuildIndex() {
  index_.clear();
  for (size_t i = 0; i < entries_.size(); ++i) {
    index_[platform::upperCase(entries_[i].name)].push_back(i);
  }
}

}  // namespace holders
