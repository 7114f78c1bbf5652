// bench/ab with stand-ins for two korvex builds, which write their output
// files at once: what is judged is the comparison, not korvex.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"

namespace bench {
namespace {

using testing_support::TempDir;

class AbRun : public ::testing::Test {
 protected:
  void SetUp() override { dir_.write("corpora/small/KORVEX.INI", "[Files]\r\n"); }

  // A program beside a page set that writes `rtf` as SMALL.RTF and fixed
  // HPJ and CNT files.
  std::string build(const std::string& name, const std::string& rtf) {
    dir_.write(name + "/Template/Header.TPF", "");
    const std::string program = dir_.write(
        name + "/korvex", "#!/bin/sh\nprintf '" + rtf +
                              "' > SMALL.RTF\necho hpj > SMALL.HPJ\necho cnt > SMALL.CNT\n");
    ::chmod(program.c_str(), 0755);
    return program;
  }

  // Runs the script on the small corpus; its exit status and standard output.
  int run(const std::string& a, const std::string& b) {
    const std::string command = testing_support::sourceDir() + "/bench/ab -n 2 -l small -c '" +
                                dir_.path() + "/corpora' '" + a + "' '" + b + "' > '" +
                                dir_.file("out.txt") + "' 2>&1";
    const int status = std::system(command.c_str());
    output_ = testing_support::readBytes(dir_.file("out.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir dir_;
  std::string output_;
};

TEST_F(AbRun, TimesBothBuildsAndFindsTheSameOutput) {
  ASSERT_EQ(0, run(build("old", "rtf"), build("new", "rtf"))) << output_;
  EXPECT_NE(output_.find("corpus small, 2 pairs in turn"), std::string::npos) << output_;
  EXPECT_NE(output_.find("b against a:"), std::string::npos) << output_;
  for (const char* file : {"SMALL.RTF: same", "SMALL.HPJ: same", "SMALL.CNT: same"}) {
    EXPECT_NE(output_.find(file), std::string::npos) << output_;
  }
}

TEST_F(AbRun, ReportsOutputThatDiffers) {
  EXPECT_EQ(1, run(build("old", "rtf"), build("new", "RTF")));
  EXPECT_NE(output_.find("SMALL.RTF: DIFFERENT"), std::string::npos) << output_;
  EXPECT_NE(output_.find("SMALL.HPJ: same"), std::string::npos) << output_;
}

TEST_F(AbRun, RefusesABuildWithoutItsPageSet) {
  const std::string bare = dir_.write("bare/korvex", "#!/bin/sh\n");
  ::chmod(bare.c_str(), 0755);
  EXPECT_EQ(2, run(build("old", "rtf"), bare));
  EXPECT_NE(output_.find("no page set beside"), std::string::npos) << output_;
}

}  // namespace
}  // namespace bench
