// Reading units on several threads gives the units, defines, pages and
// progress lines of reading them one after another, however the units'
// conditional compilation and include files depend on the units before them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "holders/test_project.h"

namespace holders {
namespace {

using testing::RecordingProject;

constexpr int kUnits = 40;

// Declarations enough to keep a reading busy while later units are read.
std::string filler(int index, int count) {
  std::string text = "const\n";
  for (int i = 0; i < count; ++i) {
    text += "  { Filler " + std::to_string(i) + ". }\n  F" + std::to_string(index) + "_" +
            std::to_string(i) + " = " + std::to_string(i) + ";\n";
  }
  return text;
}

// What unit index declares depends on what the units before it leave: U0
// defines a symbol for good at its start and then reads for long, U9 defines
// one for its own text only, U25 takes U0's away. Every third unit includes
// SHARED.INC, which lies only in the directories of U2 and U3.
std::string unitText(int index) {
  const std::string n = std::to_string(index);
  std::string text = "unit U" + n + ";\ninterface\n";
  if (index == 0) text += "{$DEFINE LASTING}\n" + filler(0, 3000);
  if (index == 9) text += "{$DEFINE PASSING}\n" + filler(9, 500);
  if (index == 25) text += "{$UNDEF LASTING}\n";
  text += "const\n";
  text += "{$IFDEF LASTING} Lasting" + n + " = 1; {$ELSE} NotLasting" + n + " = 1; {$ENDIF}\n";
  text += "{$IFDEF PASSING} Passing" + n + " = 1; {$ENDIF}\n";
  text += "{$IFNDEF FROMCONFIG} Unconfigured" + n + " = 1; {$ENDIF}\n";
  if (index == 9) text += "{$UNDEF PASSING}\n";
  if (index % 3 == 0) text += "{$I SHARED.INC}\n";
  if (index == 30) text += "{$I U30.PAS}\n{$I MISSING.INC}\n";  // itself, then nothing
  text += "type\n  { A class of unit " + n + ". }\n  TThing" + n +
          " = class\n    procedure Run(Count: Integer);\n  end;\n"
          "implementation\nend.\n";
  return text;
}

struct Read {
  std::vector<std::string> units;
  std::vector<std::string> defines;
  std::vector<std::pair<int, std::string>> messages;
  std::string pages;
};

class ParallelReading : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kUnits; ++i) {
      const std::string directory = "d" + std::to_string(i % 4) + "/";
      files_.push_back(dir_.write(directory + "U" + std::to_string(i) + ".pas", unitText(i)));
    }
    dir_.write("d2/SHARED.INC", "const FromD2 = 2;\n");
    dir_.write("d3/SHARED.INC", "const FromD3 = 3;\n");
    files_.insert(files_.begin() + 5, dir_.file("d1/NOSUCHUNIT.pas"));
  }

  Read readWith(unsigned threads) {
    const OptionsGuard options;
    RecordingProject project;
    project.BuildThreads = threads;
    project.AddDefine("FromConfig");
    project.AddUnits(files_);
    Read read;
    for (int i = 0; i < project.UnitCount(); ++i) read.units.push_back(project.UnitAt(i)->UnitName);
    read.defines = project.Defines;
    read.messages = project.messages;
    MemoryPageSink sink;
    project.BuildTopics(sink);
    read.pages = sink.text();
    return read;
  }

  testing_support::TempDir dir_;
  std::vector<std::string> files_;
};

TEST_F(ParallelReading, GivesWhatReadingInTurnGives) {
  const Read inTurn = readWith(1);
  ASSERT_EQ(inTurn.units.size(), static_cast<size_t>(kUnits));
  // The reading in turn itself: what each unit saw.
  EXPECT_NE(inTurn.pages.find("Lasting24"), std::string::npos);
  EXPECT_NE(inTurn.pages.find("NotLasting25"), std::string::npos);
  EXPECT_NE(inTurn.pages.find("Passing9"), std::string::npos);
  EXPECT_EQ(inTurn.pages.find("Passing10"), std::string::npos);
  EXPECT_EQ(inTurn.pages.find("Unconfigured"), std::string::npos);
  EXPECT_EQ(inTurn.defines, (std::vector<std::string>{"FROMCONFIG"}));
  for (const unsigned threads : {2u, 5u}) {
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(::testing::Message() << threads << " threads, round " << round);
      const Read many = readWith(threads);
      EXPECT_EQ(inTurn.units, many.units);
      EXPECT_EQ(inTurn.defines, many.defines);
      EXPECT_EQ(inTurn.messages, many.messages);
      EXPECT_TRUE(inTurn.pages == many.pages);
    }
  }
}

TEST_F(ParallelReading, FindsIncludeFilesOnlyInTheDirectoriesOfUnitsAddedSoFar) {
  const Read read = readWith(3);
  const auto count = [&read](const std::string& text) {
    size_t found = 0;
    for (const auto& [level, line] : read.messages) found += line == text ? 1 : 0;
    return found;
  };
  // U0 comes before any unit of d2 or d3; from U3 on, d2 (of U2) holds it.
  EXPECT_EQ(1u, count("Unable to locate include file:SHARED.INC"));
  EXPECT_EQ(static_cast<size_t>(kUnits / 3),
            count("Adding include file:" + dir_.file("d2/SHARED.INC")))
      << "the first directory that holds it";
  EXPECT_EQ(1u, count("Unable to locate include file:MISSING.INC"));
  EXPECT_EQ(0u, count("Adding unit:" + dir_.file("d1/NOSUCHUNIT.pas")));
}

TEST(ParallelReadingTexts, GivesWhatReadingTheTextsInTurnGives) {
  std::vector<std::string> texts;
  for (int i = 0; i < kUnits; ++i) texts.push_back(unitText(i));
  const auto readWith = [&texts](unsigned threads) {
    const OptionsGuard options;
    RecordingProject project;
    project.BuildThreads = threads;
    std::vector<THProject::UnitText> units;
    for (size_t i = 0; i < texts.size(); ++i)
      units.push_back({"U" + std::to_string(i), texts[i], {}});
    project.AddUnitTexts(units);
    MemoryPageSink sink;
    project.BuildTopics(sink);
    return std::make_pair(project.Defines, sink.text());
  };
  const auto inTurn = readWith(1);
  EXPECT_NE(inTurn.second.find("Lasting24"), std::string::npos);
  EXPECT_TRUE(inTurn == readWith(4));
}

// A unit that includes many files is read before its place, on the defines
// the units before it leave, as soon as the first unit sharing an include
// file with it has been read: U300 defines the guard of GUARD.INC, which U540
// (120 include files) asks about. The units after U540 ask about a symbol
// U540 defines. The units from U400 to U499, read while and after U540 is,
// must not find LATE.INC in the directory of U500, which comes after them.
TEST(ParallelReadingLongUnit, IsReadEarlyAndGivesWhatReadingInTurnGives) {
  constexpr int kManyUnits = 560;
  constexpr int kLong = 540;
  testing_support::TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < kManyUnits; ++i) {
    const std::string n = std::to_string(i);
    std::string text = "unit U" + n + ";\ninterface\nconst\n  C" + n + " = " + n + ";\n";
    if (i == 300 || i > kLong) text += "{$I GUARD.INC}\n";
    if ((i >= 400 && i < 500) || i == 510) text += "{$I LATE.INC}\n";
    if (i == kLong) {
      text += "{$DEFINE FAMILY}\n{$I GUARD.INC}\n";
      for (int part = 0; part < 120; ++part) text += "{$I PART" + std::to_string(part) + ".INC}\n";
    }
    text += "{$IFDEF FAMILY} InFamily" + n + " = 1; {$ENDIF}\nimplementation\nend.\n";
    const std::string directory = i < 500 ? "d" + std::to_string(i % 4) + "/" : "late/";
    files.push_back(dir.write(directory + "U" + n + ".pas", text));
  }
  dir.write("d0/GUARD.INC", "{$IFNDEF GUARDED}{$DEFINE GUARDED} FirstGuard = 1; {$ENDIF}\n");
  dir.write("late/LATE.INC", "Late = 1;\n");
  for (int part = 0; part < 120; ++part) {
    const std::string p = std::to_string(part);
    dir.write("late/PART" + p + ".INC", "{$IFDEF GUARDED} Part" + p + " = " + p + "; {$ENDIF}\n");
  }
  const auto readWith = [&files](unsigned threads) {
    const OptionsGuard options;
    RecordingProject project;
    project.BuildThreads = threads;
    project.AddUnits(files);
    MemoryPageSink sink;
    project.BuildTopics(sink);
    return std::make_tuple(project.messages, sink.text(), project.LastReadingCounts().readEarly);
  };
  const auto [inTurnLines, inTurnPages, inTurnEarly] = readWith(1);
  EXPECT_EQ(0u, inTurnEarly);
  EXPECT_NE(inTurnPages.find("Part119"), std::string::npos);
  EXPECT_NE(inTurnPages.find("InFamily541"), std::string::npos);
  EXPECT_EQ(inTurnPages.find("InFamily539"), std::string::npos);
  const auto unable = std::make_pair(0, std::string("Unable to locate include file:LATE.INC"));
  EXPECT_EQ(100, std::count(inTurnLines.begin(), inTurnLines.end(), unable));
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    const auto [lines, pages, early] = readWith(2);
    EXPECT_EQ(1u, early);
    EXPECT_TRUE(inTurnLines == lines);
    EXPECT_TRUE(inTurnPages == pages);
  }
}

}  // namespace
}  // namespace holders
