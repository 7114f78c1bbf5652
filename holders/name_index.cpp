#include "holders/name_index.h"

#include <stdexcept>

#include "platform/text.h"

namespace holders {
namespace {

// FNV-1a over the upper-cased bytes, so names differing only in case meet.
std::uint32_t hashIgnoringCase(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= platform::upperChar(static_cast<unsigned char>(c));
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

void NameIndex::clear() {
  names_.clear();
  entries_.clear();
  slots_.clear();
  distinctNames_ = 0;
}

size_t NameIndex::slotFor(std::string_view name, std::uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t first = slots_[slot];
    if (first == kNone) return slot;
    const Entry& entry = entries_[first];
    if (entry.hash == hash && platform::sameText(nameOf(entry), name)) return slot;
  }
}

void NameIndex::grow() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, kNone);
  for (const std::uint32_t first : old) {
    if (first == kNone) continue;
    const Entry& entry = entries_[first];
    slots_[slotFor(nameOf(entry), entry.hash)] = first;
  }
}

void NameIndex::add(std::string_view name, THItem* item) {
  if (names_.size() + name.size() > UINT32_MAX || entries_.size() + 1 >= kNone) {
    throw std::length_error("too many names to index");
  }
  // At most half the slots in use keeps probe runs short.
  if ((distinctNames_ + 1) * 2 > slots_.size()) grow();
  const std::uint32_t hash = hashIgnoringCase(name);
  const auto position = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back(Entry{static_cast<std::uint32_t>(names_.size()),
                           static_cast<std::uint32_t>(name.size()), hash, kNone, kNone, item});
  names_.append(name);
  const size_t slot = slotFor(name, hash);
  if (slots_[slot] == kNone) {
    slots_[slot] = position;
    entries_[position].last = position;
    ++distinctNames_;
    return;
  }
  Entry& first = entries_[slots_[slot]];
  entries_[first.last].next = position;
  first.last = position;
}

THItem* NameIndex::find(std::string_view name, bool caseSensitive) const {
  if (slots_.empty()) return nullptr;
  const std::uint32_t first = slots_[slotFor(name, hashIgnoringCase(name))];
  for (std::uint32_t at = first; at != kNone; at = entries_[at].next) {
    const Entry& entry = entries_[at];
    if (!caseSensitive || nameOf(entry) == name) return entry.item;
  }
  return nullptr;
}

}  // namespace holders
