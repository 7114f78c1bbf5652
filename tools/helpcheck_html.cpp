#include "tools/helpcheck_html.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include "platform/files.h"
#include "platform/misc.h"
#include "platform/text.h"
#include "tools/helpcheck_html_scan.h"

namespace tools {
namespace {

bool isPage(std::string_view name) {
  return platform::matchesMask(name, "*.html") || platform::matchesMask(name, "*.htm");
}

bool isSitemap(std::string_view name) {
  return platform::matchesMask(name, "*.hhc") || platform::matchesMask(name, "*.hhk");
}

bool isRead(std::string_view name) {
  return isPage(name) || isSitemap(name) || platform::matchesMask(name, "*.hhp");
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
  return platform::upperCase(text).find(platform::upperCase(part)) != std::string::npos;
}

// A link with a scheme (http:, mailto:) leaves the site; nothing to check.
// A scheme is a letter, then letters, digits, '+', '-' or '.', then ':'.
std::string percentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) != 0 &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2])) != 0) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

struct LinkAttribute {
  const char* tag;
  const char* attribute;
};
constexpr LinkAttribute kLinks[] = {
    {"a", "href"}, {"link", "href"}, {"img", "src"}, {"script", "src"}};

class SiteChecker {
 public:
  explicit SiteChecker(const HtmlSiteFiles& site) : site_(site) {}
  std::vector<Finding> run();

 private:
  std::string path(const std::string& name) const { return site_.directory + "/" + name; }
  void add(const std::string& name, int line, std::string message) {
    findings_.push_back({path(name), line, std::move(message)});
  }
  void readPage(const std::string& name);
  void checkLinks(const std::string& name);
  void checkSitemap(const std::string& name);
  void checkProject(const std::string& name);
  void checkTarget(const std::string& from, int line, const std::string& link,
                   const std::string& what);
  void sortFindingsFrom(size_t first);

  const HtmlSiteFiles& site_;
  std::unordered_map<std::string, HtmlScan> scans_;
  std::unordered_map<std::string, std::unordered_set<std::string>> ids_;
  std::vector<Finding> findings_;
};

std::vector<Finding> SiteChecker::run() {
  if (!site_.names.contains("index.html")) add("index.html", 0, "the site has no start page");
  bool project = false;
  for (const auto& [name, text] : site_.text) {
    if (isPage(name)) readPage(name);
  }
  for (const auto& [name, text] : site_.text) {
    const size_t first = findings_.size();
    if (isPage(name)) {
      for (const HtmlProblem& problem : scans_[name].problems)
        add(name, problem.line, problem.message);
      checkLinks(name);
    } else if (isSitemap(name)) {
      checkSitemap(name);
    } else {
      project = true;
      checkProject(name);
    }
    sortFindingsFrom(first);
  }
  if (!project) add("*.hhp", 0, "the site has no HTML Help project");
  return std::move(findings_);
}

void SiteChecker::sortFindingsFrom(size_t first) {
  std::stable_sort(findings_.begin() + static_cast<std::ptrdiff_t>(first), findings_.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

void SiteChecker::readPage(const std::string& name) {
  HtmlScan& scan = scans_[name] = scanHtml(site_.text.at(name), true);
  std::unordered_set<std::string>& ids = ids_[name];
  bool utf8 = false;
  for (const HtmlTag& tag : scan.tags) {
    if (const std::string* id = tag.attribute("id"); id && !ids.insert(*id).second) {
      scan.problems.push_back({tag.line, "id " + *id + " is defined twice"});
    }
    if (tag.name != "meta") continue;
    const std::string* charset = tag.attribute("charset");
    const std::string* content = tag.attribute("content");
    utf8 = utf8 || (charset && platform::sameText(*charset, "utf-8")) ||
           (content && containsIgnoringCase(*content, "charset=utf-8"));
  }
  if (!utf8) scan.problems.push_back({1, "the page does not declare its encoding as UTF-8"});
}

void SiteChecker::checkLinks(const std::string& name) {
  for (const HtmlTag& tag : scans_[name].tags) {
    for (const LinkAttribute& link : kLinks) {
      if (tag.name != link.tag) continue;
      if (const std::string* target = tag.attribute(link.attribute)) {
        checkTarget(name, tag.line, *target, std::string(link.tag) + " " + link.attribute);
      }
    }
  }
}

void SiteChecker::checkTarget(const std::string& from, int line, const std::string& link,
                              const std::string& what) {
  if (link.empty()) {
    add(from, line, what + " is empty");
    return;
  }
  if (platform::hasUrlScheme(link)) return;
  const size_t hash = link.find('#');
  std::string file = percentDecoded(link.substr(0, std::min(hash, link.find('?'))));
  if (file.empty()) file = from;
  if (!site_.names.contains(file)) {
    add(from, line, what + " " + link + " leads to no file");
    return;
  }
  const std::string fragment =
      hash == std::string::npos ? std::string() : percentDecoded(link.substr(hash + 1));
  if (fragment.empty() || !isPage(file)) return;
  const auto ids = ids_.find(file);
  if (ids == ids_.end() || !ids->second.contains(fragment)) {
    add(from, line, what + " " + link + " leads to no element of that id");
  }
}

void SiteChecker::checkSitemap(const std::string& name) {
  const HtmlScan scan = scanHtml(site_.text.at(name), false);
  for (const HtmlProblem& problem : scan.problems) add(name, problem.line, problem.message);
  for (const HtmlTag& tag : scan.tags) {
    const std::string* param = tag.attribute("name");
    const std::string* value = tag.attribute("value");
    if (tag.name == "param" && param && value && platform::sameText(*param, "Local")) {
      checkTarget(name, tag.line, *value, "entry");
    }
  }
}

void SiteChecker::checkProject(const std::string& name) {
  const std::vector<std::string> lines = platform::splitLines(site_.text.at(name));
  std::string section;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = platform::trim(lines[i]);
    const int number = static_cast<int>(i) + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = platform::upperCase(line);
    } else if (section == "[FILES]") {
      if (!site_.names.contains(line)) add(name, number, "file " + line + " does not exist");
    } else if (section == "[OPTIONS]") {
      const size_t equals = line.find('=');
      const std::string key = platform::trim(line.substr(0, equals));
      if (equals == std::string::npos) continue;
      const std::string value = platform::trim(line.substr(equals + 1));
      for (const char* named : {"Contents file", "Index file", "Default topic"}) {
        if (platform::sameText(key, named) && !site_.names.contains(value))
          add(name, number, key + " " + value + " does not exist");
      }
    }
  }
}

}  // namespace

HtmlSiteFiles readHtmlSite(std::string_view directory) {
  const std::optional<std::string> resolved = platform::resolvePath(directory);
  if (!resolved || !platform::directoryExists(*resolved)) {
    throw platform::FileError("cannot read directory " + std::string(directory) +
                              ": no such directory");
  }
  HtmlSiteFiles site;
  site.directory = platform::StripBackslash(directory);
  std::vector<std::string> files;
  platform::FindFiles(*resolved, "*", files);
  for (const std::string& file : files) {
    const std::string name = platform::extractFileName(file);
    site.names.insert(name);
    if (isRead(name)) site.text[name] = platform::readFile(file);
  }
  return site;
}

std::vector<Finding> checkHtmlSite(const HtmlSiteFiles& site) {
  return SiteChecker(site).run();
}

}  // namespace tools
