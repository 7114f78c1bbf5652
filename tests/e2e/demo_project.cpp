#include "tests/e2e/demo_project.h"

#include <filesystem>

namespace testing_support {

DemoProject::DemoProject() {
  const std::string programDir = root_.path() + "/prog";
  program_ = installProgramCopy(KORVEX_BINARY, programDir);
  std::filesystem::copy(KORVEX_TEMPLATE_DIR, programDir + "/Template",
                        std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(outputDir());
}

RunResult DemoProject::build(const std::vector<std::string>& extraArguments) const {
  std::vector<std::string> arguments{"/iexamples/KORVEX.INI", "/h" + outputDir() + "/SHAPES"};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  RunOptions options;
  options.workingDirectory = sourceDir();
  return runProgram(program_, arguments, options);
}

std::string demoGoldenDir() {
  return sourceDir() + "/tests/data/demo";
}

}  // namespace testing_support
