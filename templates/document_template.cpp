#include "templates/document_template.h"

#include <cstring>
#include <vector>

#include "platform/text.h"
#include "templates/tag_signature.h"

namespace templates {
namespace {

// Where tag next occurs in haystack from `from` on. Pages hold many '#'
// (tags, character codes such as #13#10), so a candidate is checked on its
// second and last bytes before the whole tag is compared.
size_t findTag(std::string_view haystack, std::string_view tag, size_t from) {
  const size_t size = tag.size();
  if (from > haystack.size() || haystack.size() - from < size) return std::string_view::npos;
  const char* const begin = haystack.data();
  const char* const lastStart = begin + haystack.size() - size;
  for (const char* at = begin + from; at <= lastStart; ++at) {
    at = static_cast<const char*>(std::memchr(at, tag[0], static_cast<size_t>(lastStart - at) + 1));
    if (at == nullptr) break;
    if (size == 1 || (at[1] == tag[1] && at[size - 1] == tag[size - 1] &&
                      std::memcmp(at + 2, tag.data() + 2, size > 2 ? size - 2 : 0) == 0)) {
      return static_cast<size_t>(at - begin);
    }
  }
  return std::string_view::npos;
}

// Replaces every occurrence of tag in line, scanning from left to right and
// never looking inside a value already inserted. `haystack` is the text
// searched: the line itself, or its upper-cased copy with the same positions.
int replaceInLine(std::string& line, std::string_view haystack, std::string_view tag,
                  std::string_view value) {
  const size_t first = findTag(haystack, tag, 0);
  if (first == std::string_view::npos) return 0;
  const size_t second = findTag(haystack, tag, first + tag.size());
  if (second == std::string_view::npos) {
    line.replace(first, tag.size(), value);
    return 1;
  }
  std::vector<size_t> found{first, second};
  for (size_t at = findTag(haystack, tag, second + tag.size()); at != std::string_view::npos;
       at = findTag(haystack, tag, at + tag.size())) {
    found.push_back(at);
  }
  std::string result;
  result.reserve(line.size() - found.size() * tag.size() + found.size() * value.size());
  size_t copied = 0;
  for (const size_t at : found) {
    result.append(line, copied, at - copied);
    result.append(value);
    copied = at + tag.size();
  }
  result.append(line, copied);
  line = std::move(result);
  return static_cast<int>(found.size());
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
  if (page != nullptr) {
    document_ = page->lines;
    signatures_ = page->signatures;
  } else {
    document_.clear();
    signatures_.clear();
  }
}

void TDocumentTemplate::SetTemplate(const std::vector<std::string>& lines) {
  template_ = lines;
  cachedTemplate_ = nullptr;
  document_ = lines;
  signatures_.resize(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) signatures_[i] = tagSignature(lines[i]);
}

void TDocumentTemplate::SetTemplateFile(std::string_view fileName) {
  templateFile_ = fileName;
  loadLines(fileName);
}

int TDocumentTemplate::ReplaceTag(std::string_view tag, std::string_view value,
                                  bool caseSensitive) {
  if (tag.empty()) return 0;
  const std::uint64_t bit = tagBit(tag);
  const std::string upperTag = caseSensitive ? std::string() : platform::upperCase(tag);
  int count = 0;
  for (size_t i = 0; i < document_.size(); ++i) {
    if (bit != 0 && (signatures_[i] & bit) == 0) continue;
    std::string& line = document_[i];
    // The line is its own haystack: it is only reassigned after the scan.
    const int replaced = caseSensitive
                             ? replaceInLine(line, line, tag, value)
                             : replaceInLine(line, platform::upperCase(line), upperTag, value);
    if (replaced > 0) signatures_[i] = tagSignature(line);
    count += replaced;
  }
  return count;
}

std::string TDocumentTemplate::Text() const {
  return platform::joinLinesCrLf(document_);
}

}  // namespace templates
