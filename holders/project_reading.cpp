// THProject: reading units, one after another or several at once.
//
// A unit's reading depends on the project in three ways: conditional
// compilation asks which symbols are defined, and "$DEFINE" and "$UNDEF"
// change the defines for every unit after it; include files are looked for
// in the directories of the units added so far; and the include chain guards
// against recursion. Each reading therefore works on a UnitReading of its
// own: a copy of the defines with a log of what it asked and changed, the
// directories of the units up to its own, its include chain and its progress
// lines.
//
// Several units are read at once, each on a guess of the defines it will
// meet. When a unit's turn comes (every earlier unit added), its log is
// replayed on the project's defines. If every question gets the answer the
// reading got, the reading is the one a reading in turn would have made,
// since nothing else it depends on can differ, and its changes to the defines
// are applied. Otherwise the unit is read again, with the turn. Few units ask
// about a symbol that a unit just before them changed: of the 2,737 units
// under the Free Pascal packages, 30 to 36 are read twice in a run.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <thread>

#include "holders/project.h"
#include "holders/source_reader.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "platform/files.h"
#include "platform/malloc_tuning.h"
#include "platform/misc.h"
#include "platform/ordered_work.h"
#include "platform/spares.h"
#include "platform/text.h"

namespace holders {

struct DefineStep {
  enum class Kind : std::uint8_t { Asked, Added, Removed };
  Kind kind;
  bool answer;  // of a question
  std::string symbol;
};

// The defines a reading sees: those it started from, shared rather than
// copied (a large project has hundreds, and every unit starts a reading), and
// its own changes since.
class ReadingDefines {
 public:
  explicit ReadingDefines(SharedDefines start) : start_(std::move(start)) {}

  void restart(SharedDefines start) {
    start_ = std::move(start);
    changes_.clear();
  }

  bool contains(const std::string& upperSymbol) const {
    for (const auto& [symbol, defined] : changes_) {
      if (symbol == upperSymbol) return defined;
    }
    return std::binary_search(start_->begin(), start_->end(), upperSymbol);
  }

  void set(std::string upperSymbol, bool defined) {
    for (auto& [symbol, isDefined] : changes_) {
      if (symbol == upperSymbol) {
        isDefined = defined;
        return;
      }
    }
    changes_.emplace_back(std::move(upperSymbol), defined);
  }

 private:
  SharedDefines start_;                                // sorted
  std::vector<std::pair<std::string, bool>> changes_;  // each symbol once
};

struct UnitReading {
  UnitReading(SharedDefines startDefines, IncludeFinder& finder,
              std::span<const std::string> searched)
      : defines(std::move(startDefines)), includes(&finder), directories(searched) {}

  // Ready for another unit, with the room its lists and lines took kept.
  void restart(SharedDefines startDefines, IncludeFinder& finder,
               std::span<const std::string> searched) {
    defines.restart(std::move(startDefines));
    steps.clear();
    includes = &finder;
    directories = searched;
    chain.clear();
    lineText.clear();
    lineEnds.clear();
  }

  ReadingDefines defines;
  std::vector<DefineStep> steps;
  IncludeFinder* includes;
  std::span<const std::string> directories;
  std::vector<std::string> chain;
  // Progress lines are kept until the unit is added when it is read ahead of
  // its turn, packed: a large unit has tens of thousands.
  bool keepsLines = false;
  std::string lineText;
  std::vector<std::pair<int, size_t>> lineEnds;  // level and end in lineText
};

namespace {

// Whether a reading done is worth using again: one that kept the lines of
// an unusually large unit is not, or in time every spare would be as large.
bool worthReusing(const UnitReading& reading) {
  constexpr size_t kLargestKeptBuffer = 64 << 10;
  return reading.lineText.capacity() <= kLargestKeptBuffer &&
         reading.lineEnds.capacity() * sizeof(reading.lineEnds[0]) <= kLargestKeptBuffer;
}

// The reading this thread is doing, if any.
thread_local UnitReading* currentReading = nullptr;

class CurrentReadingScope {
 public:
  explicit CurrentReadingScope(UnitReading& reading) : previous_(currentReading) {
    currentReading = &reading;
  }
  ~CurrentReadingScope() { currentReading = previous_; }
  CurrentReadingScope(const CurrentReadingScope&) = delete;
  CurrentReadingScope& operator=(const CurrentReadingScope&) = delete;

 private:
  UnitReading* previous_;
};

bool contains(const std::vector<std::string>& defines, const std::string& upperSymbol) {
  return std::find(defines.begin(), defines.end(), upperSymbol) != defines.end();
}

void addTo(std::vector<std::string>& defines, std::string upperSymbol) {
  if (!contains(defines, upperSymbol)) defines.push_back(std::move(upperSymbol));
}

void removeFrom(std::vector<std::string>& defines, const std::string& upperSymbol) {
  const auto found = std::find(defines.begin(), defines.end(), upperSymbol);
  if (found != defines.end()) defines.erase(found);
}

// Readings handed out beyond the unit being added, per thread: enough to
// keep the threads busy past a large unit (a unit with its include files
// can take a tenth of a second, most take a thousandth), few enough that
// the defines a reading starts from are recent.
constexpr size_t kReadingsAheadPerThread = 64;

void applyChanges(std::vector<std::string>& defines, const std::vector<DefineStep>& steps) {
  for (const DefineStep& step : steps) {
    if (step.kind == DefineStep::Kind::Added) addTo(defines, step.symbol);
    if (step.kind == DefineStep::Kind::Removed) removeFrom(defines, step.symbol);
  }
}

SharedDefines sortedDefines(std::vector<std::string> defines) {
  std::sort(defines.begin(), defines.end());
  return std::make_shared<const std::vector<std::string>>(std::move(defines));
}

// What the readings of one AddUnits share: each thread's include finder (all
// of them listing directories through the project's listings), and
// the changes to the defines of the readings done whose units are not added
// yet. A new reading starts from the defines as they will stand if those
// units are added as they were read; a unit that changes a symbol for the
// units after it then sends few readings after it on a wrong guess. Readings
// still under way are left out: many units define a symbol for their own
// text and undefine it at their end.
class ReadingsUnderWay {
 public:
  explicit ReadingsUnderWay(DirectoryListings& listings) : listings_(listings) {}

  // Each thread takes its units in order, so its finder sees the directories
  // grow as the project's own does. A unit that may be read early, before
  // units whose directories it does not search, has a finder of its own.
  std::unique_ptr<IncludeFinder> finderOfItsOwn() {
    return std::make_unique<IncludeFinder>(&listings_);
  }
  IncludeFinder& finderOfThisThread() {
    const std::lock_guard lock(mutex_);
    auto& finder = finders_[std::this_thread::get_id()];
    if (finder == nullptr) finder = std::make_unique<IncludeFinder>(&listings_);
    return *finder;
  }

  // The defines expected for the reading of unit `index`: the changes of
  // readings done of units before it, not of those after it (read early).
  // `project` gives the project's defines; it is called with the lock held.
  SharedDefines expectedDefines(size_t index, const std::function<SharedDefines()>& project) {
    const std::lock_guard lock(mutex_);
    SharedDefines start = project();
    const auto before = changes_.lower_bound(index);
    const auto applied = static_cast<size_t>(std::distance(changes_.begin(), before));
    if (applied == 0) return start;
    // Made again only when the project's defines or the changes that apply
    // have changed since: most units change no symbol.
    if (expected_ == nullptr || expectedFrom_ != start || expectedChanges_ != applied) {
      std::vector<std::string> defines = *start;
      for (auto change = changes_.begin(); change != before; ++change) {
        applyChanges(defines, change->second);
      }
      expected_ = sortedDefines(std::move(defines));
      expectedFrom_ = start;
      expectedChanges_ = applied;
    }
    return expected_;
  }

  void done(size_t index, const std::vector<DefineStep>& steps) {
    std::vector<DefineStep> changes;
    for (const DefineStep& step : steps) {
      if (step.kind != DefineStep::Kind::Asked) changes.push_back(step);
    }
    if (changes.empty()) return;
    const std::lock_guard lock(mutex_);
    changes_.emplace(index, std::move(changes));
    expected_ = nullptr;
  }

  // With the turn: forgets the unit's changes and changes the project's
  // defines through replay, while no reading starts.
  bool settle(size_t index, const std::function<bool()>& replay) {
    const std::lock_guard lock(mutex_);
    if (changes_.erase(index) != 0) expected_ = nullptr;
    return replay();
  }

  // Held while the project's defines change, as readings starting copy them.
  std::mutex& definesLock() { return mutex_; }

 private:
  std::mutex mutex_;
  DirectoryListings& listings_;
  std::map<std::thread::id, std::unique_ptr<IncludeFinder>> finders_;
  std::map<size_t, std::vector<DefineStep>> changes_;
  // The defines expected from expectedFrom_ and the first expectedChanges_
  // of changes_, while they stand.
  SharedDefines expected_;
  SharedDefines expectedFrom_;
  size_t expectedChanges_ = 0;
};

// Unit files read some way ahead of their readings, for one reason: a unit
// that includes many files (a unit made of other units' files, read in a
// tenth of a second where most take a thousandth) must not be read last,
// alone on one thread while the others have nothing left. One found so is
// handed out early: once the first unit before it that includes one of its
// include files has been read. That unit has most likely defined the symbol
// that guards the file, which the long unit asks about; a reading on the
// wrong defines would be made again with the turn. Only the names of the
// include files are kept: the unit's reading reads the file again (from the
// page cache, for a fraction of the parsing's time), on its own thread, so
// that the text is freed by the thread that allocated it.
class ReadAhead {
 public:
  // paths: each unit's file, empty for a unit from memory.
  ReadAhead(std::vector<std::string_view> paths, size_t distance)
      : paths_(std::move(paths)),
        distance_(distance),
        started_(std::make_unique<std::atomic<bool>[]>(paths_.size())),
        read_(paths_.size()) {}

  // Reads the file of the unit `distance` after unit `index`.
  void readAfter(size_t index) {
    const size_t ahead = index + distance_;
    if (ahead >= paths_.size() || paths_[ahead].empty() || started_[ahead]) return;
    std::string_view bytes;  // the file as it is: only its directives count
    try {
      bytes = readRawSourceFile(paths_[ahead]);
    } catch (const platform::FileError&) {
      return;  // the unit's reading reports it
    }
    std::vector<std::string> includes;
    for (const std::string_view name : includedNames(bytes)) {
      includes.push_back(platform::upperCase(name));
    }
    const std::lock_guard lock(mutex_);
    std::optional<size_t> gate;
    for (std::string& name : includes) {
      // Units are read ahead on several threads, not quite in order.
      const auto [known, added] = firstIncluders_.try_emplace(std::move(name), ahead);
      if (!added && ahead < known->second) known->second = ahead;
      const size_t first = known->second;
      if (first < ahead) gate = std::min(gate.value_or(first), first);
    }
    // The first `distance` units are not read ahead, so what they include is
    // not known: a long unit close behind them is left in its place.
    if (includes.size() < kIncludesOfALongReading || ahead < 2 * distance_) return;
    early_.push_back({ahead, gate});
    long_.insert(ahead);
  }

  // Once the unit's reading has started, its file is no longer read ahead.
  void starting(size_t index) { started_[index] = true; }

  // After the reading's changes to the defines are known to the readings
  // starting.
  void readingDone(size_t index) {
    const std::lock_guard lock(mutex_);
    read_[index] = true;
  }

  // A long unit to hand out before its place, once.
  std::optional<size_t> nextEarly() {
    const std::lock_guard lock(mutex_);
    for (auto unit = early_.begin(); unit != early_.end(); ++unit) {
      if (unit->gate && !read_[*unit->gate]) continue;
      const size_t index = unit->index;
      early_.erase(unit);
      return index;
    }
    return std::nullopt;
  }

  // Whether the unit was found to include many files (and so may be read
  // before units whose directories it does not search).
  bool readsLong(size_t index) {
    const std::lock_guard lock(mutex_);
    return long_.contains(index);
  }

 private:
  // Units of the Free Pascal packages include at most a few dozen files,
  // except the few made of whole other units (hundreds).
  static constexpr size_t kIncludesOfALongReading = 100;

  struct Early {
    size_t index;
    std::optional<size_t> gate;  // the unit whose reading it waits for
  };
  std::vector<std::string_view> paths_;
  size_t distance_;
  std::unique_ptr<std::atomic<bool>[]> started_;
  std::mutex mutex_;
  std::vector<bool> read_;  // the readings done
  // Upper-cased include name -> the first unit read ahead that includes it.
  std::map<std::string, size_t> firstIncluders_;
  std::deque<Early> early_;  // long units not handed out yet
  std::set<size_t> long_;
};
}  // namespace

// --- defines

void THProject::AddDefine(std::string_view symbol) {
  std::string upper = platform::upperCase(symbol);
  if (UnitReading* reading = currentReading) {
    reading->steps.push_back({DefineStep::Kind::Added, false, upper});
    reading->defines.set(std::move(upper), true);
    return;
  }
  sharedDefines_ = nullptr;
  addTo(Defines, std::move(upper));
}

void THProject::RemoveDefine(std::string_view symbol) {
  std::string upper = platform::upperCase(symbol);
  if (UnitReading* reading = currentReading) {
    reading->defines.set(upper, false);
    reading->steps.push_back({DefineStep::Kind::Removed, false, std::move(upper)});
    return;
  }
  sharedDefines_ = nullptr;
  removeFrom(Defines, upper);
}

bool THProject::IsDefined(std::string_view symbol) const {
  std::string upper = platform::upperCase(symbol);
  if (UnitReading* reading = currentReading) {
    const bool answer = reading->defines.contains(upper);
    reading->steps.push_back({DefineStep::Kind::Asked, answer, std::move(upper)});
    return answer;
  }
  return contains(Defines, upper);
}

bool THProject::replayDefines(const UnitReading& reading) {
  if (reading.steps.empty()) return true;
  // The questions are checked against the project's defines as the unit's
  // own changes so far leave them, without copying the defines: a large
  // project has hundreds, and every unit is replayed. Only then do the
  // changes go in.
  std::vector<std::pair<std::string_view, bool>> changed;  // the latest last
  const auto isDefined = [&](const std::string& symbol) {
    for (auto latest = changed.rbegin(); latest != changed.rend(); ++latest) {
      if (latest->first == symbol) return latest->second;
    }
    return contains(Defines, symbol);
  };
  for (const DefineStep& step : reading.steps) {
    if (step.kind == DefineStep::Kind::Asked) {
      if (isDefined(step.symbol) != step.answer) return false;
    } else {
      changed.emplace_back(step.symbol, step.kind == DefineStep::Kind::Added);
    }
  }
  if (!changed.empty()) sharedDefines_ = nullptr;
  applyChanges(Defines, reading.steps);
  return true;
}

SharedDefines THProject::sharedDefines() {
  if (sharedDefines_ == nullptr) sharedDefines_ = sortedDefines(Defines);
  return sharedDefines_;
}

// --- the include chain

IncludeFinder::Located THProject::LocateInclude(const std::string& argument) {
  if (UnitReading* reading = currentReading) {
    return reading->includes->locate(argument, reading->directories);
  }
  return includes_.locate(argument, UnitDirectories);
}

bool THProject::IsBeingRead(const std::string& canonicalPath) const {
  const std::vector<std::string>& chain =
      currentReading != nullptr ? currentReading->chain : reading_;
  return std::find(chain.begin(), chain.end(), canonicalPath) != chain.end();
}

size_t THProject::ReadingDepth() const {
  return currentReading != nullptr ? currentReading->chain.size() : reading_.size();
}

void THProject::PushReading(std::string canonicalPath) {
  (currentReading != nullptr ? currentReading->chain : reading_)
      .push_back(std::move(canonicalPath));
}

void THProject::PopReading() {
  (currentReading != nullptr ? currentReading->chain : reading_).pop_back();
}

std::string THProject::FileIdentity(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

const std::string& THProject::CachedFileIdentity(const std::string& path) {
  {
    const std::lock_guard lock(identitiesMutex_);
    const auto known = identities_.find(path);
    if (known != identities_.end()) return known->second;  // map nodes stay where they are
  }
  // Found outside the lock: finding it asks the file system, and the other
  // reading threads would queue behind.
  std::string identity = identityThroughDirectory(path);
  const std::lock_guard lock(identitiesMutex_);
  return identities_.emplace(path, std::move(identity)).first->second;
}

std::string THProject::identityThroughDirectory(const std::string& path) {
  // A file that exists and is not a link is its directory's canonical form
  // and its name: one lstat instead of a readlink per component. Anything
  // else (a link, a name such as "..", a missing file) is resolved whole.
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || path.find('\\') != std::string::npos) {
    return FileIdentity(path);
  }
  const std::string_view name = std::string_view(path).substr(slash + 1);
  struct stat info;
  if (name.empty() || name == "." || name == ".." || ::lstat(path.c_str(), &info) != 0 ||
      S_ISLNK(info.st_mode)) {
    return FileIdentity(path);
  }
  std::string directory = path.substr(0, slash);
  while (!directory.empty() && directory.back() == '/') directory.pop_back();
  if (directory.empty()) directory.push_back('/');  // the root
  std::optional<std::string> known;
  {
    const std::lock_guard lock(identitiesMutex_);
    const auto found = directoryIdentities_.find(directory);
    if (found != directoryIdentities_.end()) known = found->second;
  }
  if (!known) {
    known = FileIdentity(directory);
    const std::lock_guard lock(identitiesMutex_);
    directoryIdentities_.emplace(directory, *known);
  }
  return (std::filesystem::path(*known) / name).string();
}

bool THProject::keptByReading(int level, std::string_view text, std::string_view name) {
  if (currentReading == nullptr) return false;
  if (!currentReading->keepsLines) return false;
  currentReading->lineText.append(text).append(name);
  currentReading->lineEnds.emplace_back(level, currentReading->lineText.size());
  return true;
}

void THProject::ModelChanged() {
  if (currentReading == nullptr) indexStale_ = true;
}

// --- units

std::optional<THProject::UnitJob> THProject::unitFileJob(std::string_view fileName) {
  std::optional<platform::RegularFile> file = platform::findRegularFile(fileName);
  if (!file) return std::nullopt;
  const std::string directory = platform::extractFilePath(fileName);
  if (!directory.empty()) UnitDirectories.push_back(platform::AddBackslash(directory));
  return UnitJob{platform::changeFileExt(platform::extractFileName(fileName), ""),
                 std::string(fileName),
                 std::move(file->path),
                 {},
                 UnitDirectories.size(),
                 file->size};
}

THUnit* THProject::AddUnit(std::string_view fileName) {
  const std::optional<UnitJob> job = unitFileJob(fileName);
  sharedDefines_ = nullptr;  // Defines is the caller's to change between units
  return job ? &readUnitAlone(*job) : nullptr;
}

THUnit& THProject::AddUnitText(std::string_view name, std::string_view text, std::string path) {
  sharedDefines_ = nullptr;
  return readUnitAlone(
      {std::string(name), {}, std::move(path), text, UnitDirectories.size(), text.size()});
}

void THProject::AddUnits(const std::vector<std::string>& fileNames) {
  // Whether a file exists decides whether its directory is searched, so the
  // directories are settled before any reading starts.
  std::vector<UnitJob> jobs;
  jobs.reserve(fileNames.size());
  for (const std::string& fileName : fileNames) {
    if (std::optional<UnitJob> job = unitFileJob(fileName)) jobs.push_back(std::move(*job));
  }
  readUnits(jobs);
}

void THProject::AddUnitTexts(const std::vector<UnitText>& units) {
  std::vector<UnitJob> jobs;
  jobs.reserve(units.size());
  for (const UnitText& unit : units) {
    jobs.push_back({unit.name, {}, unit.path, unit.text, UnitDirectories.size(), unit.text.size()});
  }
  readUnits(jobs);
}

std::unique_ptr<THUnit> THProject::readUnit(const UnitJob& job, UnitReading& reading) {
  const CurrentReadingScope current(reading);
  if (!job.fileName.empty()) Post(0, MessageText(lang::BaseLang::kMsgAddingUnit), job.fileName);
  std::string text = job.fileName.empty() ? normalizeLineEnds(job.text) : readSourceFile(job.path);
  auto unit = std::make_unique<THUnit>(this);
  unit->UnitName = job.name;
  const std::string identity = job.path.empty() ? std::string() : CachedFileIdentity(job.path);
  if (reading.keepsLines) {
    // Room for the unit's progress lines, which come to about a quarter of
    // its source text, so that keeping them seldom copies them.
    reading.lineText.reserve(text.size() / 3);
    reading.lineEnds.reserve(text.size() / 100);
  }
  SourceReader reader(std::move(text), job.path);
  const ReadingScope chain(*this, identity);
  unit->Parse(reader);
  // Sorted here, while other units are read on other threads, rather than
  // all on one thread before the build.
  unit->SortLists();
  return unit;
}

THUnit& THProject::addReadUnit(const UnitJob& job, UnitReading& reading,
                               std::unique_ptr<THUnit> unit) {
  size_t start = 0;
  for (const auto& [level, end] : reading.lineEnds) {
    Message(level, std::string_view(reading.lineText).substr(start, end - start));
    start = end;
  }
  reading.lineText.clear();
  reading.lineEnds.clear();
  THUnit& added = adopt(std::move(unit));
  Units.add(job.name, &added);
  // Indexed here, while later units are still read on other threads, rather
  // than all at once before the build. A unit's lists are settled by now.
  if (!indexStale_) indexUnit(added, job.name);
  return added;
}

void THProject::expectDeclarations(const std::vector<UnitJob>& jobs) {
  // Real units declare about one name per 200 bytes of source, of about 16
  // bytes each. Room reserved beyond that costs no resident memory.
  constexpr size_t kSourceBytesPerDeclaration = 200;
  constexpr size_t kBytesPerName = 16;
  size_t bytes = 0;
  for (const UnitJob& job : jobs) bytes += static_cast<size_t>(job.bytes);
  const size_t declarations = bytes / kSourceBytesPerDeclaration;
  declarationIndex_.expect(declarations, declarations * kBytesPerName);
  typeIndex_.expect(declarations / 4, declarations / 4 * kBytesPerName);
}

std::span<const std::string> THProject::directoriesOf(const UnitJob& job) const {
  return {UnitDirectories.data(), job.directories};
}

THUnit& THProject::readUnitAlone(const UnitJob& job, std::mutex* definesLock) {
  SharedDefines start;
  {
    std::unique_lock<std::mutex> lock;
    if (definesLock != nullptr) lock = std::unique_lock(*definesLock);
    start = sharedDefines();
  }
  UnitReading reading(std::move(start), includes_, directoriesOf(job));
  std::unique_ptr<THUnit> unit = readUnit(job, reading);
  {
    std::unique_lock<std::mutex> lock;
    if (definesLock != nullptr) lock = std::unique_lock(*definesLock);
    replayDefines(reading);  // read on the project's own defines: always answered alike
  }
  return addReadUnit(job, reading, std::move(unit));
}

void THProject::readUnits(const std::vector<UnitJob>& jobs) {
  if (indexStale_) rebuildIndex();  // so each unit read can join it
  sharedDefines_ = nullptr;         // Defines is the caller's to change between runs
  expectDeclarations(jobs);
  const unsigned threads = threadCount();
  readingCounts_ = {};
  if (threads <= 1 || jobs.size() <= 1) {
    for (const UnitJob& job : jobs) readUnitAlone(job);
    return;
  }
  const platform::WholeHeapGrowth heapGrowth;  // the other threads' heaps fill fastest here
  ReadingsUnderWay underWay(listings_);
  const size_t window = threads * kReadingsAheadPerThread;
  std::vector<std::string_view> paths;
  paths.reserve(jobs.size());
  for (const UnitJob& job : jobs) {
    paths.push_back(job.fileName.empty() ? std::string_view() : std::string_view(job.path));
  }
  // Far enough ahead for a long unit to be found before the first unit that
  // shares an include file with it is read (in the packages, a unit that
  // includes the files of its package's units follows them).
  ReadAhead ahead(std::move(paths), 2 * window);
  platform::Spares<std::unique_ptr<UnitReading>> readings;
  struct Read {
    std::thread::id home = std::this_thread::get_id();  // the thread that reads it
    std::unique_ptr<IncludeFinder> ownFinder;           // for a unit read early
    std::unique_ptr<UnitReading> reading;
    std::unique_ptr<THUnit> unit;
  };
  size_t readAgain = 0;  // counted with the turn
  const auto work = [&](size_t index, platform::TurnGate&) -> platform::Ending {
    ahead.readAfter(index);
    const UnitJob& job = jobs[index];
    auto read = std::make_shared<Read>();
    if (ahead.readsLong(index)) read->ownFinder = underWay.finderOfItsOwn();
    SharedDefines defines = underWay.expectedDefines(index, [this] { return sharedDefines(); });
    IncludeFinder& finder = read->ownFinder ? *read->ownFinder : underWay.finderOfThisThread();
    // A reading this thread made for an earlier unit, if any: freeing it on
    // the thread that added the unit would have taken this thread's heap lock.
    std::optional<std::unique_ptr<UnitReading>> spare = readings.take();
    if (spare && worthReusing(**spare)) {
      read->reading = std::move(*spare);
      read->reading->restart(std::move(defines), finder, directoriesOf(job));
    } else {
      read->reading = std::make_unique<UnitReading>(std::move(defines), finder, directoriesOf(job));
    }
    read->reading->keepsLines = true;
    ahead.starting(index);
    read->unit = readUnit(job, *read->reading);
    // The changes first: a long unit handed out on the news of this reading
    // starts from them.
    underWay.done(index, read->reading->steps);
    ahead.readingDone(index);
    return [this, &job, &underWay, &readings, &readAgain, index, read] {
      const bool kept = underWay.settle(index, [&] { return replayDefines(*read->reading); });
      if (kept) addReadUnit(job, *read->reading, std::move(read->unit));
      readings.giveBack(std::move(read->reading), read->home);
      if (kept) return;
      ++readAgain;
      read->unit.reset();
      // With the turn no other reading changes the defines: read again on
      // the project's own, the result is final. Readings starting on other
      // threads read the defines meanwhile.
      readUnitAlone(job, &underWay.definesLock());
    };
  };
  size_t readEarly = 0;  // counted under the run's lock
  platform::runInTurns(jobs.size(), threads, window, work, [&ahead, &readEarly] {
    const std::optional<size_t> early = ahead.nextEarly();
    if (early) ++readEarly;
    return early;
  });
  readingCounts_ = {readEarly, readAgain};
}

}  // namespace holders
