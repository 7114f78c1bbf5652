// What a cached page's lines become after a run of ReplaceTag calls, worked
// out once per page and run of tags instead of on every page filled.
//
// A page is loaded hundreds of thousands of times in a large build and filled
// with the same tags in the same order each time; only the values differ.
// Where a tag of the ##Name## form occurs does not depend on the values
// inserted before it as long as no occurrence can take in a value: a value
// without '#' can only be part of an occurrence as part of its name, which
// needs "##" and a run of the name's own bytes on both sides of the value,
// or, for an empty value, a '#' on both sides. A step that finds such a
// place around a value is not planned, and the page is filled tag by tag
// from there on.
//
// The lines after each step are pieces of the page's own lines and the values
// of the steps so far. Steps are shared by every thread that fills the page:
// each step's next steps form a list that is only ever prepended to, under
// the plans' lock, and read without it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace templates {

// A run of a page line's bytes, or the value of a step.
struct FillPiece {
  std::uint32_t from;  // where in the line, or which step's value
  std::uint32_t size;  // bytes of the line; unused for a value
  bool value;
};

class FillStep {
 public:
  // The lines after this step, as pieces.
  const std::vector<std::vector<FillPiece>>& lines() const { return lines_; }
  // The occurrences this step replaced.
  int count() const { return count_; }
  // False when the step's places may depend on the values before it.
  bool planned() const { return planned_; }

 private:
  friend class FillPlans;

  std::string tag_;          // the tag this step replaced (empty for the first)
  std::uint32_t depth_ = 0;  // the steps before it; its value's index
  int count_ = 0;
  bool planned_ = true;
  std::vector<std::vector<FillPiece>> lines_;
  // The steps known to follow this one, newest first.
  mutable std::atomic<const FillStep*> firstNext_{nullptr};
  const FillStep* sibling_ = nullptr;
};

class FillPlans {
 public:
  // The page's lines must stay where they are as long as the plans do.
  explicit FillPlans(const std::vector<std::string>& lines);
  FillPlans(const FillPlans&) = delete;
  FillPlans& operator=(const FillPlans&) = delete;

  // The page as loaded: no tag replaced.
  const FillStep& first() const { return *first_; }
  // The step after `from` that replaces tag (case-sensitively); worked out
  // on first asking. nullptr when the page has more steps than it keeps.
  const FillStep* next(const FillStep& from, std::string_view tag);

  // Line `index` after `step`, values[k] being the value of the k-th tag
  // replaced.
  void buildLine(const FillStep& step, size_t index, const std::vector<std::string>& values,
                 std::string& out) const;
  // Appends every line after `step`, each followed by CR LF.
  void appendText(const FillStep& step, const std::vector<std::string>& values,
                  std::string& out) const;
  void appendText(const FillStep& step, std::span<const std::string_view> values,
                  std::string& out) const;

 private:
  static const FillStep* known(const FillStep& from, std::string_view tag);
  void makeNext(const FillStep& from, std::string_view tag, FillStep& step) const;
  // Whether an occurrence of tag in the line could take in a value.
  bool mayTakeInAValue(const std::vector<FillPiece>& pieces, size_t line,
                       std::string_view tag) const;

  const std::vector<std::string>& lines_;
  std::mutex mutex_;  // held while a step is added
  // Every step; the list grows under the lock, so other threads find steps
  // through `first_` and the steps' own links, never through it.
  std::vector<std::unique_ptr<FillStep>> steps_;
  const FillStep* first_;
};

}  // namespace templates
