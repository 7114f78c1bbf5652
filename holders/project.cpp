#include "holders/project.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <memory>

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

namespace {

// A number no other call in the process returns (never 0): it names a state
// of one project (its page set, its indexes) that per-thread copies check.
std::uint64_t newStamp() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

// The last lookups a thread made, by the hash of the name. The words of
// descriptions are looked up by the million and the same few hundred words
// come again and again; the name index is far larger than the caches, so a
// lookup there waits on memory where a remembered one does not.
class RememberedLookups {
 public:
  static constexpr size_t kLongestName = 42;

  // The remembered result, or nullptr when the lookup must be made.
  THItem* const* find(std::uint64_t generation, std::string_view name, std::uint32_t hash,
                      bool caseSensitive) const {
    const Entry& entry = entries_[hash % kEntries];
    if (entry.generation != generation || entry.hash != hash ||
        entry.caseSensitive != caseSensitive || entry.length != name.size() ||
        name.compare(0, name.size(), entry.name, entry.length) != 0) {
      return nullptr;
    }
    return &entry.item;
  }

  void remember(std::uint64_t generation, std::string_view name, std::uint32_t hash,
                bool caseSensitive, THItem* item) {
    if (name.size() > kLongestName) return;
    Entry& entry = entries_[hash % kEntries];
    entry.generation = generation;
    entry.item = item;
    entry.hash = hash;
    entry.length = static_cast<std::uint8_t>(name.size());
    entry.caseSensitive = caseSensitive;
    name.copy(entry.name, name.size());
  }

 private:
  static constexpr size_t kEntries = 2048;
  struct Entry {
    std::uint64_t generation = 0;  // none is 0
    THItem* item = nullptr;
    std::uint32_t hash = 0;
    std::uint8_t length = 0;
    bool caseSensitive = false;
    char name[kLongestName];
  };
  std::array<Entry, kEntries> entries_{};
};

RememberedLookups& lookupsOfThisThread() {
  thread_local auto lookups = std::make_unique<RememberedLookups>();
  return *lookups;
}

// The pages a thread has looked up, for the project and epoch they came from.
// Pages are loaded hundreds of thousands of times in a large build, on every
// build thread: a shared lookup would make the threads queue at its lock.
struct ThreadPages {
  std::uint64_t epoch = 0;
  size_t generation = 0;
  std::vector<std::pair<std::string, const templates::CachedPage*>> pages;
};
thread_local ThreadPages threadPages;

}  // namespace

THProject::THProject() : THProject(platform::programDirectory()) {}

THProject::THProject(std::string programDirectory)
    : THItem(nullptr),
      HelpLanguage(std::make_unique<lang::TCustomLanguageCenter>()),
      programDirectory_(platform::AddBackslash(programDirectory)),
      dialect_(std::make_unique<RtfDialect>()),
      pagesEpoch_(newStamp()) {
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

void THProject::Message(int /*level*/, std::string_view /*text*/) {}

const std::string& THProject::MessageText(int index) const {
  static const std::string none;
  return MessageLanguage != nullptr ? MessageLanguage->currentText(index) : none;
}

THUnit* THProject::UnitAt(int index) const {
  return static_cast<THUnit*>(Units.at(index).item);
}

// --- lookups

void THProject::rebuildIndex() {
  indexChanged();
  unitIndex_.clear();
  declarationIndex_.clear();
  typeIndex_.clear();
  // Sized first: a large project indexes a million names.
  size_t declarations = 0;
  size_t declarationBytes = 0;
  size_t types = 0;
  size_t typeBytes = 0;
  for (const NameEntry& unitEntry : Units.entries()) {
    const auto* unit = static_cast<const THUnit*>(unitEntry.item);
    for (const SortedNameList* list :
         {&unit->Routines, &unit->Types, &unit->Variables, &unit->Constants}) {
      declarations += list->entries().size();
      for (const NameEntry& entry : list->entries()) declarationBytes += entry.name.size();
      if (list != &unit->Types) continue;
      types += list->entries().size();
      for (const NameEntry& entry : list->entries()) typeBytes += entry.name.size();
    }
  }
  declarationIndex_.reserve(declarations, declarationBytes);
  typeIndex_.reserve(types, typeBytes);
  indexStale_ = false;
  for (const NameEntry& entry : Units.entries()) {
    indexUnit(*static_cast<THUnit*>(entry.item), entry.name);
  }
}

void THProject::indexUnit(THUnit& unit, std::string_view name) {
  indexChanged();
  unitIndex_.add(name, &unit);
  // The unit's own search order: routines, types, variables, constants.
  for (const SortedNameList* list :
       {&unit.Routines, &unit.Types, &unit.Variables, &unit.Constants}) {
    for (const NameEntry& entry : list->entries()) {
      declarationIndex_.add(entry.name, entry.item);
      if (list == &unit.Types) typeIndex_.add(entry.name, entry.item);
    }
  }
}

void THProject::releaseIndexes() {
  indexChanged();
  unitIndex_.release();
  declarationIndex_.release();
  typeIndex_.release();
  indexStale_ = true;
}

THItem* THProject::FindItem(std::string_view name, bool caseSensitive) {
  if (indexStale_) rebuildIndex();
  if (!unitIndex_.mayHold(name) && !declarationIndex_.mayHold(name)) return nullptr;
  const std::uint32_t hash = hashIgnoringCase(name);
  RememberedLookups& remembered = lookupsOfThisThread();
  if (const auto* item = remembered.find(indexGeneration_, name, hash, caseSensitive)) return *item;
  // Units come before every declaration of the same name.
  THItem* found = nullptr;
  if (auto unit = unitIndex_.find(name, hash, caseSensitive)) {
    found = *unit;
  } else {
    found = declarationIndex_.find(name, hash, caseSensitive).value_or(nullptr);
  }
  remembered.remember(indexGeneration_, name, hash, caseSensitive, found);
  return found;
}

void THProject::indexChanged() {
  indexGeneration_ = newStamp();
}

THType* THProject::FindType(std::string_view name, bool caseSensitive) {
  if (indexStale_) rebuildIndex();
  return static_cast<THType*>(typeIndex_.find(name, caseSensitive).value_or(nullptr));
}

void THProject::SetTemplateSubdirectory(std::string subdirectory) {
  const std::lock_guard lock(pagesMutex_);
  templateSubdirectory_ = std::move(subdirectory);
  pagesByName_.clear();
  pagesEpoch_ = newStamp();
}

const templates::CachedPage* THProject::lookUpPage(std::string_view name, std::uint64_t& epoch) {
  const std::lock_guard lock(pagesMutex_);
  if (pagesGeneration_ != templateCache_.generation()) {
    pagesByName_.clear();
    pagesGeneration_ = templateCache_.generation();
    pagesEpoch_ = newStamp();
  }
  epoch = pagesEpoch_;
  auto known = pagesByName_.find(name);
  if (known == pagesByName_.end()) {
    const std::string path =
        programDirectory_ + "Template/" + templateSubdirectory_ + std::string(name) + ".TPF";
    known = pagesByName_.emplace(std::string(name), templateCache_.page(path)).first;
  }
  return known->second;
}

void THProject::LoadTemplate(std::string_view name, templates::TDocumentTemplate& target) {
  target.LoadCached(CachedTemplate(name));
}

const templates::CachedPage* THProject::CachedTemplate(std::string_view name) {
  ThreadPages& mine = threadPages;
  if (mine.epoch == pagesEpoch_.load(std::memory_order_relaxed) &&
      mine.generation == templateCache_.generation()) {
    for (const auto& [known, page] : mine.pages) {
      if (known == name) return page;
    }
  }
  std::uint64_t epoch = 0;
  const templates::CachedPage* page = lookUpPage(name, epoch);
  if (mine.epoch != epoch || mine.generation != templateCache_.generation()) {
    mine.pages.clear();
    mine.epoch = epoch;
    mine.generation = templateCache_.generation();
  }
  mine.pages.emplace_back(std::string(name), page);
  return page;
}

}  // namespace holders
