// A page template: lines of text with ##Tag## placeholders.
//
// A page is loaded into Template, which stays as loaded, and copied into
// Document, where ReplaceTag substitutes values. Callers then write the
// Document lines out or take them as one text. The object is reloaded for
// page after page; every load starts Document afresh from the file. Files
// come through a TemplateCache (the process-wide one unless another is given),
// which the object borrows; a page loaded from the cache refers to the cached
// lines as its Template, so the cache must not be cleared while it is used.
// Such a page is filled by the cached page's plans while the values allow
// (fill_plan.h), and its Document lines are only made when asked for; the
// result is the same as replacing tag by tag.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "templates/template_cache.h"

namespace templates {

class TDocumentTemplate {
 public:
  TDocumentTemplate();
  explicit TDocumentTemplate(TemplateCache& cache);

  // A template holding the file, or empty when the file does not exist.
  static TDocumentTemplate CreateFromFile(std::string_view fileName);
  static TDocumentTemplate CreateFromFile(std::string_view fileName, TemplateCache& cache);

  // Empties the page, then fills Template and Document from the file when it
  // exists. TemplateFile is left as it was. Throws platform::FileError when
  // the file exists but cannot be read.
  void LoadFromFile(std::string_view fileName);

  const std::vector<std::string>& Document() const;
  const std::vector<std::string>& Template() const {
    return cachedTemplate_ != nullptr ? *cachedTemplate_ : template_;
  }
  const std::string& TemplateFile() const { return templateFile_; }

  // Copies the lines into Template and Document.
  void SetTemplate(const std::vector<std::string>& lines);
  // Like LoadFromFile for a page the caller already took from the cache
  // (nullptr: the file is missing). The page must outlive this object.
  void LoadCached(const CachedPage* page);
  // Stores the name and loads the file; a missing file keeps the page that
  // was there before.
  void SetTemplateFile(std::string_view fileName);

  // Replaces every occurrence of tag in every Document line by value and
  // returns the number of replacements. Without caseSensitive the tag matches
  // whatever the capitals (Windows-1252 rules). The search resumes after each
  // inserted value, so a value holding its own tag is inserted once. An empty
  // tag matches nothing.
  int ReplaceTag(std::string_view tag, std::string_view value, bool caseSensitive);
  // The same for a value the caller gives up: a page filled by plan keeps
  // it as it is rather than a copy.
  template <class Value>
  requires std::same_as<Value, std::string>
  int ReplaceTag(std::string_view tag, Value&& value, bool caseSensitive) {
    return replaceTag(tag, value, &value, caseSensitive);
  }

  // The Document lines, each followed by CR LF.
  std::string Text() const;
  // Appends Text() to out; a page filled by plan is built straight into it.
  void AppendText(std::string& out) const;
  // Appends the text of `page` (nullptr: a missing file) filled with
  // values[i] at tags[i], in turn, case-sensitively: for a small page
  // filled and taken as text again and again (a link), without an object.
  static void AppendFilledText(const CachedPage* page, std::span<const std::string_view> tags,
                               std::span<const std::string_view> values, std::string& out);

  // Where ReplaceTag(tag, value, caseSensitive) would put its value in the
  // Document as it stands: which occurrences it replaces depends on the
  // lines alone, never on the value. For a page filled again and again with
  // one value after another (AppendFilled).
  struct TagPlaces {
    size_t tagSize = 0;
    // Per Document line, where the line's occurrences start, left to right.
    std::vector<std::vector<size_t>> starts;
  };
  TagPlaces FindTagPlaces(std::string_view tag, bool caseSensitive);
  // Appends the Document lines, each followed by CR LF, as ReplaceTag would
  // leave them with value at `places`; the page itself is left as it is.
  void AppendFilled(const TagPlaces& places, std::string_view value, std::string& out) const;

 private:
  bool loadLines(std::string_view fileName);
  // Makes the Document lines of a page filled by plan.
  void buildPlannedLines() const;
  // Leaves the plan: the Document lines and their keys made, for filling tag
  // by tag from here on.
  void leavePlan();
  // ReplaceTag; `owned`, when given, holds the value and may be taken.
  int replaceTag(std::string_view tag, std::string_view value, std::string* owned,
                 bool caseSensitive);
  // Keeps the value of the step just taken.
  void keepValue(std::string_view value);
  void keepValue(std::string&& value);
  // Finds the occurrences of tag that ReplaceTag replaces in line `index`,
  // given the tag's signature bit (0: searched for, not keyed); appends
  // their starts to `found`.
  void findInLine(size_t index, std::string_view tag, std::uint64_t bit, bool caseSensitive,
                  std::vector<size_t>& found) const;
  // Finds the keys of a line that has changed.
  void retag(size_t index);
  // Drops the out-of-date keys once they are most of the list.
  void compactKeysWhenStale();

  TemplateCache* cache_;
  // A cached page is filled by its plans while the values allow
  // (fill_plan.h): the step reached, and the values of the steps so far. The
  // Document lines are made from them when asked for.
  const CachedPage* plannedPage_ = nullptr;
  const FillStep* step_ = nullptr;
  std::vector<std::string> values_;  // the first valueCount_ are this page's
  size_t valueCount_ = 0;
  mutable bool linesBuilt_ = false;
  // The Document lines with their tag keys: a tag of the ##Name## form is
  // looked for only in the lines whose signature can hold it, and there only
  // at the keys of its size. A changed line's keys go to the end of the key
  // list; the list is compacted when most of it is out of date.
  mutable TaggedLines document_;
  size_t liveKeys_ = 0;
  // Template is the cached copy when the page came from the cache, else
  // template_: pages are loaded hundreds of thousands of times in a run.
  const std::vector<std::string>* cachedTemplate_ = nullptr;
  std::vector<std::string> template_;
  std::string templateFile_;
};

}  // namespace templates
