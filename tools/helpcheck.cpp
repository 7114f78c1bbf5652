#include "tools/helpcheck.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/files.h"
#include "platform/text.h"
#include "tools/helpcheck_rtf.h"

namespace tools {
namespace {

constexpr size_t kMaxTopicIdLength = 255;

// Topic IDs are compared ignoring case, as the help compiler does.
std::string idKey(std::string_view id) {
  return platform::upperCase(id);
}

bool isPortableIdChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_';
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// What the help project file says that the other files depend on.
struct HpjFacts {
  std::vector<std::string> files;
  std::string contentsId;
  int contentsLine = 0;
  std::unordered_set<std::string> windows;  // upper-cased names
  std::vector<std::pair<std::string, int>> mapIds;
};

std::string withoutComment(std::string_view line) {
  const size_t semicolon = line.find(';');
  return platform::trim(line.substr(0, semicolon));
}

void readMapLine(std::string_view entry, int line, HpjFacts& facts) {
  const std::string upper = platform::upperCase(entry);
  if (upper.starts_with("#INCLUDE")) return;
  const std::string id = platform::trim(upper.starts_with("#DEFINE") ? entry.substr(7) : entry);
  facts.mapIds.emplace_back(id.substr(0, id.find_first_of(" \t=")), line);
}

void readHpjLine(std::string_view section, std::string_view entry, int line, HpjFacts& facts) {
  const size_t equals = entry.find('=');
  if (section == "FILES") {
    facts.files.emplace_back(entry);
  } else if (section == "OPTIONS" && equals != std::string_view::npos &&
             platform::sameText(platform::trim(entry.substr(0, equals)), "CONTENTS")) {
    facts.contentsId = platform::trim(entry.substr(equals + 1));
    facts.contentsLine = line;
  } else if (section == "WINDOWS" && equals != std::string_view::npos) {
    facts.windows.insert(idKey(platform::trim(entry.substr(0, equals))));
  } else if (section == "MAP") {
    readMapLine(entry, line, facts);
  }
}

HpjFacts readHpj(std::string_view text) {
  HpjFacts facts;
  std::string section;
  int line = 0;
  for (const std::string& raw : platform::splitLines(text)) {
    ++line;
    const std::string entry = withoutComment(raw);
    if (entry.empty()) continue;
    if (entry.front() == '[' && entry.back() == ']') {
      section =
          platform::upperCase(platform::trim(std::string_view(entry).substr(1, entry.size() - 2)));
      continue;
    }
    readHpjLine(section, entry, line, facts);
  }
  return facts;
}

class Checker {
 public:
  explicit Checker(const HelpProjectFiles& files) : files_(files) {}
  std::vector<Finding> run();

 private:
  void add(const std::string& file, int line, std::string message) {
    findings_.push_back({file, line, std::move(message)});
  }
  void checkBraces(const RtfDocument& document);
  void collectIds(const RtfDocument& document);
  void checkTopic(const RtfTopic& topic);
  void checkTopicId(const RtfFootnote& footnote);
  void checkTarget(const std::string& file, int line, std::string_view target,
                   const std::string& what);
  void checkWindow(const std::string& file, int line, std::string_view window);
  void checkHpj();
  void checkCnt();
  void checkCntLine(std::string_view text, int line);
  bool idExists(std::string_view id) const { return ids_.contains(idKey(id)); }

  const HelpProjectFiles& files_;
  std::optional<HpjFacts> hpj_;
  std::unordered_map<std::string, int> ids_;  // upper-cased ID -> line of its first definition
  std::vector<Finding> findings_;
};

std::vector<Finding> Checker::run() {
  if (files_.hpj) hpj_ = readHpj(*files_.hpj);
  const RtfDocument document = scanRtf(files_.rtf);
  if (!document.startsAsRtf) {
    add(files_.rtfName, 1, "the file does not begin with {\\rtf; it is not an RTF document");
  } else {
    checkBraces(document);
  }
  collectIds(document);
  for (const RtfTopic& topic : document.topics) checkTopic(topic);
  for (const RtfJump& jump : document.jumps) {
    checkTarget(files_.rtfName, jump.line, jump.target, "jump to");
  }
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  checkHpj();
  checkCnt();
  return std::move(findings_);
}

// A fault inside one topic shows up again in the document as a whole, so the
// document's own findings only count when no topic explains them.
void Checker::checkBraces(const RtfDocument& document) {
  bool topicFault = false;
  for (const RtfTopic& topic : document.topics) {
    if (topic.bracesBalanced) continue;
    topicFault = true;
    add(files_.rtfName, topic.line, "unbalanced braces in the topic that starts here");
  }
  if (topicFault) return;
  for (const RtfProblem& problem : document.braceProblems) {
    add(files_.rtfName, problem.line, "unbalanced braces: " + problem.message);
  }
}

void Checker::collectIds(const RtfDocument& document) {
  for (const RtfTopic& topic : document.topics) {
    for (const RtfFootnote& footnote : topic.footnotes) {
      if (footnote.mark != '#') continue;
      checkTopicId(footnote);
      auto [known, added] = ids_.emplace(idKey(footnote.text), footnote.line);
      if (!added) {
        add(files_.rtfName, footnote.line,
            "topic ID " + quoted(footnote.text) + " is defined twice (first at line " +
                std::to_string(known->second) + ")");
      }
    }
  }
}

void Checker::checkTopicId(const RtfFootnote& footnote) {
  const std::string& id = footnote.text;
  if (id.empty()) {
    add(files_.rtfName, footnote.line, "empty topic ID");
  } else if (id.size() > kMaxTopicIdLength) {
    add(files_.rtfName, footnote.line, "topic ID " + quoted(id) + " is longer than 255 characters");
  } else if (!std::all_of(id.begin(), id.end(), isPortableIdChar)) {
    add(files_.rtfName, footnote.line,
        "topic ID " + quoted(id) + " has characters WinHelp does not accept (use A-Z a-z 0-9 . _)");
  }
}

void Checker::checkTopic(const RtfTopic& topic) {
  const RtfFootnote* id = nullptr;
  bool titled = false;
  for (const RtfFootnote& footnote : topic.footnotes) {
    if (footnote.mark == '#' && id == nullptr) id = &footnote;
    if (footnote.mark == '$' && !footnote.text.empty()) titled = true;
    if (footnote.mark == '>') checkWindow(files_.rtfName, footnote.line, footnote.text);
  }
  if (titled) return;
  add(files_.rtfName, topic.line,
      id ? "topic " + quoted(id->text) + " has no title" : std::string("topic has no title"));
}

// Targets are "[%|*]ID[>window][@file]" or "!macro"; IDs in other help files
// and macros are not this project's to check.
void Checker::checkTarget(const std::string& file, int line, std::string_view target,
                          const std::string& what) {
  if (!target.empty() && (target.front() == '%' || target.front() == '*')) target.remove_prefix(1);
  if (target.starts_with("!") || target.find('@') != std::string_view::npos) return;
  const size_t window = target.find('>');
  if (window != std::string_view::npos) {
    checkWindow(file, line, platform::trim(target.substr(window + 1)));
    target = target.substr(0, window);
  }
  const std::string id = platform::trim(target);
  if (!idExists(id)) add(file, line, what + " " + quoted(id) + ", which no topic defines");
}

void Checker::checkWindow(const std::string& file, int line, std::string_view window) {
  if (!hpj_ || platform::sameText(window, "main") || hpj_->windows.contains(idKey(window))) return;
  add(file, line, "window " + quoted(window) + " is not defined in the HPJ's [WINDOWS]");
}

void Checker::checkHpj() {
  if (!hpj_) {
    add(files_.hpjName, 0, "the help project file is missing");
    return;
  }
  const std::string rtfFile = platform::extractFileName(files_.rtfName);
  const bool named = std::any_of(hpj_->files.begin(), hpj_->files.end(), [&](const auto& entry) {
    return platform::sameText(platform::extractFileName(entry), rtfFile);
  });
  if (!named) add(files_.hpjName, 0, "the HPJ does not name " + rtfFile + " in [FILES]");
  if (!hpj_->contentsId.empty()) {
    checkTarget(files_.hpjName, hpj_->contentsLine, hpj_->contentsId, "CONTENTS names");
  }
  for (const auto& [id, line] : hpj_->mapIds) checkTarget(files_.hpjName, line, id, "[MAP] names");
}

void Checker::checkCnt() {
  if (!files_.cnt) {
    add(files_.cntName, 0, "the contents file is missing");
    return;
  }
  int line = 0;
  for (const std::string& text : platform::splitLines(*files_.cnt)) {
    ++line;
    checkCntLine(text, line);
  }
}

// Entries read "N Text" (a heading) or "N Text=Target"; lines starting with
// ":" are commands.
void Checker::checkCntLine(std::string_view text, int line) {
  if (platform::trim(text).empty() || text.front() == ':') return;
  const bool entry = text.size() >= 3 && text[0] >= '1' && text[0] <= '9' && text[1] == ' ';
  const size_t equals = text.find('=');
  if (!entry || equals == 2) {
    add(files_.cntName, line, "not a contents entry: " + quoted(text));
    return;
  }
  if (equals == std::string_view::npos) return;
  checkTarget(files_.cntName, line, text.substr(equals + 1), "contents entry names");
}

}  // namespace

std::string formatFinding(const Finding& finding) {
  std::string text = finding.file;
  if (finding.line > 0) text += ":" + std::to_string(finding.line);
  return text + ": " + finding.message;
}

HelpProjectFiles readHelpProject(std::string_view rtfPath) {
  HelpProjectFiles files;
  files.rtfName = std::string(rtfPath);
  files.hpjName = platform::changeFileExt(rtfPath, ".HPJ");
  files.cntName = platform::changeFileExt(rtfPath, ".CNT");
  files.rtf = platform::readFile(rtfPath);
  if (platform::fileExists(files.hpjName)) files.hpj = platform::readFile(files.hpjName);
  if (platform::fileExists(files.cntName)) files.cnt = platform::readFile(files.cntName);
  return files;
}

std::vector<Finding> checkHelpProject(const HelpProjectFiles& files) {
  return Checker(files).run();
}

}  // namespace tools
