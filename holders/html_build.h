// The HTML build: the help of a project as a static site and an HTML Help
// project, from the page set in Template/HTML/.
//
// BuildHtml(project, "OUT") writes the directory OUT/ (any extension of the
// name is dropped): index.html for the contents, one page per topic named
// after its jump name, the alphabetical index page, the search data, the
// files of the page set that are not pages (stylesheet, scripts), the
// component bitmaps it finds beside the units, and OUT.hhp, OUT.hhc and
// OUT.hhk. When chmcmd is on the PATH it compiles OUT.chm there; when it is
// not, a progress line says so and the project is left to compile.
//
// The project is switched to the HTML dialect and page set for good: build
// RTF with another project.
#pragma once

#include <string>
#include <string_view>

namespace holders {

class THProject;

// The file name of the alphabetical index page inside the site.
inline constexpr std::string_view kHtmlIndexPage = "alphabetical.html";
// The file name of the search data inside the site.
inline constexpr std::string_view kHtmlSearchData = "search_data.js";

// The directory BuildHtml writes for an output name.
std::string HtmlOutputDirectory(std::string_view outputName);

// Throws platform::FileError when a file or the directory cannot be written.
void BuildHtml(THProject& project, std::string_view outputName);

}  // namespace holders
