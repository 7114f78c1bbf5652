// Whole-program tests of how korvex's switches and configuration files decide
// what a run reads and writes: scope, defines, units, the Files list, the
// output name, the help-text language, and names that arrive upper-cased.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/korvex_sandbox.h"
#include "tests/e2e/sample_units.h"

namespace {

using testing_support::KorvexSandbox;
using testing_support::linesStartingWith;
using testing_support::RunResult;
using Strings = std::vector<std::string>;

std::string options(const std::string& keys) {
  return "[Options]\r\n" + keys;
}

class KorvexSwitches : public ::testing::Test {
 protected:
  KorvexSwitches() {
    sandbox_.writeWork("One.pas", testing_support::kUnitOne);
    sandbox_.writeWork("Two.pas", testing_support::kUnitTwo);
    sandbox_.writeWork("Extra.inc", testing_support::kIncludeExtra);
  }

  // Runs korvex after removing the help project files of earlier runs.
  RunResult run(const Strings& arguments) {
    for (const std::string& name : outputFiles())
      std::filesystem::remove(sandbox_.workDir() + "/" + name);
    RunResult result = sandbox_.run(arguments);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ("", result.err);
    return result;
  }

  // What follows prefix on the matching lines of a work file, sorted.
  Strings suffixes(const std::string& file, const std::string& prefix) {
    if (!sandbox_.workFileExists(file)) return {"(no " + file + ")"};
    Strings found = linesStartingWith(sandbox_.readWork(file), prefix);
    for (std::string& line : found) line.erase(0, prefix.size());
    std::sort(found.begin(), found.end());
    return found;
  }

  // Options for KORVEX.INI in the program and work directories and for
  // my.ini in the work directory; null leaves a file empty.
  void writeConfiguration(const char* programKeys, const char* workKeys, const char* extraKeys) {
    sandbox_.writeProgram("KORVEX.INI", programKeys ? options(programKeys) : "");
    sandbox_.writeWork("KORVEX.INI", workKeys ? options(workKeys) : "");
    sandbox_.writeWork("my.ini", extraKeys ? options(extraKeys) : "");
  }

  // The contents entries of a work file that jump to a kind of topic
  // (marker "=Unit_", "=Method_", ...), in file order, without the level.
  Strings contentsEntries(const std::string& file, const std::string& marker) {
    Strings found = linesStartingWith(sandbox_.readWork(file), "2 ");
    std::erase_if(
        found, [&](const std::string& entry) { return entry.find(marker) == std::string::npos; });
    for (std::string& entry : found) entry.erase(0, 2);
    return found;
  }

  // The help project files that a run wrote into the work directory.
  Strings outputFiles() {
    Strings found;
    for (const std::string& name : sandbox_.workFiles()) {
      if (name.ends_with(".RTF") || name.ends_with(".HPJ") || name.ends_with(".CNT"))
        found.push_back(name);
    }
    return found;
  }

  KorvexSandbox sandbox_;
};

TEST_F(KorvexSwitches, ScopeIsTheLastOfPublicProjectScopeAndSwitch) {
  struct Case {
    const char* why;
    const char* programIni;
    const char* workIni;
    const char* extraIni;
    Strings arguments;
    Strings documented;
  } cases[] = {
      {"without configuration the scope is public",
       nullptr,
       nullptr,
       nullptr,
       {},
       {"PublicWork [Scope public]", "PublishedWork [Scope published]"}},
      {"the program directory's file sets the scope",
       "KorvexProjectScope=1\r\n",
       nullptr,
       nullptr,
       {},
       {"ProtectedWork [Scope protected]", "PublicWork [Scope public]",
        "PublishedWork [Scope published]"}},
      {"the current directory's file overlays it",
       "KorvexProjectScope=1\r\n",
       "KorvexProjectScope=3\r\n",
       nullptr,
       {},
       {"PublishedWork [Scope published]"}},
      {"the /i file overlays both",
       "KorvexProjectScope=1\r\n",
       "KorvexProjectScope=3\r\n",
       "KorvexProjectScope=0\r\n",
       {"/imy.ini"},
       {"PrivateWork [Scope private]", "ProtectedWork [Scope protected]",
        "PublicWork [Scope public]", "PublishedWork [Scope published]"}},
      {"a missing /i file changes nothing",
       "KorvexProjectScope=1\r\n",
       nullptr,
       nullptr,
       {"/imissing.ini"},
       {"ProtectedWork [Scope protected]", "PublicWork [Scope public]",
        "PublishedWork [Scope published]"}},
      {"/s beats every file",
       "KorvexProjectScope=1\r\n",
       "KorvexProjectScope=3\r\n",
       "KorvexProjectScope=0\r\n",
       {"/imy.ini", "/s2"},
       {"PublicWork [Scope public]", "PublishedWork [Scope published]"}},
      {"the first /s counts",
       nullptr,
       nullptr,
       nullptr,
       {"/s3", "/s0"},
       {"PublishedWork [Scope published]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    writeConfiguration(c.programIni, c.workIni, c.extraIni);
    Strings arguments{"/uone.pas", "/hout"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    run(arguments);
    EXPECT_EQ(c.documented, suffixes("OUT.RTF", "METHOD One.TThing."));
  }
}

TEST_F(KorvexSwitches, ScopeThatIsNotANumberLeavesOnlyForcedItems) {
  for (const char* scope : {"/sx", "/s12abc", "/s"}) {
    SCOPED_TRACE(scope);
    run({"/uone.pas", "/hout", scope});
    EXPECT_EQ(Strings{"One.TForced"}, suffixes("OUT.RTF", "TYPE "));
    EXPECT_EQ(Strings{"One.TForced.ForcedWork [Scope private]"}, suffixes("OUT.RTF", "METHOD "));
    EXPECT_EQ(Strings{"One=Unit_One"}, contentsEntries("OUT.CNT", "=Unit_"));
    EXPECT_EQ(Strings{"TForced=Type_One_TForced"}, contentsEntries("OUT.CNT", "=Type_"));
  }
}

TEST_F(KorvexSwitches, DefinesComeFromEverySwitchOnceEach) {
  struct Case {
    const char* why;
    Strings defines;
    Strings routines;
  } cases[] = {
      {"no define", {}, {}},
      {"one define", {"/dDEBUG"}, {"DebugOnly=Method_One_DebugOnly"}},
      {"the same define twice is one define, which {$UNDEF} removes",
       {"/dDEBUG", "/ddebug"},
       {"DebugOnly=Method_One_DebugOnly"}},
      {"every /d counts",
       {"/ddebug", "/dRelease"},
       {"DebugOnly=Method_One_DebugOnly", "ReleaseOnly=Method_One_ReleaseOnly"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Strings arguments{"/uone.pas", "/hout"};
    arguments.insert(arguments.end(), c.defines.begin(), c.defines.end());
    run(arguments);
    EXPECT_EQ(c.routines, contentsEntries("OUT.CNT", "=Method_"));
  }
}

TEST_F(KorvexSwitches, UnitsAreReadInCommandLineOrderWithTheirIncludes) {
  const RunResult result = run({"/utwo.pas", "/uone.pas", "/hout"});
  EXPECT_EQ((Strings{"Adding unit:TWO.PAS", "Adding unit:ONE.PAS"}),
            linesStartingWith(result.out, "Adding unit:"));
  EXPECT_EQ(Strings{"Adding include file:EXTRA.INC"},
            linesStartingWith(result.out, "Adding include file:"));
  EXPECT_EQ((Strings{"Two=Unit_Two", "One=Unit_One"}), contentsEntries("OUT.CNT", "=Unit_"));
  EXPECT_EQ(Strings{"TExtra"}, suffixes("OUT.RTF", "TYPE Two."));
}

TEST_F(KorvexSwitches, SpellingsThatAreNotUnitSwitchesReadNothing) {
  for (const Strings& arguments :
       {Strings{"-uone.pas"}, Strings{"/u", "one.pas"}, Strings{"one.pas"}}) {
    SCOPED_TRACE(arguments.front());
    const RunResult result = run(arguments);
    EXPECT_EQ(Strings{}, linesStartingWith(result.out, "Adding unit:"));
  }
}

TEST_F(KorvexSwitches, ConfigurationFilesOverlayInOrder) {
  sandbox_.writeProgram("EXTRA.INI", options("KorvexProjectName=dirhelp\r\n"));
  struct Case {
    const char* why;
    const char* programIni;
    const char* workIniName;
    const char* workIni;
    Strings arguments;
    Strings written;
    Strings units;
  } cases[] = {
      {"the program directory's file names the output and the files",
       "KorvexProjectName=ProgHelp\r\n[Files]\r\none.pas=\r\n",
       nullptr,
       nullptr,
       {},
       {"ProgHelp.CNT", "ProgHelp.HPJ", "ProgHelp.RTF"},
       {"One"}},
      {"a current-directory file without [Files] empties the list",
       "KorvexProjectName=ProgHelp\r\n[Files]\r\none.pas=\r\n",
       "KORVEX.INI",
       "KorvexProjectName=WorkHelp\r\n",
       {},
       {"WorkHelp.CNT", "WorkHelp.HPJ", "WorkHelp.RTF"},
       {}},
      {"the current directory's file is found whatever its case",
       "KorvexProjectName=ProgHelp\r\n",
       "korvex.ini",
       "KorvexProjectName=WorkHelp\r\n",
       {},
       {"WorkHelp.CNT", "WorkHelp.HPJ", "WorkHelp.RTF"},
       {}},
      {"the /i file replaces the list and keeps the name",
       "KorvexProjectName=ProgHelp\r\n[Files]\r\none.pas=\r\n",
       nullptr,
       nullptr,
       {"/imy.ini"},
       {"ProgHelp.CNT", "ProgHelp.HPJ", "ProgHelp.RTF"},
       {"Two"}},
      {"/u replaces the Files list",
       "KorvexProjectName=ProgHelp\r\n[Files]\r\none.pas=\r\n",
       nullptr,
       nullptr,
       {"/utwo.pas"},
       {"ProgHelp.CNT", "ProgHelp.HPJ", "ProgHelp.RTF"},
       {"Two"}},
      {"/h replaces the configured name",
       "KorvexProjectName=ProgHelp\r\n",
       nullptr,
       nullptr,
       {"/hmine"},
       {"MINE.CNT", "MINE.HPJ", "MINE.RTF"},
       {}},
      {"the first /h counts",
       nullptr,
       nullptr,
       nullptr,
       {"/hfirst", "/hsecond"},
       {"FIRST.CNT", "FIRST.HPJ", "FIRST.RTF"},
       {}},
      {"an /i name holding {DIR} is not read",
       nullptr,
       nullptr,
       nullptr,
       {"/i{DIR}/EXTRA.INI"},
       {},
       {}},
      {"without a name nothing is written", nullptr, nullptr, nullptr, {"/uone.pas"}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    sandbox_.writeProgram("KORVEX.INI", c.programIni ? options(c.programIni) : "");
    if (c.workIniName) sandbox_.writeWork(c.workIniName, options(c.workIni));
    sandbox_.writeWork("my.ini", "[Files]\r\ntwo.pas=\r\n");
    Strings arguments = c.arguments;
    arguments.push_back("/dUNUSED");  // so that every case has parameters: a run, not the usage
    run(arguments);
    EXPECT_EQ(c.written, outputFiles());
    if (!c.written.empty()) {
      Strings units = contentsEntries(c.written.front(), "=Unit_");
      for (std::string& unit : units) unit.erase(unit.find('='));
      EXPECT_EQ(c.units, units);
    }
    for (const std::string& name : sandbox_.workFiles()) {
      if (name != "One.pas" && name != "Two.pas" && name != "Extra.inc")
        std::filesystem::remove(sandbox_.workDir() + "/" + name);
    }
  }
}

TEST_F(KorvexSwitches, HelpLanguageComesFromTheDefaultFilesOrTheSwitch) {
  sandbox_.writeHelpLanguage("Testish.lnf", "TST", "Testish", "T-");
  sandbox_.writeHelpLanguage("Other.lnf", "OTH", "Other", "O-");
  struct Case {
    const char* why;
    const char* programIni;
    const char* workIni;
    const char* extraIni;
    Strings arguments;
    const char* prefix;
  } cases[] = {
      {"built-in English by default", nullptr, nullptr, nullptr, {}, ""},
      {"the program directory's Language key", "Language=Testish\r\n", nullptr, nullptr, {}, "T-"},
      {"the current directory's Language key", nullptr, "Language=Testish\r\n", nullptr, {}, "T-"},
      {"a Language key in the /i file is read too late",
       nullptr,
       nullptr,
       "Language=Testish\r\n",
       {"/imy.ini"},
       ""},
      {"/l names the file in capitals", nullptr, nullptr, nullptr, {"/ltestish"}, "T-"},
      {"/l replaces the configured language",
       "Language=Testish\r\n",
       nullptr,
       nullptr,
       {"/lother"},
       "O-"},
      {"/l naming no file has no effect",
       "Language=Testish\r\n",
       nullptr,
       nullptr,
       {"/lklingon"},
       "T-"},
      {"a Language key naming no file leaves English",
       "Language=Klingon\r\n",
       nullptr,
       nullptr,
       {},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    writeConfiguration(c.programIni, c.workIni, c.extraIni);
    Strings arguments{"/hout"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    run(arguments);
    const std::string p = c.prefix;
    EXPECT_EQ(Strings{":Title " + p + "Help File Contents"},
              linesStartingWith(sandbox_.readWork("OUT.CNT"), ":Title"));
    EXPECT_EQ(Strings{"CONTENTS " + p + "Contents / " + p + "Units"},
              linesStartingWith(sandbox_.readWork("OUT.RTF"), "CONTENTS"));
    EXPECT_EQ(Strings{"members=\"" + p + "Properties, " + p + "Methods, and " + p + "Events\""},
              linesStartingWith(sandbox_.readWork("OUT.HPJ"), "members="));
  }
}

TEST_F(KorvexSwitches, UpperCasedNamesFindTheirFiles) {
  sandbox_.writeWork("Sources/One.pas", testing_support::kUnitOne);
  sandbox_.writeWork("Sources/Two.pas", testing_support::kUnitTwo);
  sandbox_.writeWork("Sources/Extra.inc", testing_support::kIncludeExtra);
  sandbox_.writeWork("Cfg/My.ini", options("KorvexProjectScope=0\r\n"));
  sandbox_.writeWork("Out/keep.txt", "");
  const RunResult result = run(
      {"/usources/one.pas", "/usources/two.pas", "/icfg/my.ini", "/hout/help", "/oout/log.txt"});
  EXPECT_EQ(Strings{}, linesStartingWith(result.out, "Adding")) << "progress goes to LOG.TXT";
  const std::string log = sandbox_.readWork("Out/LOG.TXT");
  EXPECT_EQ((Strings{"Adding unit:SOURCES/ONE.PAS", "Adding unit:SOURCES/TWO.PAS"}),
            linesStartingWith(log, "Adding unit:"));
  EXPECT_EQ(Strings{"Adding include file:SOURCES/EXTRA.INC"},
            linesStartingWith(log, "Adding include file:"));
  EXPECT_EQ(4u, suffixes("Out/HELP.RTF", "METHOD One.TThing.").size())
      << "My.ini (scope 0) was read";
  EXPECT_EQ(Strings{"TExtra"}, suffixes("Out/HELP.RTF", "TYPE Two."));
  EXPECT_TRUE(sandbox_.workFileExists("Out/HELP.HPJ"));
  EXPECT_TRUE(sandbox_.workFileExists("Out/HELP.CNT"));
}

}  // namespace
