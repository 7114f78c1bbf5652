// The project: defines, units, lookups, and the three files of the build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>

#include "holders/test_project.h"
#include "lang/bldlang.h"
#include "platform/files.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::Model;
using testing::RecordingProject;
using testing_support::readBytes;
using testing_support::TempDir;

std::vector<std::string> fileLines(const std::string& path) {
  return platform::splitLines(readBytes(path));
}

TEST(Defines, AreUpperCaseAndHeldOnce) {
  Model m;
  m.project.AddDefine("debug");
  m.project.AddDefine("DEBUG");
  m.project.AddDefine("Trace");
  m.project.RemoveDefine("absent");
  EXPECT_EQ(m.project.Defines, (std::vector<std::string>{"DEBUG", "TRACE"}));
  m.project.RemoveDefine("Debug");
  EXPECT_FALSE(m.project.IsDefined("debug"));
  EXPECT_TRUE(m.project.IsDefined("trace"));
}

TEST(Defines, EachUnitIsReadOnTheDefinesAsTheyStandThen) {
  // A unit's own changes count from where they stand, the last one lasting;
  // the next unit starts from what the units before it and the caller left.
  const std::string changing =
      "unit U; interface const\n"
      "{$IFDEF A} HasA = 1; {$ENDIF}\n"
      "{$IFDEF B} HadB = 1; {$ENDIF}\n"
      "{$DEFINE B} {$UNDEF B} {$IFDEF B} KeptB = 1; {$ENDIF}\n"
      "{$DEFINE B} {$UNDEF A}\n"
      "implementation end.\n";
  const std::string asking =
      "unit U; interface const {$IFDEF A} HasA = 1; {$ENDIF} implementation end.\n";
  Model m;
  m.project.BuildThreads = 1;
  const auto has = [&m](int unit, std::string_view name) {
    return m.project.UnitAt(unit)->Constants.find(name, false) != nullptr;
  };
  m.project.AddUnitTexts({{"U0", changing, {}}, {"U1", changing, {}}});
  m.project.AddUnitText("U2", asking, {});
  m.project.Defines.push_back("A");  // changed by the caller between units
  m.project.AddUnitText("U3", asking, {});
  EXPECT_FALSE(has(0, "HadB"));
  EXPECT_FALSE(has(0, "KeptB"));
  EXPECT_TRUE(has(1, "HadB"));
  EXPECT_FALSE(has(1, "KeptB"));
  EXPECT_FALSE(has(2, "HasA"));
  EXPECT_TRUE(has(3, "HasA"));
  EXPECT_EQ(m.project.Defines, (std::vector<std::string>{"B", "A"}));
}

TEST(AddUnit, ReadsAFileOrReturnsNothingSilently) {
  TempDir dir;
  Model m;
  const std::string path = dir.write("src/Shapes.pas", "unit Shapes; interface const A = 1;");
  EXPECT_EQ(m.project.AddUnit(dir.file("src/missing.pas")), nullptr);
  EXPECT_TRUE(m.project.messages.empty());
  THUnit* first = m.project.AddUnit(dir.path() + "/SRC/SHAPES.PAS");
  THUnit* second = m.project.AddUnit(path);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(m.project.UnitCount(), 2) << "a file added twice gives two entries";
  EXPECT_EQ(m.project.Units.at(0).name, "SHAPES") << "the entry is named after the file";
  EXPECT_EQ(first->UnitName, "Shapes") << "the unit's own name replaces it";
  EXPECT_EQ(m.project.UnitDirectories,
            (std::vector<std::string>{dir.path() + "/SRC/", dir.path() + "/src/"}));
  EXPECT_EQ(m.project.messagesAt(0).front(), "Adding unit:" + dir.path() + "/SRC/SHAPES.PAS");
}

TEST(ProjectLookup, UnitsByNameFirstThenDeclarationsInUnitOrder) {
  Model m;
  THUnit& one = m.unit("unit One; interface const Two = 1; Shared = 1;", "One");
  THUnit& two = m.unit("unit Two; interface type Shared = Byte; TOnly = Byte;", "Two");
  EXPECT_EQ(m.project.FindItem("two", false), &two) << "a unit of that name first";
  EXPECT_EQ(m.project.FindItem("Shared", true), one.Constants.find("Shared", true));
  EXPECT_EQ(m.project.FindType("Shared", true), two.FindType("Shared", true));
  EXPECT_EQ(m.project.FindType("tonly", true), nullptr);
  EXPECT_EQ(m.project.FindType("tonly", false), two.FindType("TOnly", true));
  m.unit("unit Three; interface const TOnly = 3;", "Three");
  EXPECT_EQ(m.project.FindItem("TOnly", true), two.FindType("TOnly", true))
      << "the index follows units added later";
  THUnit& shared = m.unit("unit Shared; interface var OnlyHere: Byte;", "Shared");
  EXPECT_EQ(m.project.FindItem("shared", false), &shared)
      << "a unit added later still comes before earlier units' declarations";
  EXPECT_EQ(m.project.FindItem("Shared", true), &shared);
  EXPECT_EQ(m.project.FindItem("OnlyHere", true), shared.Variables.find("OnlyHere", true));
}

TEST(ProjectLookup, RepeatedLookupsAnswerAsTheIndexStandsNow) {
  // Lookups are remembered per thread; what is remembered must never outlive
  // a change to the index, nor pass from one project to another.
  Model first;
  Model second;
  THUnit& one = first.unit("unit One; interface const Limit = 1;", "One");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(first.project.FindItem("Later", false), nullptr);
    EXPECT_EQ(first.project.FindItem("LIMIT", true), nullptr) << "an exact lookup misses";
    EXPECT_EQ(first.project.FindItem("LIMIT", false), one.Constants.find("Limit", true));
    EXPECT_EQ(second.project.FindItem("LIMIT", false), nullptr) << "another project";
  }
  THUnit& two = first.unit("unit Two; interface var Later: Byte;", "Two");
  EXPECT_EQ(first.project.FindItem("Later", false), two.Variables.find("Later", true));
  const std::string longName(200, 'L');
  first.unit("unit Three; interface const " + longName + " = 3;", "Three");
  EXPECT_NE(first.project.FindItem(longName, true), nullptr);
  EXPECT_NE(first.project.FindItem(longName, true), nullptr);
}

class HelpBuild : public ::testing::Test {
 protected:
  std::string outputBase() { return out.path() + "/OUT/MYHELP"; }
  void build() {
    std::filesystem::create_directories(out.path() + "/OUT");
    m.project.Build(outputBase() + ".xyz");
  }
  std::vector<std::string> rtf() { return fileLines(outputBase() + ".RTF"); }
  std::vector<std::string> cnt() { return fileLines(outputBase() + ".CNT"); }

  TempDir out;
  Model m;
};

TEST_F(HelpBuild, LookupsStillWorkAfterABuildAndAfterUnitsAddedSinceThen) {
  THUnit& one = m.unit("unit One; interface const Limit = 1;", "One");
  build();
  EXPECT_EQ(m.project.FindItem("limit", false), one.Constants.find("Limit", true));
  THUnit& two = m.unit("unit Two; interface type TThing = Byte;", "Two");
  build();
  m.unit("unit Three; interface var Count: Byte;", "Three");
  EXPECT_EQ(m.project.FindType("TThing", true), two.FindType("TThing", true));
  EXPECT_NE(m.project.FindItem("Count", true), nullptr);
  EXPECT_EQ(m.project.FindItem("Three", true), m.project.UnitAt(2));
}

TEST_F(HelpBuild, AnEmptyProjectStillWritesAllThreeFiles) {
  build();
  EXPECT_EQ(rtf(),
            (std::vector<std::string>{"{\\rtf1 HEADER", "CONTENTS Contents Units", "", "}"}));
  EXPECT_EQ(fileLines(outputBase() + ".HPJ"),
            (std::vector<std::string>{"[OPTIONS]", "TITLE=MYHELP.HLP", "[FILES]", "MYHELP.RTF",
                                      "[WINDOWS]", "aux=\"Properties, Methods, and Events\""}));
  EXPECT_EQ(cnt(), (std::vector<std::string>{":Base MYHELP.HLP>main", ":Title Help File Contents",
                                             "1 Overview=Contents", "1 Units", "1 Types",
                                             "1 Methods", "1 Variables", "1 Constants"}));
  EXPECT_EQ(readBytes(outputBase() + ".CNT").substr(0, 23), ":Base MYHELP.HLP>main\r\n");
  EXPECT_EQ(m.project.messagesAt(0),
            (std::vector<std::string>{"Build to file:" + outputBase() + ".RTF",
                                      "Build to file:" + outputBase() + ".HPJ",
                                      "Build to file:" + outputBase() + ".CNT"}));
}

TEST_F(HelpBuild, ContentsEntriesInterleaveUnitsAndLeaveOutUndocumentedOnes) {
  m.unit("unit Beta; interface type TZed = Byte; TAlpha = Byte; procedure Run; var Count: Byte;",
         "Beta");
  m.unit("{! #NV !} unit Hidden; interface type THidden = Byte;", "Hidden");
  m.unit("unit Alpha; interface type TMid = Byte; {! #NV !} TNot = Byte; const Max = 1;", "Alpha");
  build();
  EXPECT_EQ(cnt(), (std::vector<std::string>{
                       ":Base MYHELP.HLP>main", ":Title Help File Contents", "1 Overview=Contents",
                       "1 Units", "2 Beta=Unit_Beta", "2 Alpha=Unit_Alpha", "1 Types",
                       "2 TAlpha=Type_Beta_TAlpha", "2 TMid=Type_Alpha_TMid",
                       "2 TZed=Type_Beta_TZed", "1 Methods", "2 Run=Method_Beta_Run", "1 Variables",
                       "2 Count=Variable_Beta_Count", "1 Constants", "2 Max=Constant_Alpha_Max"}));
  const std::vector<std::string> lines = rtf();
  EXPECT_EQ(lines[2], "UJ Beta");
  EXPECT_EQ(lines[3], "UJ Alpha");
  for (const std::string& line : lines) EXPECT_EQ(line.find("Hidden"), std::string::npos) << line;
  EXPECT_EQ(lines.back(), "}");
}

TEST_F(HelpBuild, AUnitAddedTwiceGetsTwoTopicSetsAndTwoEntries) {
  TempDir src;
  const std::string path = src.write("Dup.pas", "unit Dup; interface const One = 1;");
  m.project.AddUnit(path);
  m.project.AddUnit(path);
  build();
  int unitPages = 0;
  for (const std::string& line : rtf()) unitPages += line.starts_with("UNIT Dup") ? 1 : 0;
  EXPECT_EQ(unitPages, 2);
  const std::vector<std::string> lines = cnt();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "2 Dup=Unit_Dup"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "2 One=Constant_Dup_One"), 2);
}

TEST_F(HelpBuild, AnOutputFileThatCannotBeWrittenEndsTheBuild) {
  EXPECT_THROW(m.project.Build(out.path() + "/no/such/dir/HELP.RTF"), platform::FileError);
}

TEST(HelpLanguage, ALanguageFileBesideTheProgramReplacesTheBuiltInTexts) {
  TempDir program;
  std::filesystem::copy(testing::pagesDirectory() + "Template", program.path() + "/Template");
  {
    lang::TCustomLanguageCenter german;
    lang::bldlang::LoadENG(german);
    lang::TLanguageSet& deu = german.AddLanguage("DEU", "Deutsch");
    for (int i = 0; i < german.StringCount(); ++i) deu.SetString(i, "DE" + std::to_string(i));
    german.SaveToFile(&deu, program.path() + "/Template/Deutsch.lnf", 7);
  }
  OptionsGuard guard;
  options().Language = "Deutsch";
  RecordingProject project(program.path());
  EXPECT_EQ(project.LanguageText(lang::bldlang::CNT_Title), "DE0");
  options().Language = "Missing";
  RecordingProject english(program.path());
  EXPECT_EQ(english.LanguageText(lang::bldlang::CNT_Title), "Help File Contents");
}

TEST(ProjectPages, EachProjectAndPageSetLoadsItsOwnPage) {
  // Page lookups are remembered per thread: neither another project nor a
  // switch of page set may hand back a page remembered from before.
  TempDir first;
  TempDir second;
  first.write("Template/Jump.TPF", "first\r\n");
  first.write("Template/HTML/Jump.TPF", "first html\r\n");
  second.write("Template/Jump.TPF", "second\r\n");
  const auto loaded = [](THProject& project) {
    templates::TDocumentTemplate page;
    project.LoadTemplate("Jump", page);
    return page.Text();
  };
  for (int round = 0; round < 2; ++round) {
    auto one = std::make_unique<RecordingProject>(first.path());
    EXPECT_EQ(loaded(*one), "first\r\n");
    RecordingProject two(second.path());
    EXPECT_EQ(loaded(two), "second\r\n");
    one->SetTemplateSubdirectory("HTML/");
    EXPECT_EQ(loaded(*one), "first html\r\n");
    one->SetTemplateSubdirectory("");
    EXPECT_EQ(loaded(*one), "first\r\n");
    one.reset();
    // A project made where the last one was still finds its own pages.
    RecordingProject three(second.path());
    EXPECT_EQ(loaded(three), "second\r\n");
  }
}

TEST(ProjectPages, APooledPageIsLentToOneHolderAtATimeAndComesBackFresh) {
  TempDir program;
  program.write("Template/Jump.TPF", "{##Name##}\r\n");
  RecordingProject project(program.path());
  const templates::TDocumentTemplate* lent = nullptr;
  {
    PooledPage outer;
    project.LoadTemplate("Jump", outer);
    outer.ReplaceTag("##Name##", "a value longer than the page", true);
    PooledPage inner;
    EXPECT_NE(&inner.get(), &outer.get()) << "two pages in use at once";
    lent = &outer.get();
  }
  PooledPage again;
  PooledPage other;
  EXPECT_TRUE(&again.get() == lent || &other.get() == lent) << "given back, then lent again";
  project.LoadTemplate("Jump", again);
  EXPECT_EQ(again.Document(), std::vector<std::string>{"{##Name##}"});
  // A page given back on another thread joins that thread's pool.
  std::thread([page = std::move(other)]() mutable { page.ReplaceTag("x", "y", true); }).join();
}

// A page given back keeps nothing of the project it was loaded for, which
// may be gone by the time the page is lent again.
TEST(ProjectPages, APageLentAgainOutlivesTheProjectItWasLoadedFor) {
  TempDir program;
  program.write("Template/Jump.TPF", "{##Name##}\r\n");
  {
    RecordingProject project(program.path());
    PooledPage page;
    project.LoadTemplate("Jump", page);
    page.ReplaceTag("##Name##", "value", true);
  }
  PooledPage again;
  EXPECT_TRUE(again.Document().empty());
  again.ReplaceTag("##Name##", "other", true);
  EXPECT_TRUE(again.Document().empty());
}

TEST(ProjectOptions, TheConstructorReadsTheProgramDirectorysFile) {
  TempDir program;
  program.write("korvex.ini", "[Options]\r\nShowMethodExtra=0\r\n[Files]\r\na.pas=\r\n");
  OptionsGuard guard;
  RecordingProject project(program.path());
  EXPECT_FALSE(options().ShowMethodExtra);
  EXPECT_EQ(project.Files, std::vector<std::string>{"a.pas"});
}

}  // namespace
}  // namespace holders
