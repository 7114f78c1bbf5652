// The alphabetical index and the search data of an HTML site.
//
// Both list every documented item that has a page of its own: units, types,
// the members of classes, routines, variables and constants, as the index
// keywords of the topics file do. Entries keep the source code page; each
// writer converts what it writes.
#pragma once

#include <string>
#include <vector>

#include "holders/page_writer.h"

namespace holders {

class HtmlSite;
class THProject;

struct IndexEntry {
  std::string name;     // the item's name (Windows-1252)
  std::string context;  // its type for a member, its unit otherwise, empty for a unit
  std::string file;     // its page in the site
  TopicKind kind = TopicKind::Unit;
  bool member = false;  // a method or property of a type
};

// The documented items of the project whose page the site holds, sorted by
// name ignoring case, then by context.
std::vector<IndexEntry> CollectIndexEntries(THProject& project, const HtmlSite& site);

// One line of the contents: a heading (no file) or a page.
struct ContentsEntry {
  int level;
  std::string text;  // Windows-1252
  std::string file;
};

// The contents as the contents file of the help project has them: the
// overview (index.html), the units in the order they were added, then the
// types, routines, variables and constants of all units, each section
// sorted by name. Only pages the site holds are listed; headings always are.
std::vector<ContentsEntry> CollectContentsEntries(THProject& project, const HtmlSite& site);

// The index page from the templates "IndexPage" (##LetterLinks##,
// ##IndexList##), "IndexLetterLink" and "IndexLetter" (##Letter##,
// ##LetterAnchor##, one per initial) and "IndexEntry" (##ItemName##,
// ##ItemContext##, ##ItemFile##).
std::vector<std::string> IndexPageLines(THProject& project, const std::vector<IndexEntry>& entries);

// A script that defines korvexSearchItems, an array of [name, context, file]
// in UTF-8. A script rather than a data file, because pages opened from the
// file system may load scripts but not fetch files.
std::string SearchDataScript(const std::vector<IndexEntry>& entries);

}  // namespace holders
