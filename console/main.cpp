// korvex: writes reference help for Object Pascal units.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <optional>

#include "console/korvex_run.h"
#include "ipc/trace_link.h"
#include "platform/files.h"
#include "platform/malloc_tuning.h"

int main(int argc, char** argv) {
  // Large runs are faster with malloc tuned; this may start korvex once more.
  platform::restartWithMallocTuning(argv);
  // Standard output carries a progress line for every declaration: through
  // a buffer of its own rather than C stdio's, locked for every piece; when
  // it goes to a file or a pipe, 64 KB at a time.
  std::ios::sync_with_stdio(false);
  std::optional<platform::DescriptorOutputBuffer> outputBuffer;
  if (::isatty(STDOUT_FILENO) == 0) outputBuffer.emplace(STDOUT_FILENO);
  std::ostream out(outputBuffer ? &*outputBuffer : std::cout.rdbuf());
  // Announces the start to a trace monitor when one runs, and the stop when
  // main returns; silent otherwise.
  const ipc::TraceSession trace(argc > 0 ? argv[0] : "korvex");
  try {
    const std::vector<std::string> arguments(argv, argv + argc);
    const int status = console::RunKorvex(arguments, platform::programDirectory(), {out, std::cin},
                                          console::ModelAtEnd::LeftToProcessEnd);
    out.flush();
    return status;
  } catch (const std::exception& error) {
    out.flush();
    std::cerr << "korvex: " << error.what() << '\n';
    return 1;
  }
}
