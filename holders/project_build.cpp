// THProject: the help build (topics file, help project, contents file).
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <stop_token>
#include <thread>
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
#include "lang/language_center.h"
#include "platform/files.h"
#include "platform/ordered_work.h"
#include "platform/spares.h"
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

// text and name as one line, in a buffer of the calling thread's: the line
// lives until the thread's next call.
std::string_view joinedLine(std::string_view text, std::string_view name) {
  thread_local std::string line;
  line.assign(text).append(name);
  return line;
}

// A unit's pages and progress lines on their way out while units are built
// on several threads. Until the unit has the turn (every earlier unit
// written) they are kept; then they go straight to the output and to
// Message. A unit that keeps more than kHeldBytes waits for its turn, so a
// huge unit never sits in memory whole.
class UnitOutput final : public PageSink {
 public:
  static constexpr size_t kHeldBytes = 2 << 20;

  UnitOutput(THProject& project, PageSink& output)
      : project_(project), output_(output), held_(output.takesPageText()) {}

  // The gate of the unit's turn, while the unit is being built.
  void setGate(platform::TurnGate* gate) { gate_ = gate; }

  // Ready for another piece, keeping the room the last one's lines and
  // pages took.
  void reuse() {
    lineText_.clear();
    lineEnds_.clear();
    held_.clear();
    direct_ = false;
    stopped_ = false;
  }

  void writePage(const TopicRef& topic, const std::vector<std::string>& lines) override {
    if (PageSink* sink = nextSink()) sink->writePage(topic, lines);
  }

  void writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) override {
    if (PageSink* sink = nextSink()) sink->writeFilledPage(topic, page);
  }

  void finish(std::string_view /*closingLine*/) override {
    throw std::logic_error("a unit's output is not finished on its own");
  }

  bool usesTopicIds() const override { return output_.usesTopicIds(); }

  // A progress line: text and name joined. Kept lines are packed into one
  // text, so that keeping one costs no allocation, and the thread that
  // writes them frees no memory the building thread made line by line.
  void post(int level, std::string_view text, std::string_view name) {
    if (stopped_) return;
    if (direct_) {
      project_.Message(level, joinedLine(text, name));
    } else {
      lineText_.append(text).append(name);
      lineEnds_.emplace_back(level, lineText_.size());
    }
  }

  // Waits until the earlier units are out, then hands on what was kept.
  void takeTurn() {
    if (direct_ || stopped_) return;
    if (!gate_->await()) {
      stopped_ = true;  // an earlier unit failed: nothing more goes out
      return;
    }
    handOn();
  }

  // Writes what was kept; from now on pages and lines go straight out. Only
  // with the turn.
  void handOn() {
    direct_ = true;
    size_t start = 0;
    for (const auto& [level, end] : lineEnds_) {
      project_.Message(level, std::string_view(lineText_).substr(start, end - start));
      start = end;
    }
    lineText_.clear();
    lineEnds_.clear();
    held_.replayTo(output_);
    held_.clear();
  }

 private:
  // Where the next page goes: the output once the unit has the turn (taken
  // when it is ready, or when too much is kept), else the buffer; none after
  // an earlier unit failed.
  PageSink* nextSink() {
    if (!direct_ && (gate_->ready() || held_.bytes() > kHeldBytes)) takeTurn();
    if (stopped_) return nullptr;
    return direct_ ? &output_ : static_cast<PageSink*>(&held_);
  }

  THProject& project_;
  PageSink& output_;
  platform::TurnGate* gate_ = nullptr;
  PageBuffer held_;
  std::string lineText_;                          // the kept lines, one after another
  std::vector<std::pair<int, size_t>> lineEnds_;  // each kept line's level and end
  bool direct_ = false;
  bool stopped_ = false;
};

// Unit outputs once handed on, for the next pieces. A piece is built on one
// thread and written on whichever has the turn: a fresh output for every
// piece had its kept lines and pages allocated on the one and freed on the
// other, eleven thousand times in a large build. An output goes back to the
// thread that built with it, on whose heap its buffers grew.
class UnitOutputPool {
 public:
  UnitOutputPool(THProject& project, PageSink& output) : project_(project), output_(output) {}

  std::shared_ptr<UnitOutput> take() {
    std::optional<std::shared_ptr<UnitOutput>> spare = spares_.take();
    if (!spare) return std::make_shared<UnitOutput>(project_, output_);
    (*spare)->reuse();
    return std::move(*spare);
  }

  void giveBack(std::shared_ptr<UnitOutput> output, std::thread::id home) {
    spares_.giveBack(std::move(output), home);
  }

 private:
  THProject& project_;
  PageSink& output_;
  platform::Spares<std::shared_ptr<UnitOutput>> spares_;
};

// The output of the unit this thread builds, while units are built on
// several threads.
thread_local UnitOutput* unitOutput = nullptr;

// Declarations (documented or not) whose topics make one piece of work for a
// build thread: a piece costs a hand-over of the turn and a buffer of its
// own, which pieces of 16 declarations paid about 44,000 times in a large
// build. Which of them are documented is asked by the piece, on its thread.
constexpr size_t kDeclarationsPerPiece = 64;

// Pieces built ahead of the one being written, per thread; each keeps at
// most UnitOutput::kHeldBytes.
constexpr size_t kPiecesAheadPerThread = 8;

// Sets unitOutput for one unit's build.
class UnitOutputScope {
 public:
  explicit UnitOutputScope(UnitOutput& output) { unitOutput = &output; }
  ~UnitOutputScope() { unitOutput = nullptr; }
  UnitOutputScope(const UnitOutputScope&) = delete;
  UnitOutputScope& operator=(const UnitOutputScope&) = delete;
};

void writeTextFile(const std::string& path, const std::vector<std::string>& lines) {
  platform::TextFileWriter out(path);
  for (const std::string& line : lines) out.writeLine(line);
  out.close();
}

}  // namespace

unsigned THProject::threadCount() const {
  return BuildThreads != 0 ? BuildThreads : platform::defaultThreadCount();
}

void THProject::Build(std::string_view fileName) {
  const std::string topicsFile = platform::changeFileExt(fileName, ".RTF");
  Message(0, MessageText(lang::BaseLang::kMsgBuildToFile) + topicsFile);
  {
    FilePageWriter writer(topicsFile);
    BuildTopics(writer);
  }
  // The rest of the build looks nothing up. The indexes' memory goes to the
  // contents file, whose sorting is the peak of a large build; they are
  // built anew when next asked.
  releaseIndexes();
  const std::string projectFile = platform::changeFileExt(topicsFile, ".HPJ");
  Message(0, MessageText(lang::BaseLang::kMsgBuildToFile) + projectFile);
  writeTextFile(projectFile, HelpProjectLines(projectFile));
  // The model is as the topics left it: the contents take the units' marks
  // of which declarations are documented.
  marksForContents_ = buildNumber_;
  try {
    WriteContents(projectFile);
  } catch (...) {
    marksForContents_ = 0;
    throw;
  }
  marksForContents_ = 0;
}

void THProject::Post(int level, std::string_view text, std::string_view name) {
  // Lines kept by a reading or a build thread are copied straight into its
  // store: one goes out for every declaration read and every topic built.
  if (unitOutput != nullptr) {
    unitOutput->post(level, text, name);
    return;
  }
  if (keptByReading(level, text, name)) return;
  Message(level, joinedLine(text, name));
}

const std::string& THProject::EscapedHelpText(int index) const {
  const bool known = index >= 0 && static_cast<size_t>(index) + 1 < escapedTexts_.size();
  return known ? escapedTexts_[static_cast<size_t>(index)] : escapedTexts_.back();
}

template <class Visit>
void THProject::forEachType(Visit visit) {
  // A large project has a hundred thousand types, far apart in memory.
  for (const NameEntry& unitEntry : Units.entries()) {
    forEachItem(static_cast<const THUnit*>(unitEntry.item)->Types.entries(),
                [&](THItem* type) { visit(*static_cast<THType*>(type)); });
  }
}

void THProject::settleAncestors() {
  forEachType([](THType& type) { type.SettleAncestor(); });
}

void THProject::InheritProperties() {
  forEachType([](THType& type) {
    if (type.Properties.count() == 0) return;
    // Looked up once for all the type's properties.
    const std::vector<THType*> ancestors = type.Ancestors();
    for (const NameEntry& member : type.Properties.entries()) {
      static_cast<THProperty*>(member.item)->InheritFromAncestor(ancestors);
    }
  });
}

void THProject::BuildTopics(PageSink& output) {
  const BuildingScope building(building_);
  static std::atomic<std::uint64_t> lastBuildNumber{0};
  buildNumber_ = ++lastBuildNumber;
  // Worked out anew: the language or the dialect may have changed since the
  // last build.
  const int helpTexts = HelpLanguage ? HelpLanguage->StringCount() : 0;
  escapedTexts_.clear();
  for (int i = 0; i <= helpTexts; ++i)
    escapedTexts_.push_back(esc(LanguageText(i < helpTexts ? i : -1)));
  settleAncestors();
  InheritProperties();
  prepareModelForBuild();
  output.writeFilledPage(TopicRef{TopicKind::Header, {}}, page("Header"));

  std::vector<std::string> unitJumps;
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (!unit->IsDocumented()) continue;
    PooledPage jump = page("UnitJump");
    jump.ReplaceTag("##UnitName##", esc(unit->UnitName), true);
    unitJumps.insert(unitJumps.end(), jump.Document().begin(), jump.Document().end());
  }
  PooledPage contents = page("Contents");
  contents.ReplaceTag("##TXTUnits##", escapedText(txt::TXT_Units), true);
  contents.ReplaceTag("##TXTContents##", escapedText(txt::CNT_Contents), true);
  contents.ReplaceTag("##UnitList##", platform::joinLinesCrLf(unitJumps), true);
  output.writeFilledPage(TopicRef{TopicKind::Contents, "Contents"}, contents);

  buildUnitTopics(output);
  output.finish(Dialect().documentEnd());
}

void THProject::prepareModelForBuild() {
  if (indexStale_) rebuildIndex();
  for (const NameEntry& unitEntry : Units.entries()) {
    static_cast<const THUnit*>(unitEntry.item)->SortLists();
  }
  forEachType([](THType& type) {
    // A class's properties are listed in name order, in its own lists and
    // in those of its descendants, whichever unit is built first.
    if (type.TypeKind == kClassType) type.Properties.sortByName();
    for (const NameEntry& member : type.Properties.entries()) {
      static_cast<THProperty*>(member.item)->ResolveRedeclaredType();
    }
  });
}

void THProject::buildUnitTopics(PageSink& output) {
  std::vector<THUnit*> units;
  for (const NameEntry& entry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(entry.item);
    if (unit->IsDocumented()) units.push_back(unit);
  }
  const unsigned threads = threadCount();
  if (threads <= 1 || units.empty()) {
    for (THUnit* unit : units) unit->BuildTopic(output);
    return;
  }
  // The units' topics are cut into pieces of a few declarations each, so
  // that one large unit does not keep the other threads waiting. A unit's
  // first piece begins its topic, its last piece makes its jump lists, and
  // the last piece's ending writes its page. Each piece's pages and progress
  // lines are written in order: the output is the same as that of one thread.
  struct UnitTopic {
    THUnit* unit;
    size_t declarations;  // documented or not: which are is asked piece by piece
    templates::TDocumentTemplate page;
  };
  struct Piece {
    UnitTopic* topic;
    size_t from;
    size_t to;
  };
  std::vector<UnitTopic> topics;
  topics.reserve(units.size());
  std::vector<Piece> pieces;
  for (THUnit* unit : units) {
    unit->StartMarks(buildNumber_);
    UnitTopic& topic = topics.emplace_back(UnitTopic{unit, unit->DeclarationCount(), {}});
    const size_t count = topic.declarations;
    for (size_t from = 0;; from += kDeclarationsPerPiece) {
      pieces.push_back(Piece{&topic, from, std::min(from + kDeclarationsPerPiece, count)});
      if (pieces.back().to == count) break;
    }
  }
  UnitOutputPool outputs(*this, output);
  platform::runInTurns(
      pieces.size(), threads, threads * kPiecesAheadPerThread,
      [&](size_t i, platform::TurnGate& gate) -> platform::Ending {
        const Piece piece = pieces[i];
        UnitTopic& topic = *piece.topic;
        std::shared_ptr<UnitOutput> piecePages = outputs.take();
        const std::thread::id home = std::this_thread::get_id();
        piecePages->setGate(&gate);
        const UnitOutputScope scope(*piecePages);
        std::shared_ptr<std::array<std::string, THUnit::kJumpLists>> jumpLists;
        try {
          if (piece.from == 0) topic.page = topic.unit->BeginTopic();
          for (THItem* declaration : topic.unit->DocumentedDeclarations(piece.from, piece.to)) {
            declaration->BuildTopic(*piecePages);
          }
          if (piece.to == topic.declarations) {
            jumpLists = std::make_shared<std::array<std::string, THUnit::kJumpLists>>(
                topic.unit->JumpLists());
          }
        } catch (...) {
          // The pages made up to the failure go out, as on one thread.
          piecePages->takeTurn();
          throw;
        }
        piecePages->setGate(nullptr);
        // Written by whichever thread has the turn when it comes; by then the
        // unit's first piece has begun its page.
        return [piecePages, home, jumpLists, &topic, &output, &outputs] {
          piecePages->handOn();
          outputs.giveBack(piecePages, home);
          if (!jumpLists) return;
          topic.unit->FinishTopic(topic.page, std::move(*jumpLists), output);
          topic = UnitTopic{topic.unit, 0, {}};  // done: its memory goes back
        };
      });
}

std::vector<std::string> THProject::HelpProjectLines(std::string_view fileName) {
  PooledPage helpProject = page("HPJ");
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
  emitContents(contentsFile, [&out](std::string_view line) { out.writeLine(line); });
  out.close();
}

std::vector<std::string> THProject::ContentsLines(std::string_view fileName) {
  std::vector<std::string> lines;
  emitContents(fileName, [&lines](std::string_view line) { lines.emplace_back(line); });
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
  emitSections(emit);
}

namespace {

// The contents lines of one section made from a run of units: packed into
// one string and sorted as small records that point into it. A large project
// has hundreds of thousands of them.
class ContentsRun {
 public:
  // Each line with the first bytes of its name upper-cased, big end first,
  // as a key: most comparisons end on the keys. The run and the line's
  // number in it break ties, which keeps lines the comparison finds equal in
  // the order of the units and their lists.
  struct Line {
    std::uint64_t key;
    std::uint32_t run;
    std::uint32_t number;
  };

  explicit ContentsRun(std::uint32_t run) : run_(run) {}

  // marksOf: the build whose marks of documented declarations hold, or 0.
  void collect(std::span<THUnit* const> units, std::string_view prefix,
               const SortedNameList THUnit::*list, std::uint64_t marksOf) {
    // Whether an entry is documented is asked once, in the pass that counts
    // them; the asking reaches into every item, the bit kept for the second
    // pass does not.
    std::vector<bool> documented;
    size_t bytes = 0;
    size_t count = 0;
    for (THUnit* unit : units) {
      const std::vector<NameEntry>& entries = (unit->*list).entries();
      const std::span<const std::uint8_t> marks = unit->DocumentedMarks(unit->*list, marksOf);
      for (size_t at = 0; at < entries.size(); ++at) {
        const NameEntry& entry = entries[at];
        documented.push_back(THUnit::EntryDocumented(marks, entry, at));
        if (!documented.back()) continue;
        // The untrimmed size is room enough, and a long name's bytes,
        // elsewhere in memory, are then read only once, by the second pass.
        bytes += 3 + 2 * entry.name.size() + prefix.size() + unit->UnitName.size();
        ++count;
      }
    }
    packed_.reserve(bytes);  // never copied while it grows
    starts_.reserve(count + 1);
    lines_.reserve(count);
    size_t asked = 0;
    for (THUnit* unit : units) {
      const std::vector<NameEntry>& entries = (unit->*list).entries();
      for (size_t at = 0; at < entries.size(); ++at) {
        if (at + kItemsAhead < entries.size())
          __builtin_prefetch(entries[at + kItemsAhead].name.data());
        if (documented[asked++])
          add(platform::trimmedView(entries[at].name), prefix, unit->UnitName);
      }
    }
    starts_.push_back(packed_.size());
  }

  void sort() {
    std::sort(lines_.begin(), lines_.end(),
              [this](const Line& a, const Line& b) { return before(*this, a, *this, b); });
  }

  // Whether line a of run `first` goes before line b of run `second`.
  static bool before(const ContentsRun& first, const Line& a, const ContentsRun& second,
                     const Line& b) {
    if (a.key != b.key) return a.key < b.key;
    const int order = platform::compareText(first.text(a), second.text(b));
    if (order != 0) return order < 0;
    return a.run != b.run ? a.run < b.run : a.number < b.number;
  }

  const std::vector<Line>& lines() const { return lines_; }
  std::string_view text(const Line& line) const {
    return std::string_view(packed_).substr(starts_[line.number],
                                            starts_[line.number + 1] - starts_[line.number]);
  }

 private:
  void add(std::string_view name, std::string_view prefix, std::string_view unitName) {
    const size_t start = packed_.size();
    starts_.push_back(start);
    packed_.append("2 ").append(name).append(prefix).append(unitName).append("_").append(name);
    const std::string_view afterLevel = std::string_view(packed_).substr(start + 2);
    lines_.push_back(
        Line{platform::textSortKey(afterLevel), run_, static_cast<std::uint32_t>(lines_.size())});
  }

  std::uint32_t run_;
  std::string packed_;
  std::vector<size_t> starts_;  // of each line, then the end of the last
  std::vector<Line> lines_;
};

// Writes the lines of both runs in the order one sort of them all would give.
template <class Emit>
void mergeInto(const Emit& emit, const ContentsRun& first, const ContentsRun& second) {
  const std::vector<ContentsRun::Line>& a = first.lines();
  const std::vector<ContentsRun::Line>& b = second.lines();
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() || j < b.size()) {
    const bool takeSecond =
        i == a.size() || (j < b.size() && ContentsRun::before(second, b[j], first, a[i]));
    emit(takeSecond ? second.text(b[j++]) : first.text(a[i++]));
  }
}

// A section of the contents file: the units' entries of one list.
struct ContentsSection {
  int heading;
  std::string_view prefix;
  const SortedNameList THUnit::*list;
};

constexpr std::array<ContentsSection, 4> kContentsSections{{
    {txt::CNT_Types, "=Type_", &THUnit::Types},
    {txt::CNT_Methods, "=Method_", &THUnit::Routines},
    {txt::CNT_Variables, "=Variable_", &THUnit::Variables},
    {txt::CNT_Constants, "=Constant_", &THUnit::Constants},
}};

// A section's lines in two runs of units: the first made on the thread that
// writes, the second on a helper.
struct SectionRuns {
  size_t firstRunUnits = 0;
  ContentsRun first{0};
  ContentsRun second{1};
};

using ContentsRuns = std::array<SectionRuns, kContentsSections.size()>;

// Where each section's first run ends: after about `share` of its entries
// when it is large enough to be worth a second thread, else after the last
// unit. Returns whether any section has a second run.
bool splitRuns(std::span<THUnit* const> units, bool twoThreads, double share, ContentsRuns& runs) {
  constexpr size_t kEntriesWorthASecondThread = 20000;
  bool split = false;
  for (size_t k = 0; k < runs.size(); ++k) {
    const auto list = kContentsSections[k].list;
    size_t entries = 0;
    for (THUnit* unit : units) entries += static_cast<size_t>((unit->*list).count());
    size_t& firstRunUnits = runs[k].firstRunUnits;
    firstRunUnits = units.size();
    if (!twoThreads || entries < kEntriesWorthASecondThread) continue;
    const auto wanted = static_cast<size_t>(static_cast<double>(entries) * share);
    size_t taken = 0;
    for (firstRunUnits = 0; firstRunUnits < units.size() && taken < wanted; ++firstRunUnits) {
      taken += static_cast<size_t>((units[firstRunUnits]->*list).count());
    }
    split = split || firstRunUnits < units.size();
  }
  return split;
}

}  // namespace

void THProject::emitSections(const LineSink& emit) {
  // Entries from all units, interleaved by name: a large section is made from
  // two runs of units, each sorted on its own and merged as the lines go out.
  // The order is total, so the merge gives the order one sort would. The
  // helper makes the second runs of the sections one after another while
  // this thread makes the first runs and writes: a section is written while
  // the next is made. The first runs are the smaller, as writing is this
  // thread's too.
  std::vector<THUnit*> units;
  for (const NameEntry& unitEntry : Units.entries()) {
    auto* unit = static_cast<THUnit*>(unitEntry.item);
    if (unit->IsDocumented()) units.push_back(unit);
  }
  const std::span<THUnit* const> all(units);
  constexpr double kFirstRunShare = 0.45;
  ContentsRuns runs;
  const bool helped = splitRuns(all, threadCount() > 1, kFirstRunShare, runs);
  const auto make = [&](size_t k, ContentsRun& run, std::span<THUnit* const> part) {
    const ContentsSection& section = kContentsSections[k];
    run.collect(part, section.prefix, section.list, marksForContents_);
    run.sort();
  };
  // Sections whose second run is made; kHelperFailed once the helper threw,
  // after it stored the exception.
  constexpr size_t kHelperFailed = SIZE_MAX;
  std::atomic<size_t> secondRunsMade{0};
  std::exception_ptr helperFailure;
  std::jthread helper;
  if (helped) {
    helper = std::jthread([&](const std::stop_token& stop) {
      try {
        for (size_t k = 0; k < runs.size() && !stop.stop_requested(); ++k) {
          make(k, runs[k].second, all.subspan(runs[k].firstRunUnits));
          secondRunsMade.store(k + 1, std::memory_order_release);
          secondRunsMade.notify_one();
        }
      } catch (...) {
        helperFailure = std::current_exception();
        secondRunsMade.store(kHelperFailed, std::memory_order_release);
        secondRunsMade.notify_one();
      }
    });
  }
  for (size_t k = 0; k < runs.size(); ++k) {
    make(k, runs[k].first, all.first(runs[k].firstRunUnits));
    if (helped) {
      size_t made = secondRunsMade.load(std::memory_order_acquire);
      while (made <= k) {
        secondRunsMade.wait(made, std::memory_order_acquire);
        made = secondRunsMade.load(std::memory_order_acquire);
      }
      if (made == kHelperFailed) std::rethrow_exception(helperFailure);
    }
    emit("1 " + LanguageText(kContentsSections[k].heading));
    mergeInto(emit, runs[k].first, runs[k].second);
    runs[k] = SectionRuns{};  // written: its memory goes back
  }
}

}  // namespace holders
