#include "templates/document_template.h"

#include <cstring>
#include <span>
#include <vector>

#include "platform/text.h"
#include "templates/tag_signature.h"

namespace templates {
namespace {

// Whether line holds tag at `at` (upper-cased alike when not caseSensitive).
bool holdsAt(std::string_view line, size_t at, std::string_view tag, bool caseSensitive) {
  if (caseSensitive) return std::memcmp(line.data() + at, tag.data(), tag.size()) == 0;
  for (size_t i = 0; i < tag.size(); ++i) {
    if (platform::upperChar(static_cast<unsigned char>(line[at + i])) !=
        platform::upperChar(static_cast<unsigned char>(tag[i]))) {
      return false;
    }
  }
  return true;
}

// Puts value in the place of each tag of tagSize bytes found in line.
void spliceValue(std::string& line, std::span<const size_t> found, size_t tagSize,
                 std::string_view value) {
  if (found.size() == 1) {
    line.replace(found.front(), tagSize, value);
    return;
  }
  std::string result;
  result.reserve(line.size() - found.size() * tagSize + found.size() * value.size());
  size_t copied = 0;
  for (const size_t at : found) {
    result.append(line, copied, at - copied);
    result.append(value);
    copied = at + tagSize;
  }
  result.append(line, copied);
  line = std::move(result);
}

// The starts of tag in haystack, left to right, each search resuming after
// the occurrence before.
void findAll(std::string_view haystack, std::string_view tag, std::vector<size_t>& found) {
  for (size_t at = findTag(haystack, tag, 0); at != std::string_view::npos;
       at = findTag(haystack, tag, at + tag.size())) {
    found.push_back(at);
  }
}

}  // namespace

TDocumentTemplate::TDocumentTemplate() : cache_(&TemplateCache::processCache()) {}

TDocumentTemplate::TDocumentTemplate(TemplateCache& cache) : cache_(&cache) {}

TDocumentTemplate TDocumentTemplate::CreateFromFile(std::string_view fileName) {
  return CreateFromFile(fileName, TemplateCache::processCache());
}

TDocumentTemplate TDocumentTemplate::CreateFromFile(std::string_view fileName,
                                                    TemplateCache& cache) {
  TDocumentTemplate page(cache);
  page.loadLines(fileName);
  return page;
}

bool TDocumentTemplate::loadLines(std::string_view fileName) {
  const CachedPage* cached = cache_->page(fileName);
  if (cached == nullptr) return false;
  LoadCached(cached);
  return true;
}

void TDocumentTemplate::LoadFromFile(std::string_view fileName) {
  LoadCached(nullptr);  // empty even when reading the file fails
  LoadCached(cache_->page(fileName));
}

void TDocumentTemplate::LoadCached(const CachedPage* page) {
  template_.clear();
  cachedTemplate_ = page != nullptr ? &page->lines : nullptr;
  plannedPage_ = page != nullptr && page->plans != nullptr ? page : nullptr;
  step_ = plannedPage_ != nullptr ? &page->plans->first() : nullptr;
  valueCount_ = 0;
  linesBuilt_ = false;
  if (step_ != nullptr) return;  // the lines are made when asked for
  if (page != nullptr) {
    document_ = *page;
  } else {
    // Emptied, not replaced: the lists keep their memory for the next page.
    document_.lines.clear();
    document_.tags.clear();
    document_.keys.clear();
  }
  liveKeys_ = document_.keys.size();
}

void TDocumentTemplate::SetTemplate(const std::vector<std::string>& lines) {
  step_ = nullptr;
  template_ = lines;
  cachedTemplate_ = nullptr;
  document_.assign(lines);
  liveKeys_ = document_.keys.size();
}

void TDocumentTemplate::SetTemplateFile(std::string_view fileName) {
  templateFile_ = fileName;
  loadLines(fileName);
}

const std::vector<std::string>& TDocumentTemplate::Document() const {
  if (step_ != nullptr && !linesBuilt_) buildPlannedLines();
  return document_.lines;
}

void TDocumentTemplate::buildPlannedLines() const {
  const size_t count = step_->lines().size();
  document_.lines.resize(count);
  for (size_t i = 0; i < count; ++i) {
    plannedPage_->plans->buildLine(*step_, i, values_, document_.lines[i]);
  }
  linesBuilt_ = true;
}

void TDocumentTemplate::keepValue(std::string_view value) {
  // Each step's value has a string of its own that keeps its memory for the
  // pages this object is filled with next, as the Document lines do; one
  // that held a long value (a class's member lists) gives it back.
  constexpr size_t kKeptBytes = 64 << 10;
  if (valueCount_ == values_.size()) values_.emplace_back();
  std::string& kept = values_[valueCount_++];
  if (kept.capacity() > kKeptBytes && value.size() <= kKeptBytes) kept = std::string();
  kept.assign(value);
}

void TDocumentTemplate::leavePlan() {
  if (!linesBuilt_) buildPlannedLines();
  step_ = nullptr;
  document_.retagAll();
  liveKeys_ = document_.keys.size();
}

void TDocumentTemplate::keepValue(std::string&& value) {
  if (valueCount_ == values_.size()) values_.emplace_back();
  values_[valueCount_++] = std::move(value);
}

int TDocumentTemplate::ReplaceTag(std::string_view tag, std::string_view value,
                                  bool caseSensitive) {
  return replaceTag(tag, value, nullptr, caseSensitive);
}

int TDocumentTemplate::replaceTag(std::string_view tag, std::string_view value, std::string* owned,
                                  bool caseSensitive) {
  if (tag.empty()) return 0;
  if (step_ != nullptr) {
    // A value holding '#' might make or take in a tag: filled tag by tag.
    if (caseSensitive && std::memchr(value.data(), '#', value.size()) == nullptr) {
      const FillStep* next = plannedPage_->plans->next(*step_, tag);
      if (next != nullptr && next->planned()) {
        if (owned != nullptr) {
          keepValue(std::move(*owned));
        } else {
          keepValue(value);
        }
        step_ = next;
        linesBuilt_ = false;
        return next->count();
      }
    }
    leavePlan();
  }
  const std::uint64_t bit = tagBit(tag);
  // Kept for the next call: a page is filled tag after tag.
  thread_local std::vector<size_t> found;
  int count = 0;
  for (size_t i = 0; i < document_.lines.size(); ++i) {
    // A keyed tag cannot occur in a line whose signature lacks its bit.
    if (bit != 0 && (document_.tags[i].signature & bit) == 0) continue;
    found.clear();
    findInLine(i, tag, bit, caseSensitive, found);
    if (found.empty()) continue;
    spliceValue(document_.lines[i], found, tag.size(), value);
    retag(i);
    count += static_cast<int>(found.size());
  }
  return count;
}

void TDocumentTemplate::findInLine(size_t index, std::string_view tag, std::uint64_t bit,
                                   bool caseSensitive, std::vector<size_t>& found) const {
  const std::string& line = document_.lines[index];
  if (bit == 0) {
    // Searched in the line itself, or in its upper-cased copy, whose
    // positions are the same.
    if (caseSensitive) {
      findAll(line, tag, found);
    } else {
      findAll(platform::upperCase(line), platform::upperCase(tag), found);
    }
    return;
  }
  // Every occurrence of a keyed tag is a key of its size. The matches are
  // taken from left to right, each after the end of the one before, as a
  // search that resumes after each inserted value takes them.
  const LineTags& tags = document_.tags[index];
  const std::span<const TagKey> keys(document_.keys.data() + tags.firstKey, tags.keyCount);
  size_t next = 0;
  for (const TagKey& key : keys) {
    if (key.size != tag.size() || key.at < next) continue;
    if (!holdsAt(line, key.at, tag, caseSensitive)) continue;
    found.push_back(key.at);
    next = key.at + key.size;
  }
}

TDocumentTemplate::TagPlaces TDocumentTemplate::FindTagPlaces(std::string_view tag,
                                                              bool caseSensitive) {
  if (step_ != nullptr) leavePlan();
  TagPlaces places;
  places.tagSize = tag.size();
  places.starts.resize(document_.lines.size());
  if (tag.empty()) return places;
  const std::uint64_t bit = tagBit(tag);
  for (size_t i = 0; i < document_.lines.size(); ++i) {
    if (bit != 0 && (document_.tags[i].signature & bit) == 0) continue;
    findInLine(i, tag, bit, caseSensitive, places.starts[i]);
  }
  return places;
}

void TDocumentTemplate::AppendFilled(const TagPlaces& places, std::string_view value,
                                     std::string& out) const {
  const std::vector<std::string>& lines = Document();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    size_t copied = 0;
    if (i < places.starts.size()) {
      for (const size_t at : places.starts[i]) {
        out.append(line, copied, at - copied).append(value);
        copied = at + places.tagSize;
      }
    }
    out.append(line, copied).append("\r\n");
  }
}

void TDocumentTemplate::retag(size_t index) {
  compactKeysWhenStale();
  std::vector<TagKey>& keys = document_.keys;
  LineTags& tags = document_.tags[index];
  liveKeys_ -= tags.keyCount;
  // A line replaced in again and again keeps the end of the list.
  if (tags.firstKey + tags.keyCount == keys.size()) keys.resize(tags.firstKey);
  tags.firstKey = keys.size();
  tags.signature = findTagKeys(document_.lines[index], keys);
  tags.keyCount = keys.size() - tags.firstKey;
  liveKeys_ += tags.keyCount;
}

void TDocumentTemplate::compactKeysWhenStale() {
  if (document_.keys.size() <= 2 * liveKeys_ + 64) return;
  std::vector<TagKey> live;
  live.reserve(liveKeys_);
  for (LineTags& tags : document_.tags) {
    const auto first = document_.keys.begin() + static_cast<std::ptrdiff_t>(tags.firstKey);
    tags.firstKey = live.size();
    live.insert(live.end(), first, first + static_cast<std::ptrdiff_t>(tags.keyCount));
  }
  document_.keys = std::move(live);
}

std::string TDocumentTemplate::Text() const {
  std::string text;
  AppendText(text);
  return text;
}

void TDocumentTemplate::AppendFilledText(const CachedPage* page,
                                         std::span<const std::string_view> tags,
                                         std::span<const std::string_view> values,
                                         std::string& out) {
  if (page == nullptr) return;
  if (page->plans != nullptr && tags.size() == values.size()) {
    // As ReplaceTag fills a page by plan, without copying the values.
    const FillStep* step = &page->plans->first();
    for (size_t i = 0; i < tags.size() && step != nullptr; ++i) {
      const bool mayMakeATag = values[i].find('#') != std::string_view::npos;
      step = tags[i].empty() || mayMakeATag ? nullptr : page->plans->next(*step, tags[i]);
      if (step != nullptr && !step->planned()) step = nullptr;
    }
    if (step != nullptr) {
      page->plans->appendText(*step, values, out);
      return;
    }
  }
  TDocumentTemplate filled;
  filled.LoadCached(page);
  for (size_t i = 0; i < tags.size() && i < values.size(); ++i) {
    filled.ReplaceTag(tags[i], values[i], true);
  }
  filled.AppendText(out);
}

void TDocumentTemplate::AppendText(std::string& out) const {
  if (step_ != nullptr && !linesBuilt_) {
    plannedPage_->plans->appendText(*step_, values_, out);
    return;
  }
  const std::vector<std::string>& lines = Document();
  size_t size = out.size();
  for (const std::string& line : lines) size += line.size() + 2;
  out.reserve(size);
  for (const std::string& line : lines) out.append(line).append("\r\n");
}

}  // namespace templates
