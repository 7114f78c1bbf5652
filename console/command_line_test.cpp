#include "console/command_line.h"

#include <gtest/gtest.h>

namespace console {
namespace {

using Strings = std::vector<std::string>;

TCommandLine commandLine(Strings parameters) {
  parameters.insert(parameters.begin(), "/opt/korvex/bin/korvex");
  return TCommandLine(std::move(parameters));
}

struct FindCase {
  Strings parameters;
  std::string name;
  TSwitchKinds kinds;
  bool caseSensitive;
  int index;
  std::string value;
  const char* why;
};

TEST(CommandLine, FindSwitchAcceptsOnlyTheChosenSpellings) {
  const FindCase cases[] = {
      {{"/uX"}, "U", {}, false, -1, "", "no kinds: never found"},
      {{"-uX"}, "U", {skSlash}, false, -1, "", "a dash is not a slash"},
      {{"-uX"}, "U", {skDash}, false, 0, "X", "the dash spelling"},
      {{"/uMain.pas"}, "U", {skSlash}, false, 0, "MAIN.PAS", "values come back upper-cased"},
      {{"/Unit"}, "U", {skSlash}, false, 0, "NIT", "matching is by prefix"},
      {{"/u"}, "U", {skSlash}, false, 0, "", "a bare switch has an empty value"},
      {{"SCOPE=3"}, "S", {skEquals}, false, 0, "3", "equals needs only the name as prefix"},
      {{"S"}, "S", {skEquals}, false, -1, "", "equals needs an equals sign"},
      {{"a=b=c"}, "A", {skEquals}, false, 0, "B=C", "the value follows the first equals sign"},
      {{"XS=3"}, "S", {skEquals}, false, -1, "", "equals wants the name at the start"},
      {{"verbose"}, "VERBOSE", {skExact}, false, 0, "", "exact match has no value"},
      {{"verbosely"}, "VERBOSE", {skExact}, false, -1, "", "exact means the whole parameter"},
      {{"u", "/u1"}, "U", {skAny}, false, 0, "", "any includes exact"},
      {{"x", "-u1"}, "U", {skAny}, false, 1, "1", "any includes dash"},
      {{"U=1"}, "U", {skExact, skEquals}, false, 0, "1", "equals is tried after exact"},
      {{"/uMain.pas"}, "u", {skSlash}, true, 0, "Main.pas", "case-sensitive keeps the value"},
      {{"/uMain.pas"}, "U", {skSlash}, true, -1, "", "case-sensitive compares the letter"},
      {{"/u\xE9"}, "\xC9", {skSlash}, false, -1, "", "only the prefix after the slash counts"},
      {{"/\xE9t\xE9"}, "\xC9", {skSlash}, false, 0, "T\xC9", "accented letters upper-case"},
      {{}, "U", {skAny}, false, -1, "", "no parameters"},
  };
  for (const FindCase& row : cases) {
    SCOPED_TRACE(row.why);
    TCommandLine line = commandLine(row.parameters);
    line.SetCaseSensitive(row.caseSensitive);
    std::string value = "stale";
    EXPECT_EQ(row.index, line.FindSwitch(row.name, row.kinds, value, 0));
    EXPECT_EQ(row.value, value);
  }
}

TEST(CommandLine, FindSwitchStartsAtTheGivenIndex) {
  const TCommandLine line = commandLine({"/dA", "x", "/dB"});
  std::string value;
  EXPECT_EQ(2, line.FindSwitch("D", {skSlash}, value, 1));
  EXPECT_EQ("B", value);
  EXPECT_EQ(-1, line.FindSwitch("D", {skSlash}, value, 3));
  EXPECT_EQ(-1, line.FindSwitch("D", {skSlash}, value, 99));
  EXPECT_EQ(0, line.FindSwitch("D", {skSlash}, value, -5));
}

TEST(CommandLine, RepeatedSwitchesComeInParameterOrder) {
  const TCommandLine line = commandLine({"/dA", "/uone.pas", "/dB", "/utwo.pas"});
  EXPECT_EQ((Strings{"A", "B"}), line.SwitchValues("d", {skSlash}));
  EXPECT_EQ((Strings{"ONE.PAS", "TWO.PAS"}), line.SwitchValues("U", {skSlash}));
  EXPECT_EQ("A", line.SwitchValue("D", {skSlash}));
  EXPECT_EQ(Strings{}, line.SwitchValues("X", {skSlash}));
  EXPECT_EQ("", line.SwitchValue("X", {skSlash}));
  EXPECT_TRUE(line.HasSwitch("u", {skSlash}));
  EXPECT_FALSE(line.HasSwitch("u", {skDash}));
}

TEST(CommandLine, AParameterMatchingTwoKindsIsCountedOnce) {
  const TCommandLine line = commandLine({"/d=A"});
  EXPECT_EQ(Strings{"=A"}, line.SwitchValues("D", {skAny}));
}

struct IntegerCase {
  std::string parameter;
  int expected;
  const char* why;
};

TEST(CommandLine, SwitchAsIntegerReadsWholeNumbers) {
  const IntegerCase cases[] = {
      {"/s3", 3, "a digit"},
      {"/s+12", 12, "a plus sign"},
      {"/s-7", -7, "a minus sign"},
      {"/s007", 7, "leading zeros"},
      {"/s$1f", 31, "hex after a dollar sign (upper-cased on the way)"},
      {"/s-$10", -16, "a sign before hex"},
      {"/s$FFFFFFFF", -1, "hex is a 32-bit pattern"},
      {"/s$80000000", INT32_MIN, "the sign bit in hex"},
      {"/s2147483647", INT32_MAX, "the largest number"},
      {"/s-2147483648", INT32_MIN, "the smallest number"},
      {"/s2147483648", -1, "one past the largest"},
      {"/s-2147483649", -1, "one past the smallest"},
      {"/s99999999999999999999999", -1, "far too large, no wrap-around"},
      {"/s$100000000", -1, "hex beyond 32 bits"},
      {"/s12abc", -1, "trailing letters"},
      {"/s", -1, "an empty value"},
      {"/s-", -1, "a sign alone"},
      {"/s$", -1, "a dollar sign alone"},
      {"/s 3", -1, "a blank"},
      {"/s3 ", -1, "a trailing blank"},
      {"/s1.5", -1, "a fraction"},
      {"/s0x10", -1, "C hex notation"},
      {"/x3", -1, "the switch is absent"},
  };
  for (const IntegerCase& row : cases) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, commandLine({row.parameter}).SwitchAsInteger("S", {skSlash}));
  }
}

TEST(CommandLine, SwitchAsIntegerReadsTheFirstOccurrence) {
  EXPECT_EQ(-1, commandLine({"/sx", "/s3"}).SwitchAsInteger("S", {skSlash}));
  EXPECT_EQ(3, commandLine({"/s3", "/sx"}).SwitchAsInteger("S", {skSlash}));
}

TEST(CommandLine, CommandLineTextEndsEveryParameterWithABlank) {
  EXPECT_EQ("", commandLine({}).CommandLineText());
  EXPECT_EQ("/uA.PAS /s3 ", commandLine({"/uA.PAS", "/s3"}).CommandLineText());
}

TEST(CommandLine, ProgramPathIsNotAParameter) {
  const TCommandLine line = commandLine({"/u", "x"});
  EXPECT_EQ(2, line.ParameterCount());
  EXPECT_EQ((Strings{"/u", "x"}), line.Parameters());
  EXPECT_EQ("/opt/korvex/bin/korvex", line.ProgramPath());
  EXPECT_EQ("korvex", line.ProgramName());
  EXPECT_EQ("KORVEX.EXE", TCommandLine(Strings{"C:\\Tools\\KORVEX.EXE"}).ProgramName());
  const TCommandLine none(0, nullptr);
  EXPECT_EQ(0, none.ParameterCount());
  EXPECT_EQ("", none.ProgramPath());
}

TEST(CommandLine, ArgvIsReadLikeAList) {
  const char* argv[] = {"korvex", "/uA", "/dX"};
  const TCommandLine line(3, argv);
  EXPECT_EQ((Strings{"/uA", "/dX"}), line.Parameters());
  EXPECT_EQ("X", line.SwitchValue("d", {skSlash}));
}

TEST(CommandLine, CaseSensitiveStartsOffAndTogglesOnlyOnChange) {
  TCommandLine line = commandLine({"/uA"});
  EXPECT_FALSE(line.CaseSensitive());
  line.SetCaseSensitive(true);
  EXPECT_TRUE(line.CaseSensitive());
  EXPECT_EQ("A", line.SwitchValue("u", {skSlash}));
  EXPECT_EQ("", line.SwitchValue("U", {skSlash}));
  line.SetCaseSensitive(true);
  EXPECT_TRUE(line.CaseSensitive());
  line.SetCaseSensitive(false);
  EXPECT_EQ("A", line.SwitchValue("U", {skSlash}));
}

}  // namespace
}  // namespace console
