#include "holders/comment_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "holders/dialect.h"
#include "holders/html_dialect.h"
#include "holders/name_list.h"
#include "platform/text.h"

namespace holders {
namespace {

TEST(Directives, AreRecognisedOnlyAfterAnOptionalBrace) {
  struct Row {
    const char* text;
    const char* name;
    const char* argument;
    const char* why;
  };
  const Row rows[] = {
      {"{$IFDEF DEBUG}", "$IFDEF", "DEBUG", "brace directive"},
      {"  {  $define  X  Y }", "$define", "X", "blanks around; second word only"},
      {"$DEFINE X }", "$DEFINE", "X", "following line of a brace comment"},
      {"(*$IFDEF A*)", "", "", "ansi comment is text"},
      {"//$IFDEF A", "", "", "slash comment is text"},
      {"{ $R *.RES}", "$R", "*.RES", "blank after the brace"},
      {"{$IFDEF\tDEBUG}", "$IFDEF\tDEBUG", "$IFDEF\tDEBUG", "a tab does not separate words"},
      {"{$ENDIF}", "$ENDIF", "$ENDIF", "no blank: the argument is the whole directive"},
      {"{ text }", "", "", "not a directive"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(DirectiveName(row.text), row.name);
    EXPECT_EQ(DirectiveArgument(row.text), row.argument);
  }
  EXPECT_EQ(DirectiveText("{ $IFDEF  A  B }"), "$IFDEF  A  B");
}

// All parts of a text, one per element, tags marked with <>.
std::string parts(std::string_view text) {
  std::string result;
  std::string part;
  for (int kind = NextTextPart(text, part); kind != kNoPart; kind = NextTextPart(text, part)) {
    result += kind == kTagPart ? "<" + part + ">" : "[" + part + "]";
  }
  return result;
}

TEST(NextTextPart, SplitsWordsDelimitersAndTags) {
  struct Row {
    const char* text;
    const char* parts;
    const char* why;
  };
  const Row rows[] = {
      {"Calls <IDENT>Draw<BR>and", "[Calls][ ]<IDENT>[Draw]<BR>[and]", "words and tags"},
      {"a(b),c.d:e;f[g]h^i!j", "[a][(][b][)][,][c][.][d][:][e][;][f][[][g][]][h][^][i][!][j]",
       "every delimiter is a part"},
      {"a << b", "[a][ ][<][ ][b]", "<< is a literal <"},
      {"x<<y", "[x<y]", "a literal < continues the word"},
      {"a <", "[a][ ][<]", "a final < is literal"},
      {"a > b", "[a][ ][>][ ][b]", "> outside a tag is a byte"},
      {"tab\there\r\nnext", "[tab\there\r\nnext]", "tabs and line breaks belong to words"},
      {"<L Topic>x</L>", "<L Topic>[x]</L>", "tag with blanks inside"},
      {"word<unterminated", "[word][unterminated]", "unterminated tag comes back as a word"},
      {"", "", "empty text has no parts"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(parts(row.text), row.parts);
  }
}

// Taking plain parts as they stand and the rest through NextTextPart cuts
// any text as NextTextPart alone does.
TEST(NextTextPart, PlainPartsAreThePartsItWouldCut) {
  std::mt19937 random(5);
  const std::string alphabet = "ab <<>>.,/L\t";
  for (int run = 0; run < 20000; ++run) {
    std::string text;
    for (unsigned i = random() % 14; i > 0; --i) text += alphabet[random() % alphabet.size()];
    SCOPED_TRACE(text);
    std::string viaPlain;
    std::string part;
    for (std::string_view rest = text; !rest.empty();) {
      if (const size_t plain = PlainTextPart(rest)) {
        viaPlain += "[" + std::string(rest.substr(0, plain)) + "]";
        rest.remove_prefix(plain);
        continue;
      }
      const int kind = NextTextPart(rest, part);
      if (kind == kNoPart) break;
      viaPlain += kind == kTagPart ? "<" + part + ">" : "[" + part + "]";
    }
    ASSERT_EQ(viaPlain, parts(text));
  }
}

TEST(ReadToEndTag, TakesPartsUpToTheClosingTagIgnoringCase) {
  std::string_view text = "see <b>the</b> overview</l> rest";
  EXPECT_EQ(ReadToEndTag(text, "L"), "see bthe/b overview");
  EXPECT_EQ(text, " rest");

  std::string_view unclosed = "all of it";
  EXPECT_EQ(ReadToEndTag(unclosed, "T"), "all of it");
  EXPECT_TRUE(unclosed.empty());
}

TEST(JoinLines, TurnsCrIntoBlankAndDropsLf) {
  EXPECT_EQ(JoinLines("a\r\nb\rc\nd"), "a b cd");
  EXPECT_EQ(joinLinesCollapsingBlanks("a   b  c "), "a b c ");
  EXPECT_EQ(joinLinesCollapsingBlanks(" a \r\n b\r\rc\nd "), " a b cd ");
}

TEST(JoinLines, LongTextsCollapseAsOneByteAtATime) {
  // Texts long enough to be copied in runs, with line ends and blanks
  // wherever the runs may start or end, against the rule applied by hand.
  const auto byHand = [](std::string_view text) {
    std::string result;
    for (char c : text) {
      if (c == '\n') continue;
      if (c == '\r') c = ' ';
      if (c == ' ' && !result.empty() && result.back() == ' ') continue;
      result += c;
    }
    return result;
  };
  std::mt19937 random(17);
  const std::string bytes = "  \r\nab.";
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 80, 'x');
    for (char& c : text) c = random() % 3 == 0 ? bytes[random() % bytes.size()] : 'w';
    ASSERT_EQ(joinLinesCollapsingBlanks(text), byHand(text)) << text;
  }
}

TEST(RtfDialect, EscapesBackslashBracesAndHighBytes) {
  const RtfDialect& rtf = RtfDialect::instance();
  EXPECT_EQ(rtf.escape("C:\\Temp {x} \xe9\xff."), "C:\\\\Temp \\{x\\} \\'e9\\'ff.");
  EXPECT_EQ(rtf.escape("plain <text>"), "plain <text>");
  EXPECT_EQ(rtf.bitmapReference("A\\B.BMP"), "\\{bmcwd A\\\\B.BMP\\} ");
  EXPECT_EQ(rtf.recordField("X", "Integer"), "{\\plain\\fs16\\tab }X: Integer;\\par ");
  // Plain text is ruled out sixteen bytes at a time: every byte to escape is
  // found wherever it stands in a block, and next to the bytes most like it.
  const std::string near = "\\{}\x7f\x80\xff[|]z";
  for (size_t length = 0; length < 40; ++length) {
    for (size_t at = 0; at < length; ++at) {
      for (const char c : near) {
        std::string text(length, 'a');
        text[at] = c;
        std::string expected(at, 'a');
        if (c == '\\' || c == '{' || c == '}') {
          expected += {'\\', c};
        } else if (static_cast<unsigned char>(c) > 127) {
          expected += c == '\x80' ? "\\'80" : "\\'ff";
        } else {
          expected += c;
        }
        expected.append(length - at - 1, 'a');
        ASSERT_EQ(expected, rtf.escape(text)) << length << " " << at << " " << int(c);
        ASSERT_EQ(expected, EscapedText(rtf, text).view()) << length << " " << at << " " << int(c);
      }
    }
  }
}

TEST(EscapedText, IsTheTextItselfOnlyWhenNothingNeedsEscaping) {
  const std::string plain = "TJwaSecurityDescriptorControl";
  const EscapedText same(RtfDialect::instance(), plain);
  EXPECT_EQ(same.view().data(), plain.data());
  const std::string braces = "{ a comment of more than sixteen bytes }";
  const EscapedText changed(RtfDialect::instance(), braces);
  EXPECT_EQ(changed.view(), "\\{ a comment of more than sixteen bytes \\}");
  // A dialect without a view of its own escapes into the kept text.
  const EscapedText html(HtmlDialect(), "a < b");
  EXPECT_EQ(html.view(), "a &lt; b");
}

TEST(SortedNameList, KeepsOneEntryPerNameInCaseInsensitiveOrder) {
  SortedNameList list;
  THItem* const a = reinterpret_cast<THItem*>(1);
  THItem* const b = reinterpret_cast<THItem*>(2);
  THItem* const c = reinterpret_cast<THItem*>(3);
  THItem* const d = reinterpret_cast<THItem*>(4);
  EXPECT_EQ(list.add("TZeta", a), nullptr);
  EXPECT_EQ(list.add("tAlpha", b), nullptr);
  EXPECT_EQ(list.add("TBeta", c), nullptr);
  EXPECT_EQ(list.add("TALPHA", d), b) << "a name present ignoring case is replaced";
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.at(0).name, "TALPHA");
  EXPECT_EQ(list.at(1).name, "TBeta");
  EXPECT_EQ(list.at(2).name, "TZeta");
  EXPECT_EQ(list.find("talpha", false), d);
  EXPECT_EQ(list.find("talpha", true), nullptr);
  EXPECT_EQ(list.find("TALPHA", true), d);
}

TEST(OrderedNameList, FindsTheFirstEntryOfANameInListOrder) {
  OrderedNameList list;
  THItem* const a = reinterpret_cast<THItem*>(1);
  THItem* const b = reinterpret_cast<THItem*>(2);
  THItem* const c = reinterpret_cast<THItem*>(3);
  list.add("Caption", a);
  list.add("CAPTION", b);
  list.add("Align", c);
  EXPECT_EQ(list.find("caption", false), a);
  EXPECT_EQ(list.find("CAPTION", true), b);
  list.sortByName();
  EXPECT_EQ(list.at(0).item, c);
  EXPECT_EQ(list.at(1).item, a) << "equal names keep their order";
  EXPECT_EQ(list.find("caption", false), a);
  EXPECT_EQ(list.find("Align", true), c);
}

// Names that share long prefixes (so the sort's keys of their first bytes
// tie), differ only in case, or are prefixes of one another, added in random
// order with replacements, some after the list was sorted: the lists keep the
// case-insensitive order and find every name where it went.
std::string randomName(std::mt19937& random) {
  static const std::string stems[] = {"", "TLongPrefix", "TLongPrefixOf", "tlongprefix_", "Ab"};
  std::string name = stems[random() % 5];
  const std::string letters = "aAbBzZ_1";
  for (unsigned i = random() % 4; i > 0; --i) name += letters[random() % letters.size()];
  return name.empty() ? "x" : name;
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(platform::upperChar(static_cast<unsigned char>(c)));
  return text;
}

THItem* itemNumber(size_t number) {
  return reinterpret_cast<THItem*>(number + 1);
}

TEST(SortedNameList, StaysInOrderThroughRandomAdditions) {
  std::mt19937 random(11);
  for (int run = 0; run < 200; ++run) {
    SortedNameList list;
    std::map<std::string, std::pair<std::string, THItem*>> expected;  // by upper-cased name
    for (size_t added = 0, count = random() % 60; added < count; ++added) {
      const std::string name = randomName(random);
      list.add(name, itemNumber(added));
      expected[upper(name)] = {name, itemNumber(added)};
      if (random() % 10 == 0) list.entries();  // sorted now; later additions follow
    }
    ASSERT_EQ(static_cast<size_t>(list.count()), expected.size());
    size_t position = 0;
    for (const auto& [key, entry] : expected) {
      SCOPED_TRACE(entry.first);
      EXPECT_EQ(list.at(static_cast<int>(position++)).name, entry.first);
      EXPECT_EQ(list.find(key, false), entry.second);
      EXPECT_EQ(list.find(entry.first, true), entry.second);
    }
  }
}

TEST(OrderedNameList, SortingKeepsEqualNamesInOrderAndFindable) {
  std::mt19937 random(12);
  for (int run = 0; run < 200; ++run) {
    OrderedNameList list;
    std::vector<std::pair<std::string, THItem*>> added;
    for (size_t count = random() % 60; added.size() < count;) {
      added.emplace_back(randomName(random), itemNumber(added.size()));
      list.add(added.back().first, added.back().second);
    }
    list.sortByName();
    std::stable_sort(added.begin(), added.end(),
                     [](const auto& a, const auto& b) { return upper(a.first) < upper(b.first); });
    ASSERT_EQ(static_cast<size_t>(list.count()), added.size());
    for (size_t i = 0; i < added.size(); ++i) {
      SCOPED_TRACE(added[i].first);
      EXPECT_EQ(list.at(static_cast<int>(i)).item, added[i].second);
      const auto firstAlike = std::find_if(added.begin(), added.end(), [&](const auto& entry) {
        return upper(entry.first) == upper(added[i].first);
      });
      const auto firstSame = std::find_if(added.begin(), added.end(), [&](const auto& entry) {
        return entry.first == added[i].first;
      });
      EXPECT_EQ(list.find(added[i].first, false), firstAlike->second);
      EXPECT_EQ(list.find(added[i].first, true), firstSame->second);
    }
  }
}

// Lists are searched without an index once sorted; names added afterwards,
// in order or out of it, are found as before, and so are the old ones.
TEST(OrderedNameList, AdditionsAfterSortingAreFound) {
  OrderedNameList list;
  list.add("Width", itemNumber(0));
  list.add("Caption", itemNumber(1));
  list.sortByName();
  EXPECT_EQ(list.find("WIDTH", false), itemNumber(0));
  EXPECT_EQ(list.find("Height", false), nullptr);
  list.add("caption", itemNumber(2));
  list.add("Align", itemNumber(3));
  EXPECT_EQ(list.find("CAPTION", false), itemNumber(1)) << "the first added of the name";
  EXPECT_EQ(list.find("caption", true), itemNumber(2));
  EXPECT_EQ(list.find("align", false), itemNumber(3));
  list.sortByName();
  EXPECT_EQ(list.find("caption", true), itemNumber(2));
  EXPECT_EQ(list.find("CAPTION", false), itemNumber(1));
  EXPECT_EQ(list.find("Width", true), itemNumber(0));
  EXPECT_EQ(list.find("Widt", false), nullptr);
}

TEST(SortedNameList, SortedListFindsNamesAtItsEndsAndNoOthers) {
  SortedNameList list;
  for (const char* name : {"b", "D", "f"}) list.add(name, itemNumber(static_cast<size_t>(*name)));
  list.entries();
  EXPECT_EQ(list.find("B", false), itemNumber('b'));
  EXPECT_EQ(list.find("F", false), itemNumber('f'));
  for (const char* absent : {"a", "c", "e", "g", "", "bb"}) {
    EXPECT_EQ(list.find(absent, false), nullptr) << absent;
  }
  EXPECT_EQ(list.add("E", itemNumber(1)), nullptr);  // out of order again
  EXPECT_EQ(list.add("d", itemNumber(2)), itemNumber('D'));
  EXPECT_EQ(list.find("e", false), itemNumber(1));
  EXPECT_EQ(list.find("d", true), itemNumber(2));
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.at(2).name, "E");
}

}  // namespace
}  // namespace holders
