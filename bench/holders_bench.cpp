// The source model: reading a unit (tokenizer, declarations, comments and
// include files), reading and building its topics, and link search, the
// lookup of every word of a description among the project's declarations.
//
// The unit is the largest unit file of the Free Pascal fcl-base, fcl-xml and
// fcl-json sources (read with its include files), or a synthetic unit when
// those sources are absent. Pages come from the shipped page set.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/unit_file.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "holders/unit.h"
#include "platform/files.h"
#include "tests/support/fpc_sources.h"

namespace {

using holders::THProject;

struct Source {
  std::string label;
  std::string path;  // empty for a synthetic unit
  std::string text;
};

// A unit with the usual mix of classes, routines and constants; the unit's
// number keeps names apart across units.
std::string syntheticUnit(int number, int declarations) {
  const std::string n = std::to_string(number);
  std::string text = "unit Bench" + n + ";\r\n\r\ninterface\r\n\r\nuses Classes;\r\n\r\ntype\r\n";
  for (int i = 0; i < declarations; ++i) {
    const std::string id = n + "_" + std::to_string(i);
    text += "  { TItem" + id + " holds one entry; see TItem" + n + "_0 and Count" + id + ". }\r\n";
    text += "  TItem" + id + " = class(TPersistent)\r\n  private\r\n    FValue: Integer;\r\n";
    text += "  public\r\n    { Runs the item on Source. }\r\n";
    text += "    procedure Run(Source: TItem" + id + "; Factor: Double = 1.5); virtual;\r\n";
    text += "    property Value: Integer read FValue write FValue default 0;\r\n  end;\r\n\r\n";
  }
  text += "const\r\n";
  for (int i = 0; i < declarations; ++i) {
    const std::string id = n + "_" + std::to_string(i);
    text +=
        "  { Entries of TItem" + id + ". }\r\n  Count" + id + " = " + std::to_string(i) + ";\r\n";
  }
  for (int i = 0; i < declarations; ++i) {
    text += "{ Processes every item. }\r\nprocedure Process" + n + "_" + std::to_string(i) +
            "(List: TList);\r\n";
  }
  return text + "\r\nimplementation\r\n\r\nend.\r\n";
}

std::vector<std::string> mediumCorpusFiles(const std::string& root) {
  std::vector<std::string> files;
  for (const char* dir :
       {"/packages/fcl-base/src", "/packages/fcl-xml/src", "/packages/fcl-json/src"}) {
    for (std::string& file : testing_support::fpcSourceFiles(root + dir, {".pp", ".pas"})) {
      files.push_back(std::move(file));
    }
  }
  return files;
}

const Source& largestUnit() {
  static const Source source = [] {
    Source best{"synthetic unit (no Free Pascal sources installed)", "", syntheticUnit(0, 400)};
    const auto root = testing_support::fpcSourceRoot();
    if (!root) return best;
    std::uintmax_t bestSize = 0;
    for (const std::string& file : mediumCorpusFiles(*root)) {
      std::error_code error;
      const std::uintmax_t size = std::filesystem::file_size(file, error);
      if (error || size <= bestSize) continue;
      std::string text = platform::readFile(file);
      if (!bench::startsWithUnit(text)) continue;
      bestSize = size;
      best = Source{file, file, std::move(text)};
    }
    return best;
  }();
  return source;
}

// Counts what the build writes and keeps nothing.
class CountingSink final : public holders::PageSink {
 public:
  void writePage(const holders::TopicRef&, const std::vector<std::string>& lines) override {
    for (const std::string& line : lines) bytes += static_cast<std::int64_t>(line.size() + 2);
  }
  void finish(std::string_view closingLine) override {
    bytes += static_cast<std::int64_t>(closingLine.size() + 2);
  }
  std::int64_t bytes = 0;
};

std::unique_ptr<THProject> newProject() {
  auto project = std::make_unique<THProject>(std::string(KORVEX_SOURCE_DIR) + "/");
  project->Scope = holders::kScopePublic;
  return project;
}

void BM_ReadUnit(benchmark::State& state) {
  const Source& source = largestUnit();
  const holders::OptionsGuard options;
  state.SetLabel(source.label);
  for (auto _ : state) {
    auto project = newProject();
    benchmark::DoNotOptimize(&project->AddUnitText("BENCH", source.text, source.path));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.text.size()));
}
BENCHMARK(BM_ReadUnit)->Unit(benchmark::kMillisecond);

// Reading and building together; the build alone is the difference to
// BM_ReadUnit.
void BM_ReadAndBuildUnit(benchmark::State& state) {
  const Source& source = largestUnit();
  const holders::OptionsGuard options;
  state.SetLabel(source.label);
  std::int64_t written = 0;
  for (auto _ : state) {
    auto project = newProject();
    project->AddUnitText("BENCH", source.text, source.path);
    CountingSink sink;
    project->BuildTopics(sink);
    written += sink.bytes;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.text.size()));
  state.counters["written/s"] =
      benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadAndBuildUnit)->Unit(benchmark::kMillisecond);

// A description of about 64 KB, a third of its words declared names, looked
// up in a project of state.range(0) units of 100 classes, constants and
// routines each.
void linkSearch(benchmark::State& state, bool caseSensitive) {
  const holders::OptionsGuard options;
  auto project = newProject();
  const auto units = static_cast<int>(state.range(0));
  for (int i = 0; i < units; ++i) {
    project->AddUnitText("BENCH" + std::to_string(i), syntheticUnit(i, 100));
  }
  std::string description;
  for (int i = 0; description.size() < 64 * 1024; ++i) {
    const std::string id = std::to_string(i % units) + "_" + std::to_string(i % 100);
    description +=
        "The list of TItem" + id + " entries (see Count" + id + ", and Process" + id + ") grows.  ";
  }
  holders::THUnit& unit = *project->UnitAt(0);
  for (auto _ : state) {
    const std::string rtf = unit.BuildRtfText(description, true, caseSensitive);
    benchmark::DoNotOptimize(rtf.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(description.size()));
}

void BM_LinkSearch(benchmark::State& state) {
  linkSearch(state, true);
}
BENCHMARK(BM_LinkSearch)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_LinkSearchIgnoringCase(benchmark::State& state) {
  linkSearch(state, false);
}
BENCHMARK(BM_LinkSearchIgnoringCase)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
