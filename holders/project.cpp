#include "holders/project.h"

#include <algorithm>
#include <filesystem>

#include "holders/options.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "lang/language_center.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/text.h"

namespace holders {

THProject::THProject() : THProject(platform::programDirectory()) {}

THProject::THProject(std::string programDirectory)
    : THItem(nullptr),
      HelpLanguage(std::make_unique<lang::TCustomLanguageCenter>()),
      programDirectory_(platform::AddBackslash(programDirectory)),
      dialect_(std::make_unique<RtfDialect>()) {
  setProject(this);
  Visibility = kAlwaysVisible;
  ReadOptions("{DIR}\\KORVEX.INI");
  ReadOptions("KORVEX.INI");
  lang::bldlang::LoadENG(*HelpLanguage);
  const std::string languageFile = programDirectory_ + "Template/" + options().Language + ".lnf";
  if (platform::fileExists(languageFile)) HelpLanguage->LoadFromFile(languageFile, true);
}

THProject::~THProject() = default;

void THProject::ReadOptions(std::string_view fileName) {
  holders::ReadOptions(fileName, Files, programDirectory_);
}

void THProject::Message(int /*level*/, const std::string& /*text*/) {}

std::string THProject::MessageText(int index) const {
  return MessageLanguage != nullptr ? MessageLanguage->currentText(index) : std::string();
}

THUnit* THProject::UnitAt(int index) const {
  return static_cast<THUnit*>(Units.at(index).item);
}

// --- lookups

void THProject::rebuildIndex() {
  itemIndex_.clear();
  typeIndex_.clear();
  for (const NameEntry& entry : Units.entries()) itemIndex_.add(entry.name, entry.item);
  // Each unit's own search order: routines, types, variables, constants.
  for (const NameEntry& unitEntry : Units.entries()) {
    const auto* unit = static_cast<const THUnit*>(unitEntry.item);
    for (const SortedNameList* list :
         {&unit->Routines, &unit->Types, &unit->Variables, &unit->Constants}) {
      for (const NameEntry& entry : list->entries()) {
        itemIndex_.add(entry.name, entry.item);
        if (list == &unit->Types) typeIndex_.add(entry.name, entry.item);
      }
    }
  }
  indexStale_ = false;
}

THItem* THProject::FindItem(std::string_view name, bool caseSensitive) {
  if (indexStale_) rebuildIndex();
  return itemIndex_.find(name, caseSensitive).value_or(nullptr);
}

THType* THProject::FindType(std::string_view name, bool caseSensitive) {
  if (indexStale_) rebuildIndex();
  return static_cast<THType*>(typeIndex_.find(name, caseSensitive).value_or(nullptr));
}

void THProject::LoadTemplate(std::string_view name, templates::TDocumentTemplate& target) {
  const std::lock_guard lock(pagesMutex_);
  if (pagesGeneration_ != templateCache_.generation()) {
    pagesByName_.clear();
    pagesGeneration_ = templateCache_.generation();
  }
  auto known = pagesByName_.find(name);
  if (known == pagesByName_.end()) {
    const std::string path =
        programDirectory_ + "Template/" + templateSubdirectory_ + std::string(name) + ".TPF";
    known = pagesByName_.emplace(std::string(name), templateCache_.page(path)).first;
  }
  target.LoadCached(known->second);
}

}  // namespace holders
