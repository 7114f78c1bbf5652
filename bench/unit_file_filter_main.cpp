// unit-file-filter: reads file paths, one per line, from standard input and
// writes back those that are unit files, in the order read. A file that
// cannot be read is reported on standard error and left out; the exit status
// is then 1.
#include <iostream>
#include <string>

#include "bench/unit_file.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc != 1) {
    std::cerr << "usage: " << argv[0] << " < paths\n"
              << "Prints the paths of standard input whose file starts with `unit`.\n";
    return 2;
  }
  int status = 0;
  std::string path;
  while (std::getline(std::cin, path)) {
    if (path.empty()) continue;
    try {
      if (bench::startsWithUnit(platform::readFile(path))) std::cout << path << '\n';
    } catch (const platform::FileError& error) {
      std::cerr << "unit-file-filter: " << error.what() << '\n';
      status = 1;
    }
  }
  return status;
}
