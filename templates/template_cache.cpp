#include "templates/template_cache.h"

#include <utility>

#include "platform/files.h"
#include "platform/text.h"
#include "templates/tag_signature.h"

namespace templates {

void TaggedLines::assign(std::vector<std::string> text) {
  lines = std::move(text);
  retagAll();
}

void TaggedLines::retagAll() {
  tags.resize(lines.size());
  keys.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    tags[i].firstKey = keys.size();
    tags[i].signature = findTagKeys(lines[i], keys);
    tags[i].keyCount = keys.size() - tags[i].firstKey;
  }
}

CachedPage::CachedPage(std::vector<std::string> text) {
  assign(std::move(text));
  plans = std::make_unique<FillPlans>(lines);
}

const CachedPage* TemplateCache::page(std::string_view fileName) {
  auto named = byName_.find(fileName);
  const Entry* entry = named != byName_.end() ? named->second : load(fileName);
  return entry->exists ? entry->page.get() : nullptr;
}

const TemplateCache::Entry* TemplateCache::load(std::string_view fileName) {
  const Entry* entry = nullptr;
  if (platform::fileExists(fileName)) {
    const std::string resolved = *platform::resolvePath(fileName);
    auto known = byResolvedPath_.find(resolved);
    if (known != byResolvedPath_.end()) {
      entry = known->second;
    } else {
      entry = &entries_.emplace_back(Entry{
          true, std::make_unique<CachedPage>(platform::splitLines(platform::readFile(resolved)))});
      byResolvedPath_.emplace(resolved, entry);
    }
  } else {
    entry = &entries_.emplace_back();
  }
  byName_.emplace(std::string(fileName), entry);
  return entry;
}

void TemplateCache::clear() {
  byName_.clear();
  byResolvedPath_.clear();
  entries_.clear();
  ++generation_;
}

TemplateCache& TemplateCache::processCache() {
  static TemplateCache cache;
  return cache;
}

}  // namespace templates
