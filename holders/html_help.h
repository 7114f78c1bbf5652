// The HTML Help project of a site: project (.hhp), contents (.hhc) and index
// (.hhk), and the run of the Free Pascal CHM compiler over them.
//
// The contents and index are sitemaps: HTML lists of <object> entries. They
// are written in the source code page (Windows-1252, the project's language
// 0x409), with & < > " ' as entities; the pages themselves are UTF-8 and say
// so. The compiler writes its file relative to its working directory, so it
// runs in the site's directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "holders/html_index.h"

namespace holders {

// The project file for base.hhc/.hhk/.chm, listing files in [FILES].
std::vector<std::string> HtmlHelpProjectLines(std::string_view base, std::string_view title,
                                              const std::vector<std::string>& files);

// The contents sitemap: the entries as a tree, each level below the entry
// above it (a heading).
std::vector<std::string> HtmlHelpContentsLines(const std::vector<ContentsEntry>& entries);

// The index sitemap: one keyword per name (names equal ignoring case share
// it), each with its pages titled "name (context)".
std::vector<std::string> HtmlHelpIndexLines(const std::vector<IndexEntry>& entries);

struct ChmCompilerRun {
  bool started = false;             // false: no compiler on the PATH
  int exitStatus = -1;              // -1 when it did not end normally
  std::vector<std::string> output;  // its standard output and error, by line
};

// Where the compiler (chmcmd) lies on the PATH, or nullopt.
std::optional<std::string> FindChmCompiler();

// Runs compiler on projectFile inside directory and waits for it.
ChmCompilerRun RunChmCompiler(const std::string& compiler, const std::string& directory,
                              const std::string& projectFile);

// The lines of the compiler's output that report a problem ("Warning:",
// "Error:", wherever they stand in the line).
std::vector<std::string> ChmProblems(const ChmCompilerRun& run);

}  // namespace holders
