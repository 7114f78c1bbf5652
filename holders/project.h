// THProject: the root of the source model and the help build.
//
// The project owns the units of one run, the define list that conditional
// compilation shares across them, the help-text language and the page cache.
// Build writes the topics file (RTF), the help project (HPJ) and the contents
// file (CNT). Progress lines go through Message, which does nothing here; the
// console project overrides it to print or keep them.
//
// Name lookups across the project go through an index rebuilt whenever the
// units' lists changed since the last lookup; it returns the first match in
// the order of the linear search (units by name, then each unit's
// declarations in the order the units were added).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "holders/dialect.h"
#include "holders/include_finder.h"
#include "holders/item.h"
#include "holders/name_index.h"
#include "holders/name_list.h"
#include "platform/text.h"
#include "templates/template_cache.h"

namespace lang {
class TCustomLanguageCenter;
}

namespace holders {

class THType;
struct UnitReading;
// Defined symbols, upper case, sorted, shared by the readings that start from
// them.
using SharedDefines = std::shared_ptr<const std::vector<std::string>>;

class THProject : public THItem {
 public:
  // Reads the configuration files (programDirectory/KORVEX.INI, then
  // KORVEX.INI in the current directory) and prepares the help language:
  // the built-in texts, replaced by Template/<Language>.lnf of the program
  // directory when that file exists.
  THProject();
  // Takes the program directory (ending in a separator) from the caller, so
  // tests can give the project a directory of their own.
  explicit THProject(std::string programDirectory);
  ~THProject() override;

  // Defined symbols, upper case, each once, in order of definition.
  std::vector<std::string> Defines;
  // Help texts of the generated pages (owned).
  std::unique_ptr<lang::TCustomLanguageCenter> HelpLanguage;
  // Console message texts; set by the creator, not owned. Without one every
  // message text is empty.
  lang::TCustomLanguageCenter* MessageLanguage = nullptr;
  // Directory of every unit file added, with a trailing separator, in order.
  std::vector<std::string> UnitDirectories;
  // One entry per unit added: the name from its file name, in order of adding.
  OrderedNameList Units;
  // The unit files the configuration names ([Files]).
  std::vector<std::string> Files;
  // Threads that read the units and build their pages at once; 0 means one
  // per processor (at most 8). The output is the same whatever the number.
  unsigned BuildThreads = 0;

  THItem* FindItem(std::string_view name, bool caseSensitive) override;
  THUnit* UnitAt(int index) const;
  int UnitCount() const { return Units.count(); }
  void WriteContents(std::string_view fileName);
  void AddDefine(std::string_view symbol);
  // Reads and parses one unit file; nullptr when the file does not exist.
  THUnit* AddUnit(std::string_view fileName);
  // Reads one unit from text in memory (line ends are normalised): name is its
  // Units entry and first UnitName, path (may be empty) names the file for
  // the include chain.
  THUnit& AddUnitText(std::string_view name, std::string_view text, std::string path = {});
  // AddUnit for each file in turn, with the same units, defines and progress
  // lines, read on BuildThreads threads.
  void AddUnits(const std::vector<std::string>& fileNames);
  // A unit in memory, as AddUnitText takes it; the text is borrowed.
  struct UnitText {
    std::string name;
    std::string_view text;
    std::string path;
  };
  // AddUnitText for each unit in turn, read on BuildThreads threads.
  void AddUnitTexts(const std::vector<UnitText>& units);
  // How the last AddUnits or AddUnitTexts on several threads went: the units
  // read before their place (those that include many files), and those read
  // a second time (the defines they were read on had changed).
  struct ReadingCounts {
    size_t readEarly = 0;
    size_t readAgain = 0;
  };
  ReadingCounts LastReadingCounts() const { return readingCounts_; }
  // Writes <name>.RTF, <name>.HPJ and <name>.CNT.
  void Build(std::string_view fileName);
  bool IsDefined(std::string_view symbol) const;
  // Loads programDirectory/Template/<subdirectory><name>.TPF into target
  // (empty when missing).
  void LoadTemplate(std::string_view name, templates::TDocumentTemplate& target);
  // The page a LoadTemplate of that name loads (nullptr: no such file).
  const templates::CachedPage* CachedTemplate(std::string_view name);
  // The page set below Template/: empty for the RTF pages, "HTML/" for the
  // HTML pages.
  void SetTemplateSubdirectory(std::string subdirectory);
  virtual void Message(int level, std::string_view text);
  // A progress line from a holder. While units' pages are built on several
  // threads, a unit's lines are kept and handed to Message, in order, on the
  // calling thread, when its pages are written. The line is text followed
  // by name.
  void Post(int level, std::string_view text, std::string_view name = {});
  void ReadOptions(std::string_view fileName);
  void RemoveDefine(std::string_view symbol);
  THType* FindType(std::string_view name, bool caseSensitive);

  // Writes every topic page (header, contents, units, "}") to output; the
  // first part of Build.
  void BuildTopics(PageSink& output);
  // Calls InheritFromAncestor of every member of every type.
  void InheritProperties();
  // The lines of the contents file for fileName (any extension).
  std::vector<std::string> ContentsLines(std::string_view fileName);
  // The lines of the help project file for fileName (any extension).
  std::vector<std::string> HelpProjectLines(std::string_view fileName);

  const std::string& programDirectory() const { return programDirectory_; }
  templates::TemplateCache& templateCache() { return templateCache_; }
  const OutputDialect& Dialect() const { return *dialect_; }
  void SetDialect(std::unique_ptr<OutputDialect> dialect) { dialect_ = std::move(dialect); }
  // The message text at a position of MessageLanguage.
  const std::string& MessageText(int index) const;

  // True while Build runs: declaration text read again then (parameter
  // lists) must not pull in include files.
  bool Building() const { return building_; }
  // Tells builds apart for the whole process: what a build thread keeps
  // from one build is of no use to the next.
  std::uint64_t BuildNumber() const { return buildNumber_; }
  // A help text in output form while building: all are worked out when the
  // build starts, as pages use the same few dozen texts hundreds of
  // thousands of times, on several threads.
  const std::string& EscapedHelpText(int index) const;
  // Called by units whenever a name list changes. A unit being read is not
  // in the project yet: its lists count once it is added.
  void ModelChanged();

  // The file an include directive's (upper-cased) argument names, looked for
  // in the directories of the units added up to the one being read.
  IncludeFinder::Located LocateInclude(const std::string& argument);

  // Include files nest at most this deep below their unit; a deeper one is
  // skipped. Each level holds a file and a reader on the stack, and a chain
  // of generated files would otherwise exhaust it.
  static constexpr size_t kMaxIncludeDepth = 64;
  // The files of the include chain being read, outermost first.
  bool IsBeingRead(const std::string& canonicalPath) const;
  // How many files of the include chain are open, the unit's included.
  size_t ReadingDepth() const;
  void PushReading(std::string canonicalPath);
  void PopReading();
  // Canonical form of a path, for IsBeingRead.
  static std::string FileIdentity(const std::string& path);
  // FileIdentity, worked out once per path for the run. Resolving links
  // costs a system call per path component, so a file that is not itself a
  // link joins its directory's identity, worked out once per directory.
  const std::string& CachedFileIdentity(const std::string& path);

 private:
  void initialise();
  // The identity of a path that is not in the identity cache yet.
  std::string identityThroughDirectory(const std::string& path);
  // BuildThreads, or one per processor when it is 0.
  unsigned threadCount() const;
  // One unit to read: from a file, or from text in memory.
  struct UnitJob {
    std::string name;
    std::string fileName;  // as given, for the progress line; empty for a text
    std::string path;      // the file to read, or the text's path
    std::string_view text;
    size_t directories = 0;    // how many UnitDirectories its includes search
    std::uintmax_t bytes = 0;  // the file's size when listed, or the text's
  };
  // The job of a unit file that exists; its directory joins UnitDirectories.
  std::optional<UnitJob> unitFileJob(std::string_view fileName);
  std::unique_ptr<THUnit> readUnit(const UnitJob& job, UnitReading& reading);
  void readUnits(const std::vector<UnitJob>& jobs);
  // Makes room in the indexes for the declarations the units probably hold.
  void expectDeclarations(const std::vector<UnitJob>& jobs);
  std::span<const std::string> directoriesOf(const UnitJob& job) const;
  // Reads a unit on the project's own defines and adds it. definesLock, when
  // given, is held while the defines change.
  THUnit& readUnitAlone(const UnitJob& job, std::mutex* definesLock = nullptr);
  bool replayDefines(const UnitReading& reading);
  // Defines as they stand, made once for the readings until they change.
  SharedDefines sharedDefines();
  // Keeps a progress line with the unit being read on this thread, if any.
  static bool keptByReading(int level, std::string_view text, std::string_view name);
  THUnit& addReadUnit(const UnitJob& job, UnitReading& reading, std::unique_ptr<THUnit> unit);
  void rebuildIndex();
  // Empties the indexes and gives their memory back; the next lookup builds
  // them again.
  void releaseIndexes();
  // Adds a unit and its declarations to fresh indexes.
  void indexUnit(THUnit& unit, std::string_view name);
  // Settles every lazily kept order and index, so that the build reads the
  // model without changing it and may share it between threads.
  void prepareModelForBuild();
  // Each type's ancestor, looked up once for the build under way.
  void settleAncestors();
  // Calls visit(type) for every type of every unit, in the units' order.
  template <class Visit>
  void forEachType(Visit visit);
  // The page of that name from pagesByName_ (nullptr: missing), with the
  // epoch it belongs to; takes pagesMutex_.
  const templates::CachedPage* lookUpPage(std::string_view name, std::uint64_t& epoch);
  void buildUnitTopics(PageSink& output);
  using LineSink = std::function<void(std::string_view)>;
  void emitContents(std::string_view fileName, const LineSink& emit);
  // The sections of the contents after the units: types, routines,
  // variables, constants.
  void emitSections(const LineSink& emit);

  std::string programDirectory_;
  templates::TemplateCache templateCache_;
  std::unique_ptr<OutputDialect> dialect_;
  std::string templateSubdirectory_;
  // Cached page lines by page name, so a page load skips building its path;
  // nullptr marks a missing page.
  platform::TextMap<const templates::CachedPage*> pagesByName_;
  size_t pagesGeneration_ = 0;
  // Names this run's page lookups: each build thread keeps the pages it has
  // looked up under it, so a page load takes no lock. A new epoch, unique in
  // the process, is drawn whenever pagesByName_ is emptied.
  std::atomic<std::uint64_t> pagesEpoch_;
  // The help texts in output form, then that of an unknown index.
  std::vector<std::string> escapedTexts_;
  std::mutex pagesMutex_;  // pagesByName_, shared by the build threads
  bool building_ = false;
  std::uint64_t buildNumber_ = 0;
  // While Build writes the contents file: the build whose marks of
  // documented declarations the contents may take; 0 otherwise.
  std::uint64_t marksForContents_ = 0;
  // The include chain of text read outside a unit's reading.
  std::vector<std::string> reading_;
  // Both under identitiesMutex_; nodes stay where they are.
  std::unordered_map<std::string, std::string> identities_;
  std::unordered_map<std::string, std::string> directoryIdentities_;
  std::mutex identitiesMutex_;
  // Searches in the order units are added; readings on other threads keep
  // finders of their own. All of them share the directory listings, so a
  // directory is listed once in a run, whichever thread reads.
  DirectoryListings listings_;
  ReadingCounts readingCounts_;
  IncludeFinder includes_{&listings_};

  // The indexes follow the units as they are added; any other change to
  // the model makes them stale, and they are built anew when next asked.
  bool indexStale_ = true;
  SharedDefines sharedDefines_;  // Defines sorted, or null when not made since they changed
  // Changes with every change to the indexes, and is never the same in two
  // projects: what a thread remembers of earlier lookups holds while it is
  // the same.
  std::uint64_t indexGeneration_ = 0;
  void indexChanged();
  NameIndex<THItem*, true> unitIndex_;         // units by name: found before any declaration
  NameIndex<THItem*, true> declarationIndex_;  // every unit's declarations, unit by unit
  NameIndex<THItem*> typeIndex_;               // every unit's types
};

// Keeps a file in the include chain while it is read.
class ReadingScope {
 public:
  ReadingScope(THProject& project, std::string canonicalPath) : project_(project) {
    project_.PushReading(std::move(canonicalPath));
  }
  ~ReadingScope() { project_.PopReading(); }
  ReadingScope(const ReadingScope&) = delete;
  ReadingScope& operator=(const ReadingScope&) = delete;

 private:
  THProject& project_;
};

}  // namespace holders
