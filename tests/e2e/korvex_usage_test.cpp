// Whole-program tests of korvex's start: banner, usage text and the choice of
// the interface language from the configuration utility's settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "tests/e2e/program_runner.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::RunResult;
using testing_support::TempDir;

const char* const kUsage =
    "Command Line: KORVEX /uFileName /sScope /hOutput /dDefine /iConfig /oResults /lLanguage\n"
    "FileName: Name of file to parse.  Can be used multiple times.\n"
    "Scope: 0-Private 1-Protected 2-Public 3-Published\n"
    "Output: RTF and HPF file to build to\n"
    "Define: Delphi conditional compile define (can be used multiple times)\n"
    "Config: INI file that contains information about the build\n"
    "Results: Send all notification messages to this file\n"
    "Language: The template language that should be used\n"
    "\n";

class KorvexStart : public ::testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& arguments) {
    testing_support::RunOptions options;
    options.workingDirectory = dir_.path();
    return testing_support::runProgram(program_, arguments, options);
  }

  std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

  // Writes a language file beside the program whose usage line 1 reads text.
  void writeLanguage(const std::string& file, const std::string& langID, const std::string& name,
                     const std::string& text) {
    lang::TCustomLanguageCenter center;
    lang::BaseLang::LoadENG(center);
    lang::TLanguageSet& language = center.AddLanguage(langID, name);
    language.SetString(lang::BaseLang::kUsageFirst, text);
    center.SaveToFile(&language, dir_.file(file), 7);
  }

  TempDir dir_;
  std::string program_ = testing_support::installProgramCopy(KORVEX_BINARY, dir_.path());
};

TEST_F(KorvexStart, WithoutParametersPrintsBannerAndUsage) {
  const RunResult result = run({});
  ASSERT_EQ(0, result.exitStatus) << result.err;
  const std::string banner = firstLine(result.out);
  EXPECT_NE(std::string::npos, banner.find("KORVEX"));
  const std::string rest = result.out.substr(banner.size() + 1);
  ASSERT_EQ(0u, rest.find(kUsage)) << rest;
  const std::string last = rest.substr(std::string(kUsage).size());
  EXPECT_FALSE(last.empty());
  EXPECT_EQ(1, std::count(last.begin(), last.end(), '\n')) << "one last line after the blank line";
  EXPECT_EQ("", result.err);
}

TEST_F(KorvexStart, HelpSwitchesPrintTheUsageAndVersionOnlyTheBanner) {
  const std::string usage = run({}).out;
  for (const char* ask : {"--help", "-h", "/?"}) {
    SCOPED_TRACE(ask);
    const RunResult result = run({ask});
    EXPECT_EQ(0, result.exitStatus);
    // The usage, then the line of the format switch.
    EXPECT_EQ(0u, result.out.find(usage));
    EXPECT_EQ(1, std::count(result.out.begin() + static_cast<std::ptrdiff_t>(usage.size()),
                            result.out.end(), '\n'));
  }
  const RunResult version = run({"--version"});
  EXPECT_EQ(0, version.exitStatus);
  EXPECT_EQ(firstLine(usage) + "\n", version.out);
}

TEST_F(KorvexStart, InterfaceLanguageComesFromVantroSettings) {
  writeLanguage("deutsch.lnf", "DEU", "Deutsch", "Befehlszeile: KORVEX ...");
  dir_.write("Vantro.INI", "[Form Storage]\r\nedtDONOTTRANSLATE_Text=Deutsch\r\n");
  const RunResult result = run({});
  EXPECT_EQ(0, result.exitStatus) << result.err;
  EXPECT_NE(std::string::npos, result.out.find("\nBefehlszeile: KORVEX ...\n"));
  // Texts the file does not translate keep their English wording.
  EXPECT_NE(std::string::npos,
            result.out.find("\nScope: 0-Private 1-Protected 2-Public 3-Published\n"));
}

TEST_F(KorvexStart, LastLanguageOfTheChosenNameWins) {
  writeLanguage("a.lnf", "DE1", "Deutsch", "first file");
  writeLanguage("b.lnf", "DE2", "Deutsch", "second file");
  dir_.write("vantro.ini", "[Form Storage]\nedtDONOTTRANSLATE_Text=Deutsch\n");
  const RunResult result = run({});
  EXPECT_NE(std::string::npos, result.out.find("\nsecond file\n")) << result.out;
}

TEST_F(KorvexStart, EnglishStaysWithoutSettingsOrWithAnUnknownName) {
  writeLanguage("deutsch.lnf", "DEU", "Deutsch", "Befehlszeile");
  EXPECT_EQ(std::string::npos, run({}).out.find("Befehlszeile")) << "no Vantro.INI: English";
  dir_.write("Vantro.INI", "[Form Storage]\r\nedtDONOTTRANSLATE_Text=Klingon\r\n");
  const RunResult result = run({});
  EXPECT_EQ(0, result.exitStatus);
  EXPECT_NE(std::string::npos, result.out.find("\nCommand Line: KORVEX"));
}

TEST_F(KorvexStart, BrokenLanguageFileEndsTheRunNamingTheFile) {
  dir_.write("broken.lnf", std::string("\x1A\0\0\0TCustomLanguageCenter File\x03\0\0", 33));
  const RunResult result = run({});
  EXPECT_EQ(1, result.exitStatus);
  EXPECT_EQ("", result.out) << "nothing is printed before the languages are loaded";
  EXPECT_NE(std::string::npos, result.err.find("broken.lnf")) << result.err;
  EXPECT_NE(std::string::npos, result.err.find("The file is not a valid language file"));
}

}  // namespace
