#include "holders/options.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace holders {
namespace {

using testing_support::TempDir;

// Makes dir the current directory for the test's lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

using Files = std::vector<std::string>;

TEST(Options, KeyTableCoversEverySettingOnce) {
  std::set<std::string> seen;
  int booleans = 0, integers = 0, strings = 0;
  for (const OptionKey& key : optionKeys()) {
    SCOPED_TRACE(std::string(key.name));
    EXPECT_TRUE(seen.insert(platform::upperCase(key.name)).second) << "duplicate key";
    EXPECT_EQ(static_cast<size_t>(key.kind), key.member.index()) << "kind and member disagree";
    booleans += key.kind == OptionKind::Boolean;
    integers += key.kind == OptionKind::Integer;
    strings += key.kind == OptionKind::String;
  }
  EXPECT_EQ(36, booleans);
  EXPECT_EQ(1, integers);
  EXPECT_EQ(15, strings);
  // The configuration utility writes [Files] right after this key.
  EXPECT_EQ("KorvexProjectScope", optionKeys()[31].name);
  EXPECT_EQ("CasesensitiveInClassInheritence", optionKeys().front().name);
  EXPECT_EQ("OutputFormat", optionKeys().back().name);
}

TEST(Options, InitialValues) {
  const Options defaults;
  for (const OptionKey& key : optionKeys()) {
    if (key.kind != OptionKind::Boolean) continue;
    SCOPED_TRACE(std::string(key.name));
    const bool off =
        key.name.starts_with("CommentsRequiredIn") || key.name == "ShowPropertyStorageMechanism";
    EXPECT_EQ(!off, defaults.*std::get<bool Options::*>(key.member));
  }
  EXPECT_EQ(2, defaults.KorvexProjectScope);
  EXPECT_EQ("", defaults.KorvexProjectName);
  EXPECT_EQ("English", defaults.Language);
  EXPECT_EQ("RTF", defaults.OutputFormat);
  EXPECT_EQ("#SAMPLE", defaults.FirstLineSample);
  EXPECT_EQ("#BITMAP:", defaults.FirstLineBitmap);
  EXPECT_EQ("!", defaults.FirstLineStart);
  EXPECT_EQ("!", defaults.FirstLineEnd);
  EXPECT_EQ("#NV", defaults.FirstLineForceInvisible);
}

TEST(Options, GuardResetsAndRestores) {
  options().KorvexProjectName = "Outer";
  {
    OptionsGuard guard;
    EXPECT_EQ("", gOptions.KorvexProjectName);
    gOptions.ShowMethodExtra = false;
  }
  EXPECT_EQ("Outer", options().KorvexProjectName);
  EXPECT_TRUE(options().ShowMethodExtra);
  options() = Options{};
}

TEST(Options, FileNameRules) {
  const std::string cwd = platform::currentDirectory();
  struct Row {
    const char* name;
    const char* programDirectory;
    std::string expected;
    const char* why;
  } rows[] = {
      {"{DIR}\\KORVEX.INI", "/opt/korvex/", "/opt/korvex\\KORVEX.INI", "trailing separator goes"},
      {"{DIR}/x/{DIR}.ini", "/p", "/p/x/{DIR}.ini", "only the first {DIR} is replaced"},
      {"{DIR}KORVEX.INI", "/p/", "/pKORVEX.INI", "nothing is added between"},
      {"{dir}\\K.INI", "/p/", "{dir}\\K.INI", "the marker is case sensitive"},
      {"KORVEX.INI", "/p/", cwd + "/KORVEX.INI", "a bare name is in the current directory"},
      {"..\\cfg\\my.ini", "/p/", "..\\cfg\\my.ini", "a directory part is used unchanged"},
      {"/etc/my.ini", "/p/", "/etc/my.ini", "an absolute name too"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, optionsFileName(row.name, row.programDirectory));
  }
}

// Three configuration files as one run reads them: the program directory's,
// the current directory's, and the /i file.
class ReadOptionsTest : public testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.path() + "/Program/";
    dir_.write("Program/Korvex.ini",
               "[Options]\r\n"
               "KorvexProjectName=FromProgram\r\n"
               "KorvexProjectScope=0\r\n"
               "CommentsRequiredInUnits=1\r\n"
               "[Files]\r\n"
               "C:\\Src\\My Unit.pas=\r\n"
               "b.pas=\r\n");
    dir_.write("Work/KORVEX.INI",
               "[options]\n"
               "korvexprojectscope=1\n"
               "CasesensitiveInUnitComment=0\n");
    dir_.write("Work/cfg/extra.ini",
               "[Options]\n"
               "KorvexProjectScope=3\n"
               "FirstLineNewComment=#NEW\n"
               "[Files]\n"
               "z.pas=\n");
  }

  void readAll(const std::string& third) {
    ReadOptions("{DIR}\\KORVEX.INI", files_, program_);
    ReadOptions("KORVEX.INI", files_, program_);
    ReadOptions(third, files_, program_);
  }

  OptionsGuard guard_;
  TempDir dir_;
  std::string program_;
  Files files_{"stale"};
};

TEST_F(ReadOptionsTest, LaterFilesOverrideOnlyTheKeysTheyHold) {
  CurrentDirectory work(dir_.path() + "/Work");
  readAll("cfg\\EXTRA.INI");
  EXPECT_EQ("FromProgram", gOptions.KorvexProjectName);  // first file only
  EXPECT_TRUE(gOptions.CommentsRequiredInUnits);         // first file only
  EXPECT_FALSE(gOptions.CasesensitiveInUnitComment);     // second file only
  EXPECT_EQ(3, gOptions.KorvexProjectScope);             // all three, last wins
  EXPECT_EQ("#NEW", gOptions.FirstLineNewComment);       // third file only
  EXPECT_EQ("#K", gOptions.FirstLineKeepOldComment);     // none: initial value
  EXPECT_EQ(Files{"z.pas"}, files_);
}

TEST_F(ReadOptionsTest, FilesComeFromTheLastFileThatExists) {
  CurrentDirectory work(dir_.path() + "/Work");
  ReadOptions("{DIR}\\KORVEX.INI", files_, program_);
  EXPECT_EQ(Files({"C:\\Src\\My Unit.pas", "b.pas"}), files_);
  // The current directory's file has no [Files]: the list ends up empty.
  readAll("cfg/missing.ini");
  EXPECT_TRUE(files_.empty());
  EXPECT_EQ(1, gOptions.KorvexProjectScope);
}

TEST_F(ReadOptionsTest, MissingFileChangesNothing) {
  ReadOptions(dir_.path() + "/nowhere/KORVEX.INI", files_, program_);
  ReadOptions("{DIR}\\other.ini", files_, program_);
  EXPECT_EQ(Files{"stale"}, files_);
  EXPECT_EQ(2, gOptions.KorvexProjectScope);
  EXPECT_EQ("", gOptions.KorvexProjectName);
}

TEST_F(ReadOptionsTest, MalformedNumbersKeepThePreviousValue) {
  const std::string path = dir_.write("bad.ini",
                                      "[Options]\n"
                                      "KorvexProjectScope=3x\n"
                                      "CommentsRequiredInTypes=yes\n"
                                      "LinkSearchInRecords=\n"
                                      "ShowMethodExtra=0\n"
                                      "ShowInheritedEvents=-1\n"
                                      "FirstLineStart=  '!!'  \n"
                                      "Language=\n");
  gOptions.KorvexProjectScope = 1;
  gOptions.CommentsRequiredInTypes = true;
  gOptions.ShowInheritedEvents = false;
  ReadOptions(path, files_, program_);
  EXPECT_EQ(1, gOptions.KorvexProjectScope);
  EXPECT_TRUE(gOptions.CommentsRequiredInTypes);
  EXPECT_TRUE(gOptions.LinkSearchInRecords);
  EXPECT_FALSE(gOptions.ShowMethodExtra);
  EXPECT_TRUE(gOptions.ShowInheritedEvents);  // any whole number but 0 is true
  EXPECT_EQ("!!", gOptions.FirstLineStart);   // strings as the file holds them
  EXPECT_EQ("", gOptions.Language);           // present but empty is still a value
  EXPECT_TRUE(files_.empty());                // no [Files] section
}

TEST_F(ReadOptionsTest, NamesAreFoundIgnoringCase) {
  dir_.write("Work/Sub/mixed.ini", "[Options]\nKorvexProjectName=Mixed\n");
  CurrentDirectory work(dir_.path() + "/Work");
  ReadOptions("SUB\\MIXED.INI", files_, program_);  // switch values arrive upper-cased
  EXPECT_EQ("Mixed", gOptions.KorvexProjectName);
  ReadOptions("{DIR}/KORVEX.INI", files_, dir_.path() + "/PROGRAM");
  EXPECT_EQ("FromProgram", gOptions.KorvexProjectName);
}

TEST_F(ReadOptionsTest, PlainCallReplacesDirWithTheProgramDirectory) {
  // A file of a name no other test uses, beside the test program.
  const std::string name = "options-test-" + std::to_string(::getpid()) + ".ini";
  const std::string path = platform::programDirectory() + name;
  testing_support::writeBytes(path, "[Options]\nKorvexProjectName=Beside\n");
  ReadOptions("{DIR}\\" + name, files_);
  std::filesystem::remove(path);
  EXPECT_EQ("Beside", gOptions.KorvexProjectName);
}

TEST(Options, HelpFormatNames) {
  struct Row {
    const char* text;
    std::optional<HelpFormat> format;
    const char* why;
  };
  const Row rows[] = {
      {"RTF", HelpFormat::Rtf, "the default, spelled as written"},
      {"", HelpFormat::Rtf, "an empty value is taken as absent"},
      {"html", HelpFormat::Html, "switch values and hand-edited files may use any capitals"},
      {"HTML", HelpFormat::Html, "as the switch delivers it"},
      {"PDF", std::nullopt, "an unknown format is not quietly taken for RTF"},
      {"HTML5", std::nullopt, "a longer word is not a prefix match"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.format, ParseHelpFormat(row.text));
  }
}

}  // namespace
}  // namespace holders
