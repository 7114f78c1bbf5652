// Consistency checks of an HTML help site and its HTML Help project: the
// pages (*.html) of one directory, its project (*.hhp), contents (*.hhc) and
// index (*.hhk).
//
// Like the WinHelp checks it knows nothing of the pages that produced the
// site. It reports pages that are not well-formed or do not declare UTF-8,
// links and sources that lead to no file or to no element of the given id,
// ids defined twice, sitemap entries and project files that name no file,
// and a site without index.html or project.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/helpcheck.h"

namespace tools {

struct HtmlSiteFiles {
  std::string directory;                    // shown in findings
  std::set<std::string> names;              // every file of the directory
  std::map<std::string, std::string> text;  // the pages, sitemaps and project, by name
};

// Reads the directory's file names and the text of its *.html, *.htm,
// *.hhp, *.hhc and *.hhk files. Throws platform::FileError when it is not a
// directory or a file cannot be read.
HtmlSiteFiles readHtmlSite(std::string_view directory);

// Every finding, file by file in name order, each in line order.
std::vector<Finding> checkHtmlSite(const HtmlSiteFiles& site);

}  // namespace tools
