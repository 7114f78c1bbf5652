// What the trace link costs a program: start and stop with no monitor
// running (the usual case), one Trace with the link down, and a whole
// session with a monitor in the same process.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "ipc/copy_data.h"
#include "ipc/trace_link.h"

namespace {

// A private endpoint directory for the run, removed afterwards.
class BenchDirectory {
 public:
  BenchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvex-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    ::setenv("KORVEX_ENDPOINT_DIR", path_.c_str(), 1);
  }
  ~BenchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::string path_;
};

void BM_TraceSessionWithoutMonitor(benchmark::State& state) {
  BenchDirectory directory;
  for (auto _ : state) {
    ipc::TraceSession session("korvex");
    benchmark::DoNotOptimize(ipc::TraceLink());
  }
}
BENCHMARK(BM_TraceSessionWithoutMonitor)->Unit(benchmark::kMicrosecond);

void BM_TraceWithLinkDown(benchmark::State& state) {
  BenchDirectory directory;
  ipc::TraceSession session("korvex");
  for (auto _ : state) ipc::Trace(0, "DEBUGGER", "Status", "PROGRAM START");
}
BENCHMARK(BM_TraceWithLinkDown)->Unit(benchmark::kMicrosecond);

void BM_TraceSessionWithMonitor(benchmark::State& state) {
  BenchDirectory directory;
  ipc::TCopyData monitor;
  monitor.Logging = false;
  monitor.SetID(ipc::kTraceMonitorID);
  for (auto _ : state) {
    ipc::TraceSession session("korvex");
    benchmark::DoNotOptimize(ipc::TraceLink());
  }
}
BENCHMARK(BM_TraceSessionWithMonitor)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
