// korvex: writes reference help for Object Pascal units.
#include <exception>
#include <iostream>

#include "console/korvex_run.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> arguments(argv, argv + argc);
    return console::RunKorvex(arguments, platform::programDirectory(), {std::cout, std::cin});
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "korvex: " << error.what() << '\n';
    return 1;
  }
}
