// korvex-trace, the trace monitor: it holds the copy-data window
// "Mobrisk CopyData: #7771", answers the link check of the programs' trace
// links with 7771, and prints each trace record it receives as one line:
//
//   2024-01-01 12:00:00.000 | korvex | 0 | DEBUGGER | Status | PROGRAM START
//
// (local time, program, kind, source, category, text; control bytes in the
// fields print as '?').
#pragma once

#include <csignal>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ipc/copy_data.h"
#include "ipc/trace_record.h"

namespace tools {

// A command line or a situation korvex-trace cannot run with; what() says
// why.
class TraceMonitorError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TraceMonitorOptions {
  std::optional<long> count;  // end after this many records
  bool help = false;
};

// Reads "--count N" and "--help". Throws TraceMonitorError.
TraceMonitorOptions parseTraceMonitorArguments(const std::vector<std::string>& args);

std::string formatTraceLine(const ipc::TraceRecord& record);

class TraceMonitor {
 public:
  // Takes the monitor's window. Throws platform::FileError when no endpoint
  // can be created, TraceMonitorError when another monitor holds the window.
  TraceMonitor(std::ostream& lines, std::ostream& errors);

  // Handles messages until count records have been printed or stop turns
  // non-zero; every wait is short, so a signal ends it promptly.
  void run(std::optional<long> count, const volatile std::sig_atomic_t& stop);
  long printed() const { return printed_; }

 private:
  int32_t onIncoming(int32_t number, const void* data, int32_t size);

  std::ostream& lines_;
  std::ostream& errors_;
  std::unique_ptr<ipc::TCopyData> window_;
  long printed_ = 0;
};

}  // namespace tools
