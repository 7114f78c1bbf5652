// Tokenizer throughput on real source: the largest Pascal file of the
// installed Free Pascal sources, with a synthetic unit in its place when they
// are absent. Reports bytes per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "parser/tokenizer.h"
#include "tests/support/fpc_sources.h"

namespace {

struct Corpus {
  std::string name;
  std::string text;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A unit with the usual mix of declarations, comments, literals and numbers.
std::string syntheticUnit() {
  std::string text = "unit Synthetic;\r\n\r\ninterface\r\n\r\nuses SysUtils, Classes;\r\n\r\n";
  for (int i = 0; i < 20000; ++i) {
    const std::string n = std::to_string(i);
    text += "{ TItem" + n + " holds one entry of the table.\r\n  See also TItem. }\r\n";
    text += "type\r\n  TItem" + n + " = class(TObject)\r\n  private\r\n    FValue: Integer;\r\n";
    text += "  public\r\n    // Returns the value scaled by Factor.\r\n";
    text += "    function Scaled(Factor: Double = 1.5): Double; virtual;\r\n";
    text += "    property Value: Integer read FValue write FValue default " + n + ";\r\n";
    text += "  end;\r\n\r\nconst\r\n  Name" + n + " = 'Item ''" + n + "''' + #13#10; (* $" + n +
            " *)\r\n\r\n";
  }
  return text + "implementation\r\n\r\nend.\r\n";
}

const Corpus& corpus() {
  static const Corpus loaded = [] {
    if (const auto root = testing_support::fpcSourceRoot()) {
      const auto files = testing_support::fpcSourceFiles(*root, {".pp", ".pas"});
      std::uintmax_t largestSize = 0;
      std::string largest;
      for (const std::string& file : files) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(file, error);
        if (!error && size > largestSize) {
          largestSize = size;
          largest = file;
        }
      }
      if (!largest.empty()) return Corpus{largest, readFile(largest)};
    }
    return Corpus{"synthetic unit (no Free Pascal sources installed)", syntheticUnit()};
  }();
  return loaded;
}

void tokenizeRepeatedly(benchmark::State& state, const Corpus& input) {
  state.SetLabel(input.name);
  std::int64_t tokens = 0;
  for (auto _ : state) {
    parser::TqPasParser tokenizer;
    tokenizer.SetText(input.text);
    for (tokenizer.Next(); tokenizer.Token().Kind() != parser::TokenKind::Null; tokenizer.Next()) {
      ++tokens;
    }
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.text.size()));
  state.counters["tokens/s"] =
      benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}

void BM_TokenizeLargestSourceFile(benchmark::State& state) {
  tokenizeRepeatedly(state, corpus());
}
BENCHMARK(BM_TokenizeLargestSourceFile)->Unit(benchmark::kMillisecond);

// Ordinary declaration code, for comparison with the largest file, which may
// be mostly numbers.
void BM_TokenizeSyntheticUnit(benchmark::State& state) {
  static const Corpus synthetic{"synthetic unit", syntheticUnit()};
  tokenizeRepeatedly(state, synthetic);
}
BENCHMARK(BM_TokenizeSyntheticUnit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
