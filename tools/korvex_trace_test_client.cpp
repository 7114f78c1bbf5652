// A program wired to the trace link the way korvex and vantro are, and
// nothing else: run under korvex-trace it sends exactly the three records.
#include "ipc/trace_link.h"

int main() {
  ipc::TraceSession traceSession;
  return 0;
}
