// Page filling as the help build does it: a page loaded from the in-memory
// page cache, every tag replaced in the fixed order of its holder, the page
// taken as text. Also the substitution on its own over long lines, where the
// cost of rescanning a line shows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "templates/document_template.h"
#include "templates/template_cache.h"

namespace {

using templates::TDocumentTemplate;
using templates::TemplateCache;

std::string pagePath(const std::string& page) {
  return std::string(KORVEX_SOURCE_DIR) + "/Template/" + page + ".TPF";
}

using Tags = std::vector<std::pair<std::string, std::string>>;

// A type topic with a description of about a kilobyte, the largest page the
// build fills for most declarations.
const Tags& typePageTags() {
  static const Tags tags = [] {
    std::string description;
    for (int i = 0; i < 20; ++i) {
      description += "Holds one entry of the table; see {\\uldb TList}{\\v Type_Classes_TList}. ";
    }
    return Tags{
        {"##TypeBitmap##", ""},
        {"##TXTUnit##", "Unit"},
        {"##TXTDeclaration##", "Declaration"},
        {"##TXTDescription##", "Description"},
        {"##TXTTypes##", "Types"},
        {"##UnitName##", "Contnrs"},
        {"##TypeName##", "TFPObjectHashTable"},
        {"##TypeDeclaration##", "TFPObjectHashTable = class(TFPCustomHashTable)"},
        {"##TypeDescription##", description},
        {"##TypeBanner##", "{\\uldb Properties}{\\v Properties_Contnrs_TFPObjectHashTable}"},
    };
  }();
  return tags;
}

void fillPage(benchmark::State& state, const std::string& page, const Tags& tags) {
  TemplateCache cache;
  TDocumentTemplate document(cache);
  const std::string path = pagePath(page);
  document.LoadFromFile(path);
  if (document.Template().empty()) {
    state.SkipWithError(("page not found: " + path).c_str());
    return;
  }
  std::int64_t bytes = 0;
  for (auto _ : state) {
    document.LoadFromFile(path);
    for (const auto& [tag, value] : tags) document.ReplaceTag(tag, value, true);
    const std::string text = document.Text();
    bytes += static_cast<std::int64_t>(text.size());
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(bytes);
}

void BM_FillTypePage(benchmark::State& state) {
  fillPage(state, "TypePage", typePageTags());
}
BENCHMARK(BM_FillTypePage);

// The smallest and most frequent page: one per link found in a description.
void BM_FillInternalJump(benchmark::State& state) {
  static const Tags tags{{"##InternalName##", "TStringList"},
                         {"##InternalJump##", "Type_Classes_TStringList"}};
  fillPage(state, "InternalJump", tags);
}
BENCHMARK(BM_FillInternalJump);

// One line of state.range(0) bytes holding a tag every 64 bytes, as a long
// member list joined into one line becomes.
void replaceInLongLine(benchmark::State& state, bool caseSensitive) {
  const auto length = static_cast<std::size_t>(state.range(0));
  std::string line;
  while (line.size() < length) line += "{\\uldb Item}{\\v ##UnitName##_Item} \\tab text \\par ";
  TDocumentTemplate document;
  for (auto _ : state) {
    document.SetTemplate({line});
    benchmark::DoNotOptimize(document.ReplaceTag("##UnitName##", "Contnrs", caseSensitive));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}

void BM_ReplaceTagLongLine(benchmark::State& state) {
  replaceInLongLine(state, true);
}
BENCHMARK(BM_ReplaceTagLongLine)->Range(1 << 10, 1 << 20);

void BM_ReplaceTagLongLineIgnoringCase(benchmark::State& state) {
  replaceInLongLine(state, false);
}
BENCHMARK(BM_ReplaceTagLongLineIgnoringCase)->Range(1 << 10, 1 << 20);

}  // namespace

BENCHMARK_MAIN();
