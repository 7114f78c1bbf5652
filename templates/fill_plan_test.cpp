#include "templates/fill_plan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "templates/document_template.h"
#include "templates/template_cache.h"

namespace templates {
namespace {

using Lines = std::vector<std::string>;

struct Fill {
  std::string tag;
  std::string value;
};

// Fills a cached page (by its plans) and the same lines set as a template
// (tag by tag) alike, and checks that counts and lines agree at every step.
void expectFilledAlike(const CachedPage& cached, const std::vector<Fill>& fills,
                       std::mt19937& random) {
  TDocumentTemplate planned;
  planned.LoadCached(&cached);
  TDocumentTemplate byTag;
  byTag.SetTemplate(cached.lines);
  for (const Fill& fill : fills) {
    ASSERT_EQ(byTag.ReplaceTag(fill.tag, fill.value, true),
              planned.ReplaceTag(fill.tag, fill.value, true))
        << fill.tag << " -> " << fill.value;
    // Lines asked for midway are made, and the plan goes on from there; the
    // text is built from the plan's pieces unless the lines are made.
    if (random() % 4 == 0) {
      ASSERT_EQ(byTag.Text(), planned.Text());
    }
    if (random() % 4 == 0) {
      ASSERT_EQ(byTag.Document(), planned.Document());
    }
  }
  ASSERT_EQ(byTag.Text(), planned.Text());
  ASSERT_EQ(byTag.Document(), planned.Document());
  ASSERT_EQ(byTag.Text(), planned.Text());

  // Values given up rather than lent, into a page whose kept values are
  // taken over, then lent again on the same page filled anew.
  TDocumentTemplate given;
  for (const bool giveUp : {true, false, true}) {
    given.LoadCached(&cached);
    TDocumentTemplate again;
    again.SetTemplate(cached.lines);
    for (const Fill& fill : fills) {
      const int expected = again.ReplaceTag(fill.tag, fill.value, true);
      ASSERT_EQ(expected, giveUp ? given.ReplaceTag(fill.tag, std::string(fill.value), true)
                                 : given.ReplaceTag(fill.tag, fill.value, true))
          << fill.tag << " -> " << fill.value;
    }
    ASSERT_EQ(byTag.Text(), given.Text()) << (giveUp ? "given up" : "lent");
  }

  // The same fill without a page object.
  std::vector<std::string_view> tags;
  std::vector<std::string_view> values;
  for (const Fill& fill : fills) {
    tags.push_back(fill.tag);
    values.push_back(fill.value);
  }
  std::string appended = "before";
  TDocumentTemplate::AppendFilledText(&cached, tags, values, appended);
  ASSERT_EQ("before" + byTag.Text(), appended);
}

// Pages, tags and values from a small alphabet rich in marks: tags touch,
// overlap, and form anew around values, most of which hold no '#' and so
// are filled by plan. Names and values come from the same two letters, so a
// tag formed around a value is often one of the tags filled later. Each page
// is filled many times over, so that runs share the plan's steps.
TEST(FillPlan, FillsAsReplacingTagByTagDoes) {
  std::mt19937 random(20261209);
  const auto text = [&](std::string_view alphabet, size_t length) {
    std::string result;
    for (size_t i = 0; i < length; ++i) result += alphabet[random() % alphabet.size()];
    return result;
  };
  for (int round = 0; round < 2000; ++round) {
    Lines lines;
    for (size_t i = 1 + random() % 2; i > 0; --i) lines.push_back(text("###ab", random() % 16));
    const CachedPage cached(lines);
    std::vector<std::string> tags;
    for (int i = 0; i < 5; ++i) tags.push_back("##" + text("ab", random() % 3) + "##");
    tags.push_back(text("#a", 1 + random() % 3));  // not of the ##Name## form
    for (int run = 0; run < 10; ++run) {
      std::vector<Fill> fills;
      for (size_t call = random() % 6; call > 0; --call) {
        const std::string value = text(random() % 8 == 0 ? "#ab" : "ab", random() % 3);
        fills.push_back({tags[random() % tags.size()], value});
      }
      SCOPED_TRACE(::testing::Message() << "round " << round << ", run " << run);
      expectFilledAlike(cached, fills, random);
    }
  }
}

TEST(FillPlan, AValueThatMayCompleteATagIsFilledTagByTag) {
  std::mt19937 random(1);
  // An empty value for ##T## joins "##a#" and "#" into "##a##"; a value
  // between "##" and "##" may be the name of a later tag.
  expectFilledAlike(CachedPage({"##a###T###"}), {{"##T##", ""}, {"##a##", "A"}}, random);
  expectFilledAlike(CachedPage({"x####U####y"}), {{"##U##", "v"}, {"##v##", "V"}}, random);
  expectFilledAlike(CachedPage({"##Un##X##me##"}), {{"##X##", "itNa"}, {"##UnitName##", "M"}},
                    random);
  // A value holding a tag, or marks, is filled tag by tag from there on.
  expectFilledAlike(CachedPage({"{##A##}"}), {{"##A##", "see ##B##"}, {"##B##", "Main"}}, random);
}

// Threads load the page and add steps to its plans at once, past the number
// of steps a page keeps; run under ThreadSanitizer too.
TEST(FillPlan, ThreadsFillingOnePageShareItsPlans) {
  const CachedPage cached({"#{\\footnote ##T1##_##T2##}", "##T2## in ##T1##", "text"});
  std::vector<std::string> tags;
  for (int i = 0; i < 24; ++i) tags.push_back("##T" + std::to_string(i) + "##");
  std::vector<std::thread> threads;
  std::vector<int> failures(4);
  for (size_t t = 0; t < failures.size(); ++t) {
    threads.emplace_back([&, t] {
      std::mt19937 random(static_cast<unsigned>(t));
      for (int run = 0; run < 3000; ++run) {
        TDocumentTemplate planned;
        planned.LoadCached(&cached);
        TDocumentTemplate byTag;
        byTag.SetTemplate(cached.lines);
        for (size_t call = random() % 4; call > 0; --call) {
          const std::string& tag = tags[random() % tags.size()];
          const std::string value = "v" + std::to_string(random() % 10);
          if (planned.ReplaceTag(tag, value, true) != byTag.ReplaceTag(tag, value, true)) {
            ++failures[t];
          }
        }
        if (planned.Text() != byTag.Text()) ++failures[t];
        if (planned.Document() != byTag.Document()) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ((std::vector<int>(failures.size(), 0)), failures);
}

}  // namespace
}  // namespace templates
