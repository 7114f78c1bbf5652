#include "holders/html_index.h"

#include <algorithm>
#include <unordered_set>

#include "holders/html_dialect.h"
#include "holders/html_site.h"
#include "holders/method.h"
#include "holders/project.h"
#include "holders/property.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "holders/variable.h"
#include "lang/bldlang.h"
#include "platform/text.h"

namespace holders {
namespace txt = lang::bldlang;
namespace {

class EntryCollector {
 public:
  explicit EntryCollector(const HtmlSite& site) : site_(site) {}

  void add(const std::string& name, const std::string& context, TopicKind kind,
           const std::string& jumpName, bool member = false) {
    std::string file = HtmlSite::TopicFileName(TopicRef{kind, jumpName});
    // A unit read twice has its pages once.
    if (!site_.hasFile(file) || !seen_.insert(file).second) return;
    entries_.push_back(IndexEntry{name, context, std::move(file), kind, member});
  }

  void addType(THType& type, const std::string& unitName) {
    add(type.TypeName, unitName, TopicKind::Type, type.JumpName());
    for (const NameEntry& entry : type.Properties.entries()) {
      const auto* property = static_cast<THProperty*>(entry.item);
      add(property->PropertyName, type.TypeName, TopicKind::Property, property->JumpName(), true);
    }
    for (const NameEntry& entry : type.Methods.entries()) {
      const auto* method = static_cast<THMethod*>(entry.item);
      add(method->MethodName, type.TypeName, TopicKind::Method, method->JumpName(), true);
    }
  }

  void addUnit(THUnit& unit) {
    add(unit.UnitName, {}, TopicKind::Unit, unit.JumpName());
    for (const NameEntry& entry : unit.Types.entries())
      addType(*static_cast<THType*>(entry.item), unit.UnitName);
    for (const NameEntry& entry : unit.Routines.entries()) {
      const auto* routine = static_cast<THMethod*>(entry.item);
      add(routine->MethodName, unit.UnitName, TopicKind::Method, routine->JumpName());
    }
    for (const NameEntry& entry : unit.Variables.entries()) {
      const auto* variable = static_cast<THVariable*>(entry.item);
      add(variable->VariableName, unit.UnitName, TopicKind::Variable, variable->JumpName());
    }
    for (const NameEntry& entry : unit.Constants.entries()) {
      const auto* constant = static_cast<THConstant*>(entry.item);
      add(constant->ConstantName, unit.UnitName, TopicKind::Constant, constant->JumpName());
    }
  }

  std::vector<IndexEntry> take() { return std::move(entries_); }

 private:
  const HtmlSite& site_;
  std::unordered_set<std::string> seen_;
  std::vector<IndexEntry> entries_;
};

bool entryLess(const IndexEntry& a, const IndexEntry& b) {
  if (const int byName = platform::compareText(a.name, b.name); byName != 0) return byName < 0;
  if (const int byContext = platform::compareText(a.context, b.context); byContext != 0)
    return byContext < 0;
  return a.file < b.file;
}

std::vector<IndexEntry> collectInUnitOrder(THProject& project, const HtmlSite& site) {
  EntryCollector collector(site);
  for (const NameEntry& entry : project.Units.entries())
    collector.addUnit(*static_cast<THUnit*>(entry.item));
  return collector.take();
}

templates::TDocumentTemplate loadPage(THProject& project, std::string_view name) {
  templates::TDocumentTemplate page(project.templateCache());
  project.LoadTemplate(name, page);
  return page;
}

unsigned char initial(const IndexEntry& entry) {
  return entry.name.empty() ? ' ' : platform::upperChar(static_cast<unsigned char>(entry.name[0]));
}

// Anchors are the initial's byte in hex, so any initial gives a valid id.
std::string anchor(unsigned char letter) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string{kHex[letter >> 4], kHex[letter & 15]};
}

void fillLetter(templates::TDocumentTemplate& page, const HtmlDialect& html, unsigned char letter) {
  page.ReplaceTag("##Letter##", html.escape(std::string(1, static_cast<char>(letter))), true);
  page.ReplaceTag("##LetterAnchor##", anchor(letter), true);
}

void appendLines(std::vector<std::string>& to, const templates::TDocumentTemplate& page) {
  to.insert(to.end(), page.Document().begin(), page.Document().end());
}

// JavaScript string literal; '<' is escaped too, so the text can never close
// a script element it might be pasted into.
std::string jsString(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 32 || c == '<') {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::vector<IndexEntry> CollectIndexEntries(THProject& project, const HtmlSite& site) {
  std::vector<IndexEntry> entries = collectInUnitOrder(project, site);
  std::stable_sort(entries.begin(), entries.end(), entryLess);
  return entries;
}

std::vector<ContentsEntry> CollectContentsEntries(THProject& project, const HtmlSite& site) {
  const std::vector<IndexEntry> items = collectInUnitOrder(project, site);
  std::vector<ContentsEntry> contents{{1, project.LanguageText(txt::CNT_Overview), "index.html"},
                                      {1, project.LanguageText(txt::CNT_Units), {}}};
  for (const IndexEntry& item : items) {
    if (item.kind == TopicKind::Unit) contents.push_back({2, item.name, item.file});
  }
  const std::pair<int, TopicKind> sections[] = {{txt::CNT_Types, TopicKind::Type},
                                                {txt::CNT_Methods, TopicKind::Method},
                                                {txt::CNT_Variables, TopicKind::Variable},
                                                {txt::CNT_Constants, TopicKind::Constant}};
  for (const auto& [heading, kind] : sections) {
    std::vector<IndexEntry> section;
    for (const IndexEntry& item : items) {
      if (item.kind == kind && !item.member) section.push_back(item);
    }
    // Entries of all units, interleaved by name.
    std::stable_sort(section.begin(), section.end(), entryLess);
    contents.push_back({1, project.LanguageText(heading), {}});
    for (const IndexEntry& item : section) contents.push_back({2, item.name, item.file});
  }
  return contents;
}

std::vector<std::string> IndexPageLines(THProject& project,
                                        const std::vector<IndexEntry>& entries) {
  const HtmlDialect html;
  std::vector<std::string> links;
  std::vector<std::string> list;
  for (size_t i = 0; i < entries.size(); ++i) {
    const unsigned char letter = initial(entries[i]);
    if (i == 0 || letter != initial(entries[i - 1])) {
      templates::TDocumentTemplate link = loadPage(project, "IndexLetterLink");
      fillLetter(link, html, letter);
      appendLines(links, link);
      templates::TDocumentTemplate heading = loadPage(project, "IndexLetter");
      fillLetter(heading, html, letter);
      appendLines(list, heading);
    }
    templates::TDocumentTemplate item = loadPage(project, "IndexEntry");
    item.ReplaceTag("##ItemName##", html.escape(entries[i].name), true);
    item.ReplaceTag("##ItemContext##", html.escape(entries[i].context), true);
    item.ReplaceTag("##ItemFile##", escapeMarkup(entries[i].file), true);
    appendLines(list, item);
  }
  templates::TDocumentTemplate page = loadPage(project, "IndexPage");
  page.ReplaceTag("##LetterLinks##", platform::joinLinesCrLf(links), true);
  page.ReplaceTag("##IndexList##", platform::joinLinesCrLf(list), true);
  return page.Document();
}

std::string SearchDataScript(const std::vector<IndexEntry>& entries) {
  // No comma after the last row: older script engines (the HTML Help
  // viewer's among them) would add an empty item.
  std::string script = "var korvexSearchItems = [";
  const char* separator = "\r\n";
  for (const IndexEntry& entry : entries) {
    script += separator;
    script += "[" + jsString(windows1252ToUtf8(entry.name)) + "," +
              jsString(windows1252ToUtf8(entry.context)) + "," + jsString(entry.file) + "]";
    separator = ",\r\n";
  }
  return script + "\r\n];\r\n";
}

}  // namespace holders
