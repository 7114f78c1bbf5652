// Whole-program tests of how a korvex run ends: the results file, a build
// that fails, a build without units, a run without an output name, the pause
// on /r, and errors outside the build.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lang/base_lang.h"
#include "tests/e2e/korvex_sandbox.h"
#include "tests/e2e/sample_units.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::KorvexSandbox;
using testing_support::lines;
using testing_support::linesStartingWith;
using testing_support::RunResult;
using Strings = std::vector<std::string>;

class KorvexOutcome : public ::testing::Test {
 protected:
  KorvexOutcome() {
    sandbox_.writeWork("One.pas", testing_support::kUnitOne);
    sandbox_.writeWork("Two.pas", testing_support::kUnitTwo);
    sandbox_.writeWork("Extra.inc", testing_support::kIncludeExtra);
    sandbox_.writeWork("blocker", "a regular file where a directory is expected");
  }

  // Standard output without the banner line.
  static Strings afterBanner(const RunResult& result) {
    Strings out = lines(result.out);
    EXPECT_FALSE(out.empty());
    if (!out.empty()) out.erase(out.begin());
    return out;
  }

  static bool endsEveryLineWithCrLf(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
      if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    }
    return text.empty() || text.ends_with("\r\n");
  }

  KorvexSandbox sandbox_;
};

TEST_F(KorvexOutcome, ResultsFileHoldsWhatTheConsoleWouldShowWithCrLf) {
  const RunResult console = sandbox_.run({"/uone.pas", "/utwo.pas", "/hout"});
  ASSERT_EQ(0, console.exitStatus) << console.err;
  const Strings progress = afterBanner(console);
  ASSERT_GE(progress.size(), 5u);
  EXPECT_EQ("Adding unit:ONE.PAS", progress.front());
  EXPECT_EQ("Build to file:OUT.CNT", progress.back());

  const RunResult quiet = sandbox_.run({"/uone.pas", "/utwo.pas", "/hout", "/oresults.txt"});
  ASSERT_EQ(0, quiet.exitStatus) << quiet.err;
  EXPECT_EQ(Strings{}, afterBanner(quiet)) << "only the banner stays on the console";
  ASSERT_TRUE(sandbox_.workFileExists("RESULTS.TXT")) << "the name arrives in capitals";
  const std::string results = sandbox_.readWork("RESULTS.TXT");
  EXPECT_TRUE(endsEveryLineWithCrLf(results));
  EXPECT_EQ(progress, lines(results));
}

TEST_F(KorvexOutcome, ResultsWithoutABuildHoldTheReadingProgress) {
  const RunResult result = sandbox_.run({"/uone.pas", "/olog.txt"});
  ASSERT_EQ(0, result.exitStatus) << result.err;
  const Strings log = lines(sandbox_.readWork("LOG.TXT"));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ("Adding unit:ONE.PAS", log.front());
  EXPECT_EQ(Strings{}, linesStartingWith(sandbox_.readWork("LOG.TXT"), "Build to file:"));
}

TEST_F(KorvexOutcome, BuildErrorIsReportedOnTheConsoleAndTheRunEndsNormally) {
  struct Case {
    const char* why;
    std::function<void()> prepare;
    const char* output;
    Strings written;  // help project files left in the work directory
    const char* error;
  } cases[] = {
      {"the output directory is a regular file",
       [] {},
       "/hblocker/out",
       {},
       "CRITICAL ERROR:cannot create BLOCKER/OUT.RTF: Not a directory"},
      {"the project file's name is taken by a directory",
       [this] { std::filesystem::create_directory(sandbox_.workDir() + "/OUT.HPJ"); },
       "/hout",
       {"OUT.RTF"},
       "CRITICAL ERROR:cannot create OUT.HPJ: Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    c.prepare();
    const RunResult result = sandbox_.run({"/uone.pas", c.output, "/oresults.txt"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(Strings{c.error}, afterBanner(result));
    const std::string results = sandbox_.readWork("RESULTS.TXT");
    EXPECT_EQ(Strings{}, linesStartingWith(results, "CRITICAL")) << "never in the results";
    EXPECT_EQ("Adding unit:ONE.PAS", lines(results).front());
    Strings written;
    for (const std::string& name : sandbox_.workFiles()) {
      if (name.starts_with("OUT.")) written.push_back(name);
    }
    EXPECT_EQ(c.written, written);
  }
  EXPECT_TRUE(sandbox_.readWork("OUT.RTF").ends_with("\r\n}\r\n")) << "the topics file is whole";
}

TEST_F(KorvexOutcome, InterfaceLanguageReachesProgressAndTheErrorLine) {
  sandbox_.writeInterfaceLanguage("test.lnf", "TST", "Testish",
                                  {{lang::BaseLang::kMsgAddingUnit, "Lese Unit:"},
                                   {lang::BaseLang::kMsgBuildToFile, "Schreibe:"},
                                   {lang::BaseLang::kMsgCriticalError, "SCHWERER FEHLER: "}});
  sandbox_.writeProgram("Vantro.INI", "[Form Storage]\r\nedtDONOTTRANSLATE_Text=Testish\r\n");
  const RunResult result = sandbox_.run({"/uone.pas", "/hblocker/out"});
  EXPECT_EQ(0, result.exitStatus) << result.err;
  const Strings out = afterBanner(result);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ("Lese Unit:ONE.PAS", out.front());
  EXPECT_EQ(Strings{"Schreibe:BLOCKER/OUT.RTF"}, linesStartingWith(result.out, "Schreibe:"));
  EXPECT_EQ("SCHWERER FEHLER: cannot create BLOCKER/OUT.RTF: Not a directory", out.back());
}

TEST_F(KorvexOutcome, BuildWithoutUnitsWritesEmptyLists) {
  const RunResult result = sandbox_.run({"/hout"});
  ASSERT_EQ(0, result.exitStatus) << result.err;
  EXPECT_EQ((Strings{"Build to file:OUT.RTF", "Build to file:OUT.HPJ", "Build to file:OUT.CNT"}),
            afterBanner(result));
  EXPECT_EQ("{HEADER\r\nCONTENTS Contents / Units\r\n\r\n}\r\n", sandbox_.readWork("OUT.RTF"));
  EXPECT_EQ(
      "[OPTIONS]\r\nHLP=OUT.HLP\r\n[FILES]\r\nOUT.RTF\r\n[WINDOWS]\r\n"
      "members=\"Properties, Methods, and Events\"\r\n",
      sandbox_.readWork("OUT.HPJ"));
  EXPECT_EQ(
      ":Base OUT.HLP>main\r\n:Title Help File Contents\r\n1 Overview=Contents\r\n1 Units\r\n"
      "1 Types\r\n1 Methods\r\n1 Variables\r\n1 Constants\r\n",
      sandbox_.readWork("OUT.CNT"));
}

TEST_F(KorvexOutcome, WithoutAnOutputNameUnitsAreReadAndNothingIsWritten) {
  const Strings before = sandbox_.workFiles();
  const RunResult result = sandbox_.run({"/uone.pas", "/utwo.pas"});
  ASSERT_EQ(0, result.exitStatus) << result.err;
  const Strings out = afterBanner(result);
  EXPECT_EQ((Strings{"Adding unit:ONE.PAS", "Adding unit:TWO.PAS"}),
            linesStartingWith(result.out, "Adding unit:"));
  EXPECT_EQ(Strings{"Parsing type:TThing"}, linesStartingWith(result.out, "Parsing type:TThing"));
  EXPECT_EQ(Strings{}, linesStartingWith(result.out, "Build"));
  EXPECT_EQ(before, sandbox_.workFiles());
}

TEST_F(KorvexOutcome, PauseSwitchWaitsForEnterAfterSavingTheResults) {
  for (const char* pause : {"/r", "/Rnow"}) {
    SCOPED_TRACE(pause);
    std::filesystem::remove(sandbox_.workDir() + "/RESULTS.TXT");
    ChildProcess korvex(sandbox_.program(), {"/uone.pas", pause, "/hout", "/oresults.txt"},
                        sandbox_.workDir());
    // The results are saved just before the pause; from then on a program
    // that does not wait would end at once.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!sandbox_.workFileExists("RESULTS.TXT") && std::chrono::steady_clock::now() < deadline)
      korvex.waitForEnd(5ms);
    ASSERT_TRUE(sandbox_.workFileExists("RESULTS.TXT"));
    EXPECT_FALSE(korvex.waitForEnd(300ms)) << "ended without Enter";
    korvex.writeInput("\n");
    ASSERT_TRUE(korvex.waitForEnd(20s));
    EXPECT_EQ(0, korvex.result().exitStatus);
  }
}

TEST_F(KorvexOutcome, WithoutPauseSwitchTheRunDoesNotReadInput) {
  ChildProcess korvex(sandbox_.program(), {"/uone.pas", "/hout"}, sandbox_.workDir());
  ASSERT_TRUE(korvex.waitForEnd(20s)) << "waited although standard input stayed open";
  EXPECT_EQ(0, korvex.result().exitStatus);
}

TEST_F(KorvexOutcome, ErrorsOutsideTheBuildEndTheProgramWithStatusOne) {
  const std::string notALanguage("\x1A\0\0\0TCustomLanguageCenter File\x03\0\0", 33);
  struct Case {
    const char* why;
    std::function<void()> prepare;
    Strings arguments;
    const char* reason;  // in the message on standard error
    Strings written;     // help project files left in the work directory
    bool progressShown;  // "Adding unit:" on the console
  } cases[] = {
      {"the results file cannot be written",
       [] {},
       {"/uone.pas", "/hout", "/oblocker/log.txt"},
       "BLOCKER/LOG.TXT",
       {"OUT.CNT", "OUT.HPJ", "OUT.RTF"},
       false},
      {"the help language of the Language key is not a language file",
       [&] {
         sandbox_.writeProgram("KORVEX.INI", "[Options]\r\nLanguage=Broken\r\n");
         sandbox_.writeProgram("Template/Broken.lnf", notALanguage);
       },
       {"/uone.pas", "/hout"},
       "The file is not a valid language file",
       {},
       false},
      {"the help language of /l is not a language file",
       [&] {
         sandbox_.writeProgram("KORVEX.INI", "");
         sandbox_.writeProgram("Template/Broken.lnf", notALanguage);
       },
       {"/uone.pas", "/hout", "/lbroken"},
       "The file is not a valid language file",
       {},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    c.prepare();
    const RunResult result = sandbox_.run(c.arguments);
    EXPECT_EQ(1, result.exitStatus);
    EXPECT_TRUE(result.err.starts_with("korvex: ")) << result.err;
    EXPECT_NE(std::string::npos, result.err.find(c.reason)) << result.err;
    EXPECT_EQ(Strings{}, linesStartingWith(result.out, "CRITICAL"));
    EXPECT_EQ(c.progressShown, !linesStartingWith(result.out, "Adding unit:").empty());
    Strings written;
    for (const std::string& name : sandbox_.workFiles()) {
      if (name.starts_with("OUT.")) {
        written.push_back(name);
        std::filesystem::remove(sandbox_.workDir() + "/" + name);
      }
    }
    EXPECT_EQ(c.written, written);
  }
}

}  // namespace
