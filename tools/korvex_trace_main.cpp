// korvex-trace [--count N]: shows the trace records that korvex and vantro
// send while it runs, one line each, until Ctrl+C (or N records). Exit status
// 0 when it ends so, 1 when it cannot run, 2 for a bad command line.
#include <signal.h>

#include <csignal>
#include <iostream>

#include "platform/files.h"
#include "tools/korvex_trace.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
  stopRequested = 1;
}

// No SA_RESTART: a signal cuts the current wait short.
void catchStopSignals() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

constexpr char kUsage[] =
    "usage: korvex-trace [--count N]\n"
    "Shows the trace records of running korvex and vantro programs, one per line:\n"
    "time | program | kind | source | category | text. Ctrl+C ends it;\n"
    "--count N ends it after N records.\n";

}  // namespace

int main(int argc, char** argv) {
  tools::TraceMonitorOptions options;
  try {
    options = tools::parseTraceMonitorArguments(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const tools::TraceMonitorError& error) {
    std::cerr << "korvex-trace: " << error.what() << '\n' << kUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  catchStopSignals();
  try {
    tools::TraceMonitor monitor(std::cout, std::cerr);
    std::cerr << "korvex-trace: waiting for trace records (Ctrl+C ends)\n";
    monitor.run(options.count, stopRequested);
  } catch (const platform::FileError& error) {
    std::cerr << "korvex-trace: " << error.what() << '\n';
    return 1;
  } catch (const tools::TraceMonitorError& error) {
    std::cerr << "korvex-trace: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
