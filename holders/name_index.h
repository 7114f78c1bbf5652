// A case-insensitive index from names to values, for the lookups a build
// makes by the million (every word of every description is looked up).
//
// Open addressing over one slot array, the names packed into one string:
// a lookup allocates nothing and touches few cache lines. Entries of one name
// (ignoring case) stay in the order they were added.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace holders {

// FNV-1a over the upper-cased bytes, so names differing only in case meet.
std::uint32_t hashIgnoringCase(std::string_view name);

template <typename Value>
class NameIndex {
 public:
  void clear() {
    names_.clear();
    entries_.clear();
    slots_.clear();
    distinctNames_ = 0;
  }

  // Empties the index and gives its memory back.
  void release() { *this = NameIndex(); }

  // Makes room for `entries` more entries whose names take nameBytes bytes
  // in all, so adding them neither copies what is there nor holds two copies
  // of it at once.
  void reserve(size_t entries, size_t nameBytes) {
    names_.reserve(names_.size() + nameBytes);
    entries_.reserve(entries_.size() + entries);
    // At most half the slots in use, however many of the names are new.
    size_t slots = slots_.empty() ? 16 : slots_.size();
    while (slots < (distinctNames_ + entries + 1) * 2) slots *= 2;
    if (slots > slots_.size()) resizeSlots(slots);
  }

  // Makes room for about `entries` more entries without touching memory
  // (the room costs no resident memory until it is used), so an index that
  // grows entry by entry seldom copies what it holds.
  void expect(size_t entries, size_t nameBytes) {
    names_.reserve(names_.size() + nameBytes);
    entries_.reserve(entries_.size() + entries);
  }

  // Adds an entry after every earlier entry of the same name.
  void add(std::string_view name, Value value);

  // The first entry whose name equals `name` ignoring case (or exactly, when
  // caseSensitive), or nothing.
  std::optional<Value> find(std::string_view name, bool caseSensitive) const {
    return find(name, hashIgnoringCase(name), caseSensitive);
  }
  // The same with the name's hashIgnoringCase, for callers that look one
  // name up in several indexes.
  std::optional<Value> find(std::string_view name, std::uint32_t hash, bool caseSensitive) const {
    if (slots_.empty()) return std::nullopt;
    const std::uint32_t first = slots_[slotFor(name, hash)];
    for (std::uint32_t at = first; at != kNone; at = entries_[at].next) {
      const Entry& entry = entries_[at];
      if (!caseSensitive || nameOf(entry) == name) return entry.value;
    }
    return std::nullopt;
  }

  size_t size() const { return entries_.size(); }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Entry {
    std::uint32_t offset;  // of the name in names_
    std::uint32_t length;
    std::uint32_t hash;
    std::uint32_t next;  // the next entry of the same name
    std::uint32_t last;  // on the first entry of a name: the last one
    Value value;
  };

  std::string_view nameOf(const Entry& entry) const {
    return std::string_view(names_).substr(entry.offset, entry.length);
  }

  // The slot holding the first entry of `name`, or the empty slot where it
  // would go.
  size_t slotFor(std::string_view name, std::uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t first = slots_[slot];
      if (first == kNone) return slot;
      const Entry& entry = entries_[first];
      if (entry.hash == hash && platform::sameText(nameOf(entry), name)) return slot;
    }
  }

  void grow() { resizeSlots(slots_.empty() ? 16 : slots_.size() * 2); }

  void resizeSlots(size_t count) {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(count, kNone);
    for (const std::uint32_t first : old) {
      if (first == kNone) continue;
      const Entry& entry = entries_[first];
      slots_[slotFor(nameOf(entry), entry.hash)] = first;
    }
  }

  std::string names_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // first entries of names; kNone when empty
  size_t distinctNames_ = 0;
};

template <typename Value>
void NameIndex<Value>::add(std::string_view name, Value value) {
  if (names_.size() + name.size() > UINT32_MAX || entries_.size() + 1 >= kNone) {
    throw std::length_error("too many names to index");
  }
  // At most half the slots in use keeps probe runs short.
  if ((distinctNames_ + 1) * 2 > slots_.size()) grow();
  const std::uint32_t hash = hashIgnoringCase(name);
  const auto position = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back(Entry{static_cast<std::uint32_t>(names_.size()),
                           static_cast<std::uint32_t>(name.size()), hash, kNone, position,
                           std::move(value)});
  names_.append(name);
  const size_t slot = slotFor(name, hash);
  if (slots_[slot] == kNone) {
    slots_[slot] = position;
    ++distinctNames_;
    return;
  }
  Entry& first = entries_[slots_[slot]];
  entries_[first.last].next = position;
  first.last = position;
}

}  // namespace holders
