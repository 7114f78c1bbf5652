// THProject: the help build (topics file, help project, contents file).
#include <algorithm>
#include <exception>
#include <utility>

#include "holders/method.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "holders/property.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "holders/variable.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "platform/files.h"
#include "platform/ordered_work.h"
#include "platform/text.h"

namespace holders {
namespace txt = lang::bldlang;
namespace {

// Keeps the project's building flag set for one build, whatever happens.
class BuildingScope {
 public:
  explicit BuildingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BuildingScope() { flag_ = false; }
  BuildingScope(const BuildingScope&) = delete;
  BuildingScope& operator=(const BuildingScope&) = delete;

 private:
  bool& flag_;
};

// The progress lines of the unit this thread builds, while units are built
// on several threads.
using PostedLines = std::vector<std::pair<int, std::string>>;
thread_local PostedLines* postedLines = nullptr;

// What one build thread leaves for the writer: a unit's pages and lines.
struct BuiltUnit {
  PageBuffer pages;
  PostedLines lines;
  std::exception_ptr error;  // what stopped the unit's build, after the lines
};

// Units whose pages may wait for the writer at once, per thread.
constexpr size_t kUnitsAheadPerThread = 2;

void writeTextFile(const std::string& path, const std::vector<std::string>& lines) {
  platform::TextFileWriter out(path);
  for (const std::string& line : lines) out.writeLine(line);
  out.close();
}

}  // namespace

void THProject::Build(std::string_view fileName) {
  const std::string topicsFile = platform::changeFileExt(fileName, ".RTF");
  Message(0, MessageText(lang::BaseLang::kMsgBuildToFile) + topicsFile);
  {
    FilePageWriter writer(topicsFile);
    BuildTopics(writer);
  }
  const std::string projectFile = platform::changeFileExt(topicsFile, ".HPJ");
  Message(0, MessageText(lang::BaseLang::kMsgBuildToFile) + projectFile);
  writeTextFile(projectFile, HelpProjectLines(projectFile));
  WriteContents(projectFile);
}

void THProject::Post(int level, std::string text) {
  if (postedLines != nullptr) {
    postedLines->emplace_back(level, std::move(text));
  } else {
    Message(level, text);
  }
}

const std::string& THProject::EscapedHelpText(int index) {
  const std::lock_guard lock(pagesMutex_);
  auto known = escapedTexts_.find(index);
  if (known == escapedTexts_.end()) {
    known = escapedTexts_.emplace(index, esc(LanguageText(index))).first;
  }
  return known->second;
}

void THProject::InheritProperties() {
  for (const NameEntry& unitEntry : Units.entries()) {
    const auto* unit = static_cast<const THUnit*>(unitEntry.item);
    for (const NameEntry& typeEntry : unit->Types.entries()) {
      const auto* type = static_cast<const THType*>(typeEntry.item);
      for (const NameEntry& member : type->Properties.entries()) {
        static_cast<THProperty*>(member.item)->InheritFromAncestor();
      }
    }
  }
}

void THProject::BuildTopics(PageSink& output) {
  const BuildingScope building(building_);
  escapedTexts_.clear();  // the language or the dialect may have changed since the last build
  InheritProperties();
  prepareModelForBuild();
  output.writePage(TopicRef{TopicKind::Header, {}}, page("Header").Document());

  std::vector<std::string> unitJumps;
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (!unit->IsDocumented()) continue;
    templates::TDocumentTemplate jump = page("UnitJump");
    jump.ReplaceTag("##UnitName##", esc(unit->UnitName), true);
    unitJumps.insert(unitJumps.end(), jump.Document().begin(), jump.Document().end());
  }
  templates::TDocumentTemplate contents = page("Contents");
  contents.ReplaceTag("##TXTUnits##", escapedText(txt::TXT_Units), true);
  contents.ReplaceTag("##TXTContents##", escapedText(txt::CNT_Contents), true);
  contents.ReplaceTag("##UnitList##", platform::joinLinesCrLf(unitJumps), true);
  output.writePage(TopicRef{TopicKind::Contents, "Contents"}, contents.Document());

  buildUnitTopics(output);
  output.finish(Dialect().documentEnd());
}

void THProject::prepareModelForBuild() {
  if (indexStale_) rebuildIndex();
  for (const NameEntry& unitEntry : Units.entries()) {
    const auto* unit = static_cast<const THUnit*>(unitEntry.item);
    for (const SortedNameList* list :
         {&unit->Constants, &unit->Routines, &unit->Types, &unit->Variables}) {
      list->entries();
    }
    for (const NameEntry& typeEntry : unit->Types.entries()) {
      auto* type = static_cast<THType*>(typeEntry.item);
      type->Methods.entries();
      // A class's properties are listed in name order, in its own lists and
      // in those of its descendants, whichever unit is built first.
      if (type->TypeKind == kClassType) type->Properties.sortByName();
    }
  }
}

void THProject::buildUnitTopics(PageSink& output) {
  std::vector<THUnit*> units;
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (unit->IsDocumented()) units.push_back(unit);
  }
  const unsigned threads = BuildThreads != 0 ? BuildThreads : platform::defaultThreadCount();
  if (threads <= 1 || units.size() <= 1) {
    for (THUnit* unit : units) unit->BuildTopic(output);
    return;
  }
  // Each unit's pages are made on a build thread into a buffer of their own,
  // then written here in the order of the units, with the unit's progress
  // lines: the output is the same as that of one thread.
  std::vector<std::unique_ptr<BuiltUnit>> built(units.size());
  platform::runOrdered(
      units.size(), threads, threads * kUnitsAheadPerThread,
      [&](size_t i) {
        auto result = std::make_unique<BuiltUnit>();
        postedLines = &result->lines;
        try {
          units[i]->BuildTopic(result->pages);
        } catch (...) {
          result->error = std::current_exception();
        }
        postedLines = nullptr;
        built[i] = std::move(result);
      },
      [&](size_t i) {
        const std::unique_ptr<BuiltUnit> result = std::move(built[i]);
        for (const auto& [level, text] : result->lines) Message(level, text);
        // A failed unit's pages up to the failure are written, as they
        // would be on one thread.
        result->pages.replayTo(output);
        if (result->error) std::rethrow_exception(result->error);
      });
}

std::vector<std::string> THProject::HelpProjectLines(std::string_view fileName) {
  templates::TDocumentTemplate helpProject = page("HPJ");
  helpProject.ReplaceTag("##WIN_AUX##",
                         LanguageText(txt::TYPE_Properties) + ", " +
                             LanguageText(txt::TYPE_Methods) + ", and " +
                             LanguageText(txt::TYPE_Events),
                         true);
  helpProject.ReplaceTag(
      "##FileName##", platform::extractFileName(platform::changeFileExt(fileName, ".RTF")), true);
  helpProject.ReplaceTag("##HelpFileName##",
                         platform::extractFileName(platform::changeFileExt(fileName, ".HLP")),
                         true);
  return helpProject.Document();
}

void THProject::WriteContents(std::string_view fileName) {
  const std::string contentsFile = platform::changeFileExt(fileName, ".CNT");
  Message(0, MessageText(lang::BaseLang::kMsgBuildToFile) + contentsFile);
  // Written as it is made: the contents of a large project run to hundreds
  // of thousands of lines.
  platform::TextFileWriter out(contentsFile);
  emitContents(contentsFile, [&out](std::string line) { out.writeLine(line); });
  out.close();
}

std::vector<std::string> THProject::ContentsLines(std::string_view fileName) {
  std::vector<std::string> lines;
  emitContents(fileName, [&lines](std::string line) { lines.push_back(std::move(line)); });
  return lines;
}

void THProject::emitContents(std::string_view fileName, const LineSink& emit) {
  emit(":Base " + platform::extractFileName(platform::changeFileExt(fileName, ".HLP")) + ">main");
  emit(":Title " + LanguageText(txt::CNT_Title));
  emit("1 " + LanguageText(txt::CNT_Overview) + "=Contents");
  emit("1 " + LanguageText(txt::CNT_Units));
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (unit->IsDocumented()) emit("2 " + unit->UnitName + "=Unit_" + unit->UnitName);
  }
  emitSection(emit, txt::CNT_Types, "=Type_", &THUnit::Types);
  emitSection(emit, txt::CNT_Methods, "=Method_", &THUnit::Routines);
  emitSection(emit, txt::CNT_Variables, "=Variable_", &THUnit::Variables);
  emitSection(emit, txt::CNT_Constants, "=Constant_", &THUnit::Constants);
}

void THProject::emitSection(const LineSink& emit, int heading, std::string_view prefix,
                            const SortedNameList THUnit::*list) {
  // Entries from all units, interleaved by name. A large project has
  // hundreds of thousands of them: they are packed into one string and
  // sorted as views into it.
  const auto forEachEntry = [&](const auto& visit) {
    for (const NameEntry& unitEntry : Units.entries()) {
      auto* unit = static_cast<THUnit*>(unitEntry.item);
      if (!unit->IsDocumented()) continue;
      for (const NameEntry& entry : (unit->*list).entries()) {
        if (entry.item->IsDocumented()) visit(platform::trim(entry.name), unit->UnitName);
      }
    }
  };
  // Sized first, so the packed text is never copied while it grows.
  size_t bytes = 0;
  size_t count = 0;
  forEachEntry([&](const std::string& name, const std::string& unitName) {
    bytes += 3 + 2 * name.size() + prefix.size() + unitName.size();
    ++count;
  });
  std::string packed;
  packed.reserve(bytes);
  std::vector<std::pair<size_t, size_t>> spans;  // offset and length in packed
  spans.reserve(count);
  forEachEntry([&](const std::string& name, const std::string& unitName) {
    const size_t offset = packed.size();
    packed.append("2 ").append(name).append(prefix).append(unitName).append("_").append(name);
    spans.emplace_back(offset, packed.size() - offset);
  });
  const auto line = [&packed](const std::pair<size_t, size_t>& span) {
    return std::string_view(packed).substr(span.first, span.second);
  };
  std::stable_sort(spans.begin(), spans.end(), [&line](const auto& a, const auto& b) {
    return platform::lessText(line(a), line(b));
  });
  emit("1 " + LanguageText(heading));
  for (const auto& span : spans) emit(std::string(line(span)));
}

}  // namespace holders
