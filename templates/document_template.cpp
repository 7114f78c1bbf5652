#include "templates/document_template.h"

#include "platform/text.h"

namespace templates {
namespace {

// Replaces every occurrence of tag in line, scanning from left to right and
// never looking inside a value already inserted. `haystack` is the text
// searched: the line itself, or its upper-cased copy with the same positions.
int replaceInLine(std::string& line, std::string_view haystack, std::string_view tag,
                  std::string_view value) {
  size_t found = haystack.find(tag);
  if (found == std::string_view::npos) return 0;
  int count = 0;
  std::string result;
  size_t copied = 0;
  while (found != std::string_view::npos) {
    result.append(line, copied, found - copied);
    result.append(value);
    copied = found + tag.size();
    ++count;
    found = haystack.find(tag, copied);
  }
  result.append(line, copied);
  line = std::move(result);
  return count;
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
  const std::vector<std::string>* lines = cache_->lines(fileName);
  if (lines == nullptr) return false;
  SetTemplate(*lines);
  return true;
}

void TDocumentTemplate::LoadFromFile(std::string_view fileName) {
  document_.clear();
  template_.clear();
  loadLines(fileName);
}

void TDocumentTemplate::SetTemplate(const std::vector<std::string>& lines) {
  template_ = lines;
  document_ = lines;
}

void TDocumentTemplate::SetTemplateFile(std::string_view fileName) {
  templateFile_ = fileName;
  loadLines(fileName);
}

int TDocumentTemplate::ReplaceTag(std::string_view tag, std::string_view value,
                                  bool caseSensitive) {
  if (tag.empty()) return 0;
  int count = 0;
  if (caseSensitive) {
    // The line is its own haystack: it is only reassigned after the scan.
    for (std::string& line : document_) count += replaceInLine(line, line, tag, value);
    return count;
  }
  const std::string upperTag = platform::upperCase(tag);
  for (std::string& line : document_) {
    const std::string upperLine = platform::upperCase(line);
    count += replaceInLine(line, upperLine, upperTag, value);
  }
  return count;
}

std::string TDocumentTemplate::Text() const {
  return platform::joinLinesCrLf(document_);
}

}  // namespace templates
