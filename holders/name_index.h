// A case-insensitive index from names to values, for the lookups a build
// makes by the million (every word of every description is looked up).
//
// Open addressing over one slot array, the names packed into one string:
// a lookup allocates nothing and touches few cache lines. Entries of one name
// (ignoring case) stay in the order they were added.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/text.h"

namespace holders {

// A hash of the upper-cased bytes, so names differing only in case meet.
std::uint32_t hashIgnoringCase(std::string_view name);

// With knowsFirstBytes, the index also keeps which bytes its names begin
// with (mayHold): 257 bytes more, for the few large indexes that take lookups
// of arbitrary words, not the many small ones of name lists.
template <typename Value, bool knowsFirstBytes = false>
class NameIndex {
 public:
  void clear() {
    names_.clear();
    entries_.clear();
    slots_.clear();
    distinctNames_ = 0;
    firstBytes_ = {};
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
    const std::uint64_t slot = slots_[slotFor(name, hash)];
    if (slot == kEmpty) return std::nullopt;
    for (std::uint32_t at = firstOf(slot); at != kNone; at = entries_[at].next) {
      const Entry& entry = entries_[at];
      if (!caseSensitive || nameOf(entry) == name) return entry.value;
    }
    return std::nullopt;
  }

  size_t size() const { return entries_.size(); }

  // False when no name of the index begins with name's first byte (ignoring
  // case), so that find would find nothing. A third of the words looked up
  // in a large build (numbers, signs) are turned away so, without a hash.
  bool mayHold(std::string_view name) const requires knowsFirstBytes {
    return firstBytes_[firstByteOf(name)];
  }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  // A slot holds the name's hash above its first entry, so a probe past
  // another name (and most lookups of words that name nothing) reads only
  // the slot array, not the entries and names elsewhere in memory.
  static constexpr std::uint64_t kEmpty = UINT64_MAX;
  static std::uint64_t slotOf(std::uint32_t hash, std::uint32_t first) {
    return (std::uint64_t{hash} << 32) | first;
  }
  static std::uint32_t hashOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot >> 32); }
  static std::uint32_t firstOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot); }
  struct Entry {
    std::uint32_t offset;  // of the name in names_
    std::uint32_t length;
    std::uint32_t next;  // the next entry of the same name
    std::uint32_t last;  // on the first entry of a name: the last one
    Value value;
  };

  // The slot of firstBytes_ for name: its first byte upper-cased, or the
  // last slot for the empty name.
  static size_t firstByteOf(std::string_view name) {
    return name.empty() ? 256 : platform::upperChar(static_cast<unsigned char>(name.front()));
  }

  std::string_view nameOf(const Entry& entry) const {
    return std::string_view(names_).substr(entry.offset, entry.length);
  }

  // The slot holding the first entry of `name`, or the empty slot where it
  // would go.
  size_t slotFor(std::string_view name, std::uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const std::uint64_t held = slots_[slot];
      if (held == kEmpty) return slot;
      if (hashOf(held) == hash && platform::sameText(nameOf(entries_[firstOf(held)]), name)) {
        return slot;
      }
    }
  }

  // Where a name known to be absent from the slots goes.
  size_t emptySlotFor(std::uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t slot = hash & mask;
    while (slots_[slot] != kEmpty) slot = (slot + 1) & mask;
    return slot;
  }

  void grow() { resizeSlots(slots_.empty() ? 16 : slots_.size() * 2); }

  void resizeSlots(size_t count) {
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(count, kEmpty);
    for (const std::uint64_t held : old) {
      if (held == kEmpty) continue;
      slots_[emptySlotFor(hashOf(held))] = held;
    }
  }

  std::string names_;
  std::vector<Entry> entries_;
  std::vector<std::uint64_t> slots_;  // hashes and first entries of names; kEmpty when empty
  size_t distinctNames_ = 0;
  struct NoFirstBytes {};
  // By firstByteOf: whether some name begins so.
  [[no_unique_address]] std::conditional_t<knowsFirstBytes, std::array<bool, 257>, NoFirstBytes>
      firstBytes_{};
};

template <typename Value, bool knowsFirstBytes>
void NameIndex<Value, knowsFirstBytes>::add(std::string_view name, Value value) {
  if (names_.size() + name.size() > UINT32_MAX || entries_.size() + 1 >= kNone) {
    throw std::length_error("too many names to index");
  }
  // At most half the slots in use keeps probe runs short.
  if ((distinctNames_ + 1) * 2 > slots_.size()) grow();
  const std::uint32_t hash = hashIgnoringCase(name);
  const auto position = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back(Entry{static_cast<std::uint32_t>(names_.size()),
                           static_cast<std::uint32_t>(name.size()), kNone, position,
                           std::move(value)});
  names_.append(name);
  if constexpr (knowsFirstBytes) firstBytes_[firstByteOf(name)] = true;
  const size_t slot = slotFor(name, hash);
  if (slots_[slot] == kEmpty) {
    slots_[slot] = slotOf(hash, position);
    ++distinctNames_;
    return;
  }
  Entry& first = entries_[firstOf(slots_[slot])];
  entries_[first.last].next = position;
  first.last = position;
}

}  // namespace holders
