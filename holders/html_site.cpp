#include "holders/html_site.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "holders/html_dialect.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/document_template.h"

namespace holders {
namespace {

constexpr size_t kLongestStem = 200;

// Bytes a file name keeps as they are; every other byte is written ~HH, so
// distinct names stay distinct, nothing leaves the directory, and names are
// plain ASCII wherever the site is copied or compiled.
bool keptInFileName(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '-';
}

// FNV-1a: a stable short digest for names too long for a file system.
std::string digest(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  std::string out;
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 15];
  return out;
}

std::string fileStem(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string stem;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (keptInFileName(byte)) {
      stem += c;
    } else {
      stem += '~';
      stem += kHex[byte >> 4];
      stem += kHex[byte & 15];
    }
  }
  if (stem.size() > kLongestStem) stem = stem.substr(0, kLongestStem - 17) + "~" + digest(utf8);
  return stem;
}

std::string topicFile(std::string_view name) {
  return fileStem(windows1252ToUtf8(name)) + ".html";
}

// The entities HtmlDialect::escape writes, decoded.
std::string unescaped(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool decoded = false;
    for (const auto& [entity, c] : kEntities) {
      if (text.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size() - 1;
        decoded = true;
        break;
      }
    }
    if (!decoded) out += text[i];
  }
  return out;
}

// A page's link as written by its template names a topic by its jump name;
// the site names the file as TopicFileName does.
// "http:", "mailto:" and the like: letters first, then letters, digits, '+',
// '-' or '.'. A page name with a colon is no scheme.
std::string linkTarget(std::string_view href) {
  const std::string decoded = unescaped(href);
  // A '#' in a page's name is part of it; a fragment follows a whole name.
  size_t end = decoded.size();
  if (!decoded.ends_with(".html")) {
    end = decoded.rfind('#');
    if (end == std::string::npos) return std::string(href);
  }
  const std::string_view path = std::string_view(decoded).substr(0, end);
  if (!path.ends_with(".html") || platform::hasUrlScheme(path)) return std::string(href);
  return fileStem(path.substr(0, path.size() - 5)) + ".html" + escapeMarkup(decoded.substr(end));
}

std::string withoutLineBreaks(std::string line) {
  std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
  return line;
}

// A line of a page as written: line breaks from inserted values dropped (see
// the class comment), links named as the files are.
std::string pageLine(std::string_view line) {
  static constexpr std::string_view kHref = "href=\"";
  std::string out;
  out.reserve(line.size());
  size_t done = 0;
  for (size_t at = line.find(kHref); at != std::string_view::npos; at = line.find(kHref, done)) {
    const size_t start = at + kHref.size();
    const size_t end = line.find('"', start);
    if (end == std::string_view::npos) break;
    out.append(line.substr(done, start - done));
    out += linkTarget(line.substr(start, end - start));
    done = end;
  }
  out.append(line.substr(done));
  return withoutLineBreaks(std::move(out));
}

// The jump name with its kind prefix ("Type_", "Method_", ...) replaced.
std::string renamed(std::string_view prefix, std::string_view id) {
  const size_t underscore = id.find('_');
  return std::string(prefix) +
         std::string(underscore == std::string_view::npos ? id : id.substr(underscore + 1));
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

// The directory is the site's own and the names are the site's, so the file
// is opened as named: looking for another spelling of the name would read
// the whole directory for every page.
void writePageFile(const std::string& path, std::string_view page) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) platform::throwSystemError("create", path);
  const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (std::fclose(out) != 0 || !written) platform::throwSystemError("write", path);
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
      return topicFile(renamed("Properties_", topic.id));
    case TopicKind::MethodsList:
      return topicFile(renamed("Methods_", topic.id));
    case TopicKind::EventsList:
      return topicFile(renamed("Events_", topic.id));
    case TopicKind::Sample:
      return topicFile(renamed("Sample_", topic.id));
    default:
      return topicFile(topic.id);
  }
}

std::string HtmlSite::PageTitle(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += pageLine(line) + " ";
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
  writeFile(file, lines, true);
}

void HtmlSite::writeExtraPage(std::string_view fileName, const std::vector<std::string>& lines) {
  writeFile(SiteFile{TopicKind::Contents, {}, std::string(fileName), PageTitle(lines)}, lines,
            false);
}

void HtmlSite::finish(std::string_view /*closingLine*/) {}

bool HtmlSite::hasFile(std::string_view fileName) const {
  return names_.count(std::string(fileName)) != 0;
}

void HtmlSite::writeFile(const SiteFile& file, const std::vector<std::string>& lines,
                         bool linksByJumpName) {
  templates::TDocumentTemplate head;
  head.SetTemplate(head_);
  head.ReplaceTag("##PageTitle##", file.title.empty() ? file.file : file.title, true);
  std::string page;
  head.AppendText(page);
  for (const std::string& line : lines) {
    page.append(linksByJumpName ? pageLine(line) : withoutLineBreaks(line)).append("\r\n");
  }
  for (const std::string& line : foot_) page.append(line).append("\r\n");
  writePageFile(directory_ + "/" + file.file, page);
  if (names_.insert(file.file).second) files_.push_back(file);
}

}  // namespace holders
