// Both programs together: the interface language chosen in Vantro is the
// language of Korvex's console messages.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "config-ui/controls.h"
#include "config-ui/vantro_test_support.h"
#include "platform/files.h"

namespace vantro::testing {
namespace {

std::string runAndCapture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
    output.append(buffer.data(), n);
  return output;
}

TEST(KorvexConsole, UsageTextFollowsTheLanguageChosenInVantro) {
  std::string built = platform::programDirectory();
  if (!platform::fileExists(built + "korvex")) GTEST_SKIP() << "korvex is not built";
  testing_support::TempDir dir;
  std::string bin = dir.path() + "/bin/";
  std::filesystem::create_directories(bin);
  for (const char* file : {"korvex", "German.lnf"})
    std::filesystem::copy_file(built + file, bin + file);
  {
    VantroRun vantro(dir);
    vantro.form->show();
    ASSERT_TRUE(waitForStart(*vantro.form));
    int german = vantro.form->cmbUILangs->findText("Deutsch");
    ASSERT_GE(german, 0);
    vantro.form->cmbUILangs->setCurrentIndex(german);
    emit vantro.form->cmbUILangs->activated(german);
    ASSERT_TRUE(vantro.form->close());
  }
  // A trace monitor another test runs meanwhile must not hear this korvex:
  // it gets an endpoint directory of its own.
  std::string output = runAndCapture("cd '" + dir.path() + "/work' && KORVEX_ENDPOINT_DIR='" +
                                     dir.path() + "/endpoints' '" + bin + "korvex' </dev/null");
  EXPECT_NE(std::string::npos, output.find("Aufruf: KORVEX /uDateiname")) << output;
  EXPECT_NE(std::string::npos, output.find("Sprache: Sprache der Hilfetexte")) << output;
  EXPECT_EQ(std::string::npos, output.find("Command Line:")) << output;
}

}  // namespace
}  // namespace vantro::testing
