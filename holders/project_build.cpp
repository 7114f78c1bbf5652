// THProject: the help build (topics file, help project, contents file).
#include <algorithm>

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
  InheritProperties();
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
  contents.ReplaceTag("##TXTUnits##", esc(LanguageText(txt::TXT_Units)), true);
  contents.ReplaceTag("##TXTContents##", esc(LanguageText(txt::CNT_Contents)), true);
  contents.ReplaceTag("##UnitList##", platform::joinLinesCrLf(unitJumps), true);
  output.writePage(TopicRef{TopicKind::Contents, "Contents"}, contents.Document());

  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (unit->IsDocumented()) unit->BuildTopic(output);
  }
  output.finish(Dialect().documentEnd());
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
  writeTextFile(contentsFile, ContentsLines(contentsFile));
}

std::vector<std::string> THProject::ContentsLines(std::string_view fileName) {
  std::vector<std::string> lines{
      ":Base " + platform::extractFileName(platform::changeFileExt(fileName, ".HLP")) + ">main",
      ":Title " + LanguageText(txt::CNT_Title),
      "1 " + LanguageText(txt::CNT_Overview) + "=Contents",
      "1 " + LanguageText(txt::CNT_Units),
  };
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (unit->IsDocumented()) lines.push_back("2 " + unit->UnitName + "=Unit_" + unit->UnitName);
  }
  addSection(lines, txt::CNT_Types, "=Type_", &THUnit::Types);
  addSection(lines, txt::CNT_Methods, "=Method_", &THUnit::Routines);
  addSection(lines, txt::CNT_Variables, "=Variable_", &THUnit::Variables);
  addSection(lines, txt::CNT_Constants, "=Constant_", &THUnit::Constants);
  return lines;
}

void THProject::addSection(std::vector<std::string>& lines, int heading, std::string_view prefix,
                           const SortedNameList THUnit::*list) {
  // Entries from all units, interleaved by name.
  std::vector<std::string> entries;
  for (const NameEntry& unitEntry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(unitEntry.item);
    if (!unit->IsDocumented()) continue;
    for (const NameEntry& entry : (unit->*list).entries()) {
      if (!entry.item->IsDocumented()) continue;
      const std::string name = platform::trim(entry.name);
      entries.push_back("2 " + name + std::string(prefix) + unit->UnitName + "_" + name);
    }
  }
  std::stable_sort(entries.begin(), entries.end(), platform::lessText);
  lines.push_back("1 " + LanguageText(heading));
  lines.insert(lines.end(), entries.begin(), entries.end());
}

}  // namespace holders
