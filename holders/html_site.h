// An HTML site as a PageSink: one file per topic in one directory.
//
// The help build hands every page over with the topic it belongs to; the site
// names the file after the topic's jump name (Type_Shapes_TShape.html), the
// contents topic index.html, and wraps each page in the site's head and foot.
// The head is the first page the build writes (the "Header" page): every
// ##PageTitle## in it becomes the page's title, taken from the page's first
// <h1> heading.
//
// File names keep ASCII letters, digits, '.', '_' and '-'; every other byte
// of the (UTF-8) name is written ~HH, and a name longer than a file system
// takes ends in a digest of the whole. The templates link pages by jump name
// (href="Type_##UnitName##_##TypeName##.html"), so the site names every
// relative .html link of a page the same way as it writes it; for names of
// Pascal identifiers both are the jump name itself. Line breaks inside a
// line (from values put into the page; every jump page ends with one) are
// dropped, as readers of the topics file ignore them, so a link stays next
// to the full stop after it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "holders/page_writer.h"

namespace holders {

// A file the site wrote: the topic it holds and the title of its page.
struct SiteFile {
  TopicKind kind;
  std::string id;     // the topic's jump name, as the build gave it
  std::string file;   // name inside the directory, UTF-8
  std::string title;  // page title, as HTML text (entities kept)
};

class HtmlSite final : public PageSink {
 public:
  // Writes into directory, which must exist; foot is written after every
  // page, before the file ends.
  HtmlSite(std::string directory, std::vector<std::string> foot);

  void writePage(const TopicRef& topic, const std::vector<std::string>& lines) override;
  // The closing line of a topics file means nothing to a site.
  void finish(std::string_view closingLine) override;

  // A page that belongs to no holder (the index page), wrapped like the rest.
  // Its links name files already.
  void writeExtraPage(std::string_view fileName, const std::vector<std::string>& lines);

  // Every file written, in order; a topic written twice is listed once.
  const std::vector<SiteFile>& files() const { return files_; }
  bool hasFile(std::string_view fileName) const;

  // The file of a topic: index.html for the contents, the jump name for an
  // item's topic, the list or sample name ("Properties_", "Methods_",
  // "Events_", "Sample_" in place of the holder's kind prefix) for the pages
  // of a holder's lists and samples; empty for the header.
  static std::string TopicFileName(const TopicRef& topic);
  // The text of the first <h1> element of the lines without its tags, or
  // empty.
  static std::string PageTitle(const std::vector<std::string>& lines);

 private:
  void writeFile(const SiteFile& file, const std::vector<std::string>& lines, bool linksByJumpName);

  std::string directory_;
  std::vector<std::string> head_;
  std::vector<std::string> foot_;
  std::vector<SiteFile> files_;
  std::unordered_set<std::string> names_;
};

}  // namespace holders
