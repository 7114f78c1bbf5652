// A case-insensitive index from names to holders, for the lookups a build
// makes by the million (every word of every description is looked up).
//
// Open addressing over one slot array, the names packed into one string:
// a lookup allocates nothing and touches few cache lines. Entries of one name
// (ignoring case) stay in the order they were added.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace holders {

class THItem;

class NameIndex {
 public:
  void clear();
  // Adds an entry after every earlier entry of the same name.
  void add(std::string_view name, THItem* item);
  // The first entry whose name equals `name` ignoring case (or exactly, when
  // caseSensitive), or nullptr.
  THItem* find(std::string_view name, bool caseSensitive) const;
  size_t size() const { return entries_.size(); }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Entry {
    std::uint32_t offset;  // of the name in names_
    std::uint32_t length;
    std::uint32_t hash;
    std::uint32_t next = kNone;  // the next entry of the same name
    std::uint32_t last = kNone;  // on the first entry of a name: the last one
    THItem* item;
  };

  std::string_view nameOf(const Entry& entry) const {
    return std::string_view(names_).substr(entry.offset, entry.length);
  }
  // The slot holding the first entry of `name`, or the empty slot where it
  // would go.
  size_t slotFor(std::string_view name, std::uint32_t hash) const;
  void grow();

  std::string names_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // first entries of names; kNone when empty
  size_t distinctNames_ = 0;          // distinct names (ignoring case)
};

}  // namespace holders
