#include "templates/template_cache.h"

#include "platform/files.h"
#include "platform/text.h"
#include "templates/tag_signature.h"

namespace templates {

const CachedPage* TemplateCache::page(std::string_view fileName) {
  auto named = byName_.find(fileName);
  const Entry* entry = named != byName_.end() ? named->second : load(fileName);
  return entry->exists ? &entry->page : nullptr;
}

const TemplateCache::Entry* TemplateCache::load(std::string_view fileName) {
  const Entry* entry = nullptr;
  if (platform::fileExists(fileName)) {
    const std::string resolved = *platform::resolvePath(fileName);
    auto known = byResolvedPath_.find(resolved);
    if (known != byResolvedPath_.end()) {
      entry = known->second;
    } else {
      Entry loaded{true, {platform::splitLines(platform::readFile(resolved)), {}}};
      for (const std::string& line : loaded.page.lines) {
        loaded.page.signatures.push_back(tagSignature(line));
      }
      entry = &entries_.emplace_back(std::move(loaded));
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
