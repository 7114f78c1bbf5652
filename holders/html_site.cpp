#include "holders/html_site.h"

#include "holders/html_dialect.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/document_template.h"

namespace holders {
namespace {

// Characters that would name another directory or that common file systems
// refuse; jump names built from Pascal identifiers never hold them.
bool unsafeInFileName(unsigned char c) {
  return c < 32 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
         c == '<' || c == '>' || c == '|';
}

std::string safeFileName(std::string_view name) {
  std::string bytes(name);
  for (char& c : bytes) {
    if (unsafeInFileName(static_cast<unsigned char>(c))) c = '_';
  }
  return windows1252ToUtf8(bytes);
}

// The jump name with its kind prefix ("Type_", "Method_", ...) replaced.
std::string renamed(std::string_view prefix, std::string_view id) {
  const size_t underscore = id.find('_');
  return std::string(prefix) +
         std::string(underscore == std::string_view::npos ? id : id.substr(underscore + 1));
}

// A line break inside a line comes from a value put into a page (every jump
// page ends with one). Readers of the topics file ignore such breaks; a
// browser would show a blank, or a new line inside a sample, so the site
// drops them too and a link stays next to the full stop after it.
std::string withoutLineBreaks(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (const char c : line) {
    if (c != '\r' && c != '\n') out += c;
  }
  return out;
}

std::string stripTags(std::string_view html) {
  std::string text;
  bool inTag = false;
  for (const char c : html) {
    if (c == '<') {
      inTag = true;
    } else if (c == '>') {
      inTag = false;
    } else if (!inTag) {
      text += c;
    }
  }
  return platform::trim(text);
}

}  // namespace

HtmlSite::HtmlSite(std::string directory, std::vector<std::string> foot)
    : directory_(std::move(directory)), foot_(std::move(foot)) {}

std::string HtmlSite::TopicFileName(const TopicRef& topic) {
  switch (topic.kind) {
    case TopicKind::Header:
      return {};
    case TopicKind::Contents:
      return "index.html";
    case TopicKind::PropertiesList:
      return safeFileName(renamed("Properties_", topic.id)) + ".html";
    case TopicKind::MethodsList:
      return safeFileName(renamed("Methods_", topic.id)) + ".html";
    case TopicKind::EventsList:
      return safeFileName(renamed("Events_", topic.id)) + ".html";
    case TopicKind::Sample:
      return safeFileName(renamed("Sample_", topic.id)) + ".html";
    default:
      return safeFileName(topic.id) + ".html";
  }
}

std::string HtmlSite::PageTitle(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += withoutLineBreaks(line) + " ";
  const size_t open = text.find("<h1");
  if (open == std::string::npos) return {};
  const size_t start = text.find('>', open);
  const size_t end = text.find("</h1>", open);
  if (start == std::string::npos || end == std::string::npos || end < start) return {};
  return stripTags(std::string_view(text).substr(start + 1, end - start - 1));
}

void HtmlSite::writePage(const TopicRef& topic, const std::vector<std::string>& lines) {
  if (topic.kind == TopicKind::Header) {
    head_ = lines;
    return;
  }
  SiteFile file{topic.kind, topic.id, TopicFileName(topic), PageTitle(lines)};
  writeFile(file, lines);
}

void HtmlSite::writeExtraPage(std::string_view fileName, const std::vector<std::string>& lines) {
  writeFile(SiteFile{TopicKind::Contents, {}, std::string(fileName), PageTitle(lines)}, lines);
}

void HtmlSite::finish(std::string_view /*closingLine*/) {}

bool HtmlSite::hasFile(std::string_view fileName) const {
  return names_.count(std::string(fileName)) != 0;
}

void HtmlSite::writeFile(const SiteFile& file, const std::vector<std::string>& lines) {
  templates::TDocumentTemplate head;
  head.SetTemplate(head_);
  head.ReplaceTag("##PageTitle##", file.title.empty() ? file.file : file.title, true);
  platform::TextFileWriter out(directory_ + "/" + file.file);
  for (const std::string& line : head.Document()) out.writeLine(line);
  for (const std::string& line : lines) out.writeLine(withoutLineBreaks(line));
  for (const std::string& line : foot_) out.writeLine(line);
  out.close();
  if (names_.insert(file.file).second) files_.push_back(file);
}

}  // namespace holders
