// Building units' pages on several threads gives the pages and progress
// lines of one thread, and a class lists its properties in name order
// whichever unit is built first.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "holders/page_writer.h"
#include "holders/test_project.h"
#include "platform/files.h"

namespace holders {
namespace {

using testing::Model;

// A unit with a class deriving from one in the next unit, so that lists read
// ancestors that are built later, plus members of every kind.
std::string unitText(int index, int count) {
  const std::string n = std::to_string(index);
  const std::string ancestor =
      index + 1 < count ? "TBase" + std::to_string(index + 1) : std::string("TObject");
  return "unit U" + n +
         ";\ninterface\n"
         "const\n  { The answer of unit " +
         n + ". }\n  Answer" + n +
         " = 42;\n"
         "type\n  { A class. See TBase" +
         n +
         ". }\n"
         "  TBase" +
         n + " = class(" + ancestor +
         ")\n"
         "  published\n"
         "    property Zeta" +
         n +
         ": Integer read FZ;\n"
         "    property Alpha" +
         n +
         ": Integer read FA;\n"
         "    procedure Run" +
         n +
         "(Count: Integer);\n"
         "  end;\n"
         "var\n  Counter" +
         n + ": TBase" + n +
         ";\n"
         "function Make" +
         n + ": TBase" + n +
         ";\n"
         "implementation\nend.\n";
}

struct Built {
  std::vector<MemoryPageSink::Page> pages;
  std::vector<std::pair<int, std::string>> messages;
};

Built buildUnits(unsigned threads, const std::vector<std::string>& texts) {
  Model model;
  model.project.BuildThreads = threads;
  for (size_t i = 0; i < texts.size(); ++i) model.unit(texts[i], "U" + std::to_string(i));
  model.project.messages.clear();
  MemoryPageSink sink;
  model.project.BuildTopics(sink);
  return Built{sink.pages(), model.project.messages};
}

Built buildWith(unsigned threads, int unitCount) {
  std::vector<std::string> texts;
  for (int i = 0; i < unitCount; ++i) texts.push_back(unitText(i, unitCount));
  return buildUnits(threads, texts);
}

void expectSamePagesAndLines(const Built& one, const Built& many) {
  ASSERT_EQ(one.pages.size(), many.pages.size());
  for (size_t i = 0; i < one.pages.size(); ++i) {
    EXPECT_EQ(one.pages[i].topic.kind, many.pages[i].topic.kind) << i;
    EXPECT_EQ(one.pages[i].topic.id, many.pages[i].topic.id) << i;
    EXPECT_EQ(one.pages[i].lines, many.pages[i].lines) << i;
  }
  EXPECT_EQ(one.messages, many.messages);
}

TEST(ParallelBuild, GivesThePagesAndLinesOfOneThread) {
  const int units = 24;
  const Built one = buildWith(1, units);
  ASSERT_GT(one.pages.size(), static_cast<size_t>(units) * 5);
  for (const unsigned threads : {2u, 5u}) {
    SCOPED_TRACE(threads);
    expectSamePagesAndLines(one, buildWith(threads, units));
  }
}

// Units of many declarations are built in pieces on several threads; a unit
// with none is one piece that both begins and finishes its page. Pieces are
// cut from all declarations, hidden ones among them: some hold none to show.
TEST(ParallelBuild, UnitsBuiltInPiecesGiveThePagesAndLinesOfOneThread) {
  std::string many = "unit Many;\ninterface\nconst\n";
  for (int i = 0; i < 100; ++i) {
    many += "  { Constant " + std::to_string(i) + ", see {@link R7}. }\n  C" + std::to_string(i) +
            " = " + std::to_string(i) + ";\n";
  }
  for (int i = 0; i < 150; ++i) {
    const bool hidden = i % 3 != 0 || (i >= 64 && i < 140);
    many += std::string(hidden ? "  {! #NV ! Hidden " : "  { Shown ") + std::to_string(i) +
            ". }\n  H" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
  }
  many += "type\n  { A class. }\n  TMany = class\n";
  for (int i = 0; i < 40; ++i) many += "    procedure M" + std::to_string(i) + ";\n";
  many += "  end;\n";
  // Bare redeclarations over an ancestor without a description take their
  // type from further up, each in a piece of its own.
  many += "  TPlain = class\n  published\n    property Caption: string read F;\n  end;\n";
  for (int i = 0; i < 40; ++i) {
    const std::string parent = i == 0 ? "TPlain" : "TLevel" + std::to_string(i - 1);
    many += "  { Level " + std::to_string(i) + ". }\n  TLevel" + std::to_string(i) + " = class(" +
            parent + ")\n  published\n    property Caption;\n  end;\n";
  }
  std::string routines = "unit Routines;\ninterface\n";
  for (int i = 0; i < 40; ++i) {
    routines += "{ Routine " + std::to_string(i) + ". }\nprocedure R" + std::to_string(i) + ";\n";
  }
  const std::vector<std::string> texts = {many, "unit Empty;\ninterface\nimplementation\nend.\n",
                                          routines, unitText(0, 1)};
  const Built one = buildUnits(1, texts);
  ASSERT_GT(one.pages.size(), 270u);
  bool typed = false;
  for (const auto& page : one.pages) {
    for (const std::string& line : page.lines)
      typed = typed || line.find("Caption: string") != std::string::npos;
  }
  EXPECT_TRUE(typed);
  for (const unsigned threads : {2u, 3u}) {
    SCOPED_TRACE(threads);
    expectSamePagesAndLines(one, buildUnits(threads, texts));
  }
}

TEST(ParallelBuild, InheritedPropertiesAreListedInNameOrderWhenTheAncestorIsBuiltLater) {
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    const Built built = buildWith(threads, 3);
    bool found = false;
    for (const MemoryPageSink::Page& page : built.pages) {
      if (page.topic.kind != TopicKind::PropertiesList ||
          page.topic.id.find("TBase0") == std::string::npos) {
        continue;
      }
      found = true;
      std::string text;
      for (const std::string& line : page.lines) text += line + "\n";
      // TBase1 lives in the unit built after TBase0's.
      const size_t alpha = text.find("Alpha1");
      const size_t zeta = text.find("Zeta1");
      ASSERT_NE(std::string::npos, alpha) << text;
      ASSERT_NE(std::string::npos, zeta) << text;
      EXPECT_LT(alpha, zeta) << text;
    }
    EXPECT_TRUE(found);
  }
}

// A large section of the contents is sorted in two runs on two threads and
// merged as it goes out: the lines are those of one sort, with names that
// share their first bytes (ordered past the sort keys) and names declared in
// several units (kept in the order of the units). Two large sections: one is
// written while the next is made.
TEST(ParallelBuild, LargeContentsSectionsComeOutAsOneThreadSortsThem) {
  std::vector<std::string> texts;
  for (int unit = 0; unit < 3; ++unit) {
    std::string text = "unit U" + std::to_string(unit) + ";\ninterface\nvar\n";
    for (int i = 0; i < 8000; ++i) {
      text += "  { Variable. }\n  Var" + std::to_string((i * 7919) % 8000) + ": Integer;\n";
    }
    text += "const\n";
    for (int i = 0; i < 8000; ++i) {
      // Descending numbers, so each run holds work for the sort; every
      // tenth name is in all three units, in another case in each.
      const int number = i % 10 == 0 ? 8000 - i : 8000 * (unit + 1) - i;
      const std::string name =
          (unit == 1 ? "constantName" : "CONSTANTname") + std::to_string(number);
      text += "  { Constant. }\n  " + name + " = " + std::to_string(i) + ";\n";
    }
    texts.push_back(text + "implementation\nend.\n");
  }
  const auto contents = [&texts](unsigned threads) {
    Model model;
    model.project.BuildThreads = threads;
    for (size_t i = 0; i < texts.size(); ++i) model.unit(texts[i], "U" + std::to_string(i));
    return model.project.ContentsLines("X.HPJ");
  };
  const std::vector<std::string> one = contents(1);
  ASSERT_GT(one.size(), 48000u);
  EXPECT_EQ(one, contents(2));
  // Sorted by name without regard to case; a name in several units goes
  // out in the units' order.
  const auto named = [&one](std::string_view line) {
    return std::find(one.begin(), one.end(), line) - one.begin();
  };
  EXPECT_LT(named("2 CONSTANTname1099=Constant_U0_CONSTANTname1099"),
            named("2 CONSTANTname110=Constant_U0_CONSTANTname110"));
  EXPECT_LT(named("2 CONSTANTname7990=Constant_U0_CONSTANTname7990"),
            named("2 constantName7990=Constant_U1_constantName7990"));
  EXPECT_LT(named("2 constantName7990=Constant_U1_constantName7990"),
            named("2 CONSTANTname7990=Constant_U2_CONSTANTname7990"));
}

// The jump lists and the contents take which declarations are documented
// from what the build's pieces found. A second build of the same model, after
// an option hides the constants without a description, lists what the second
// build shows: what a fresh project with that option writes.
TEST(ParallelBuild, ASecondBuildListsWhatItDocumentsAfterAnOptionChange) {
  std::string text = "unit Marked;\ninterface\nconst\n";
  for (int i = 0; i < 150; ++i) {
    if (i % 3 != 0) text += "  { Constant " + std::to_string(i) + ". }\n";
    text += "  C" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
  }
  text += "implementation\nend.\n";
  const auto build = [&text](Model& model, unsigned threads, const std::string& path) {
    model.project.BuildThreads = threads;
    model.project.Build(path);
    const std::string cnt = testing_support::readBytes(platform::changeFileExt(path, ".CNT"));
    return std::make_pair(testing_support::readBytes(path), cnt);
  };
  testing_support::TempDir out;
  for (const unsigned threads : {1u, 2u}) {
    SCOPED_TRACE(threads);
    Model twice;
    twice.unit(text, "Marked");
    const auto first = build(twice, threads, out.path() + "/HELP.RTF");
    options().CommentsRequiredInConstants = true;
    const auto second = build(twice, threads, out.path() + "/HELP.RTF");
    Model fresh;
    options().CommentsRequiredInConstants = true;
    fresh.unit(text, "Marked");
    const auto expected = build(fresh, threads, out.path() + "/HELP.RTF");
    EXPECT_NE(first.second, expected.second);
    EXPECT_NE(first.second.find("=Constant_Marked_C0"), std::string::npos);
    EXPECT_EQ(expected.second.find("=Constant_Marked_C0"), std::string::npos);
    // Nor is it in the unit page's jump list.
    EXPECT_NE(first.first.find("CJ Marked.C0\r"), std::string::npos);
    EXPECT_EQ(expected.first.find("CJ Marked.C0\r"), std::string::npos);
    EXPECT_EQ(second.second, expected.second);
    EXPECT_EQ(second.first.size(), expected.first.size());
    EXPECT_TRUE(second.first == expected.first);
  }
}

TEST(PageBuffer, ReplaysEveryPageLineForLine) {
  PageBuffer buffer;
  const std::vector<std::string> big(3, std::string(300 * 1024, 'x'));
  buffer.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"first", "a\r\nb", ""});
  buffer.writePage(TopicRef{TopicKind::Header, {}}, {});
  buffer.writePage(TopicRef{TopicKind::Type, "Type_A_T"}, big);
  buffer.writePage(TopicRef{TopicKind::Constant, "Constant_A_C"}, {"last"});

  MemoryPageSink replayed;
  buffer.replayTo(replayed);
  ASSERT_EQ(4u, replayed.pages().size());
  EXPECT_EQ("Unit_A", replayed.pages()[0].topic.id);
  EXPECT_EQ((std::vector<std::string>{"first", "a\r\nb", ""}), replayed.pages()[0].lines);
  EXPECT_TRUE(replayed.pages()[1].lines.empty());
  EXPECT_EQ(big, replayed.pages()[2].lines);
  EXPECT_EQ(TopicKind::Constant, replayed.pages()[3].topic.kind);
  EXPECT_EQ(std::vector<std::string>{"last"}, replayed.pages()[3].lines);
}

TEST(PageBuffer, KeepsAFilledPageAsOneTextForAnOutputThatTakesTexts) {
  templates::TDocumentTemplate page;
  page.SetTemplate({"{##Name##}", "", "end"});
  page.ReplaceTag("##Name##", "a\r\nb", true);
  const testing_support::TempDir out;
  const std::string path = out.file("page.rtf");
  {
    FilePageWriter file(path);
    PageBuffer buffer(file.takesPageText());
    buffer.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"first"});
    buffer.writeFilledPage(TopicRef{TopicKind::Type, "Type_A_T"}, page);
    buffer.replayTo(file);
    file.finish("}");
  }
  EXPECT_EQ("first\r\n{a\r\nb}\r\n\r\nend\r\n}\r\n", platform::readFile(path));

  // A buffer for an output that wants lines keeps the page's lines; emptied,
  // it keeps only what comes after.
  PageBuffer lines;
  lines.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"gone"});
  lines.clear();
  lines.writeFilledPage(TopicRef{TopicKind::Type, "Type_A_T"}, page);
  MemoryPageSink replayed;
  lines.replayTo(replayed);
  ASSERT_EQ(1u, replayed.pages().size());
  EXPECT_EQ(page.Document(), replayed.pages()[0].lines);
}

// Pages kept as text, small and larger than a block, mixed with pages given
// line by line, reach the file as the same bytes as pages written straight;
// so do they when one buffer is emptied and used again for each round.
TEST(PageBuffer, KeptTextGivesTheBytesOfPagesWrittenStraight) {
  templates::TDocumentTemplate page;
  page.SetTemplate({"{##Name##}", "tail"});
  page.ReplaceTag("##Name##", std::string(700 * 1024, 'n'), true);
  templates::TDocumentTemplate small;
  small.SetTemplate({"small"});
  const std::vector<std::string> lines = {"one", std::string(90 * 1024, 'l'), ""};
  const auto writeRound = [&](PageSink& sink) {
    sink.writeFilledPage(TopicRef{TopicKind::Type, "Type_A_T"}, small);
    sink.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, lines);
    sink.writeFilledPage(TopicRef{TopicKind::Type, "Type_A_U"}, page);
  };
  const auto writeAll = [&](PageSink& sink) {
    for (int round = 0; round < 3; ++round) writeRound(sink);
  };
  const testing_support::TempDir out;
  {
    FilePageWriter straight(out.file("straight.rtf"));
    writeAll(straight);
    straight.finish("}");
  }
  {
    FilePageWriter file(out.file("kept.rtf"));
    PageBuffer buffer(file.takesPageText());
    writeAll(buffer);
    EXPECT_GT(buffer.bytes(), 2u * 1024 * 1024);
    buffer.replayTo(file);
    file.finish("}");
  }
  {
    FilePageWriter file(out.file("reused.rtf"));
    PageBuffer buffer(file.takesPageText());
    for (int round = 0; round < 3; ++round) {
      writeRound(buffer);
      buffer.replayTo(file);
      buffer.clear();
      EXPECT_EQ(0u, buffer.bytes());
    }
    buffer.replayTo(file);  // emptied: adds nothing
    file.finish("}");
  }
  const std::string expected = platform::readFile(out.file("straight.rtf"));
  EXPECT_EQ(3 * (7 + 5 + 90 * 1024 + 2 + 2 + 700 * 1024 + 4 + 6) + 3, expected.size());
  EXPECT_EQ(expected, platform::readFile(out.file("kept.rtf")));
  EXPECT_EQ(expected, platform::readFile(out.file("reused.rtf")));
}

// A build that fails leaves the pages written before the failure in the
// file, as it would on one thread.
TEST(FilePageWriter, AnUnfinishedFileKeepsThePagesWritten) {
  const testing_support::TempDir out;
  const std::string path = out.file("part.rtf");
  {
    FilePageWriter file(path);
    file.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"written", "too"});
  }
  EXPECT_EQ("written\r\ntoo\r\n", platform::readFile(path));
}

}  // namespace
}  // namespace holders
