// Page files kept in memory for the whole run.
//
// Every topic loads several pages, and the same few files are loaded
// thousands of times in a large build, so each file is read from disk once.
// A file that does not exist is remembered as missing as well. Entries are
// found by the name as asked for and by the resolved path, so two spellings
// of one file share an entry and a repeated request touches the disk not at
// all. The cache is not locked: the threads that build pages reach it
// through the project's page lookup, which is.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "templates/fill_plan.h"
#include "templates/tag_signature.h"

namespace templates {

// Where the tag keys of a page's line are kept, and its tagSignature.
struct LineTags {
  std::uint64_t signature = 0;
  size_t firstKey = 0;  // in the page's keys
  size_t keyCount = 0;
};

// A page's lines with their tag keys.
struct TaggedLines {
  std::vector<std::string> lines;
  std::vector<LineTags> tags;  // one per line
  std::vector<TagKey> keys;

  void assign(std::vector<std::string> text);
  // Finds the keys of every line anew.
  void retagAll();
};

// A page file as kept in the cache, with the plans of the runs of tags it
// has been filled with.
struct CachedPage : TaggedLines {
  CachedPage() = default;
  explicit CachedPage(std::vector<std::string> text);
  CachedPage(CachedPage&&) = delete;  // the plans refer to the lines

  std::unique_ptr<FillPlans> plans;
};

class TemplateCache {
 public:
  // The page's lines (read with CR LF, LF or CR line ends) and their tag
  // keys, or nullptr when no regular file of that name exists. The
  // pointer stays valid until clear(). Throws platform::FileError when the
  // file exists but cannot be read; such a failure is not remembered.
  const CachedPage* page(std::string_view fileName);

  // Forgets every file, so the next request reads the disk again.
  void clear();
  // Counts the clears, so a holder of line pointers can tell they are stale.
  size_t generation() const { return generation_; }

  // The cache that page loading uses unless it is given another one.
  static TemplateCache& processCache();

 private:
  struct Entry {
    bool exists = false;
    std::unique_ptr<CachedPage> page;
  };
  using Index = platform::TextMap<const Entry*>;

  const Entry* load(std::string_view fileName);

  std::deque<Entry> entries_;  // stable addresses for the two indexes
  Index byName_;
  Index byResolvedPath_;
  size_t generation_ = 0;
};

}  // namespace templates
