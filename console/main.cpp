// korvex: writes reference help for Object Pascal units.
#include <exception>
#include <iostream>

#include "console/korvex_run.h"
#include "ipc/trace_link.h"
#include "platform/files.h"
#include "platform/malloc_tuning.h"

int main(int argc, char** argv) {
  // Large runs are faster with malloc tuned; this may start korvex once more.
  platform::restartWithMallocTuning(argv);
  // Standard output carries a progress line for every declaration: through
  // a buffer of its own rather than C stdio's, locked for every piece.
  std::ios::sync_with_stdio(false);
  // Announces the start to a trace monitor when one runs, and the stop when
  // main returns; silent otherwise.
  const ipc::TraceSession trace(argc > 0 ? argv[0] : "korvex");
  try {
    const std::vector<std::string> arguments(argv, argv + argc);
    return console::RunKorvex(arguments, platform::programDirectory(), {std::cout, std::cin},
                              console::ModelAtEnd::LeftToProcessEnd);
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "korvex: " << error.what() << '\n';
    return 1;
  }
}
