#include "holders/html_build.h"

#include <filesystem>
#include <memory>
#include <set>

#include "holders/html_dialect.h"
#include "holders/html_help.h"
#include "holders/html_index.h"
#include "holders/html_site.h"
#include "holders/project.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/text.h"

namespace holders {
namespace {

constexpr std::string_view kPageSet = "HTML/";

void message(THProject& project, int index, std::string_view name) {
  project.Message(0, project.MessageText(index) + std::string(name));
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
  platform::TextFileWriter out(path);
  for (const std::string& line : lines) out.writeLine(line);
  out.close();
}

std::string createDirectory(std::string_view name) {
  const std::string path = platform::resolvePathForWriting(name);
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error || !platform::directoryExists(path)) {
    throw platform::FileError("cannot create directory " + path + ": " +
                              (error ? error.message() : "a file of that name exists"));
  }
  return path;
}

std::vector<std::string> pageLines(THProject& project, std::string_view name) {
  templates::TDocumentTemplate page(project.templateCache());
  project.LoadTemplate(name, page);
  return page.Document();
}

// Everything in the page set that is not a page or a language (stylesheet,
// scripts, pictures) goes beside the pages. Returns the names copied.
std::vector<std::string> copySupportFiles(const THProject& project, const std::string& directory) {
  std::vector<std::string> copied;
  std::vector<std::string> files;
  platform::FindFiles(project.programDirectory() + "Template/" + std::string(kPageSet), "*", files);
  for (const std::string& file : files) {
    if (platform::matchesMask(file, "*.TPF") || platform::matchesMask(file, "*.lnf")) continue;
    copied.push_back(platform::extractFileName(file));
    platform::writeFileAtomic(directory + "/" + copied.back(), platform::readFile(file));
  }
  return copied;
}

// A type's bitmap is looked for where its units came from and in the current
// directory, as the help compiler would look beside the project.
std::optional<std::string> findBitmap(const THProject& project, const std::string& name) {
  for (const std::string& directory : project.UnitDirectories) {
    if (auto path = platform::resolvePath(directory + name); path && platform::fileExists(*path))
      return path;
  }
  if (platform::fileExists(name)) return platform::resolvePath(name);
  return std::nullopt;
}

// Returns the names copied.
std::vector<std::string> copyBitmaps(THProject& project, const std::string& directory) {
  std::vector<std::string> copied;
  std::set<std::string> seen;
  for (const NameEntry& unitEntry : project.Units.entries()) {
    auto* unit = static_cast<THUnit*>(unitEntry.item);
    if (!unit->IsDocumented()) continue;
    for (const NameEntry& typeEntry : unit->Types.entries()) {
      auto* type = static_cast<THType*>(typeEntry.item);
      const std::string& name = type->Bitmap.str();
      // A name with a directory would be referred to by that path; only
      // plain names are brought beside the pages.
      if (name.empty() || !type->IsDocumented() || !platform::extractFilePath(name).empty() ||
          !seen.insert(name).second)
        continue;
      if (const auto source = findBitmap(project, name)) {
        copied.push_back(windows1252ToUtf8(name));
        platform::writeFileAtomic(directory + "/" + copied.back(), platform::readFile(*source));
      }
    }
  }
  return copied;
}

std::vector<std::string> fileNames(const HtmlSite& site, const std::vector<std::string>& support) {
  std::vector<std::string> names;
  for (const SiteFile& file : site.files()) names.push_back(file.file);
  names.emplace_back(kHtmlSearchData);
  names.insert(names.end(), support.begin(), support.end());
  return names;
}

// named is the directory as the run named it, for the progress lines.
void compileChm(THProject& project, const std::string& directory, const std::string& named,
                const std::string& base) {
  const std::string projectFile = base + ".hhp";
  const std::optional<std::string> compiler = FindChmCompiler();
  if (!compiler) {
    message(project, lang::BaseLang::kMsgChmCompilerMissing, named + "/" + projectFile);
    return;
  }
  const std::string chm = directory + "/" + base + ".chm";
  platform::deleteFile(chm);
  const ChmCompilerRun run = RunChmCompiler(*compiler, directory, projectFile);
  for (const std::string& problem : ChmProblems(run))
    message(project, lang::BaseLang::kMsgChmCompilerReport, problem);
  std::error_code error;
  const bool written = std::filesystem::file_size(chm, error) > 0 && !error;
  if (run.exitStatus != 0 || !written) {
    message(project, lang::BaseLang::kMsgChmCompileFailed, named + "/" + projectFile);
    return;
  }
  message(project, lang::BaseLang::kMsgBuildToFile, named + "/" + base + ".chm");
}

}  // namespace

std::string HtmlOutputDirectory(std::string_view outputName) {
  std::string name(outputName);
  while (name.size() > 1 && (name.back() == '/' || name.back() == '\\')) name.pop_back();
  return platform::changeFileExt(name, "");
}

void BuildHtml(THProject& project, std::string_view outputName) {
  const std::string named = HtmlOutputDirectory(outputName);
  message(project, lang::BaseLang::kMsgBuildToFile, named + "/");
  const std::string directory = createDirectory(named);
  const std::string base = platform::extractFileName(directory);
  project.SetDialect(std::make_unique<HtmlDialect>());
  project.SetTemplateSubdirectory(std::string(kPageSet));

  HtmlSite site(directory, pageLines(project, "Footer"));
  project.BuildTopics(site);
  const std::vector<IndexEntry> entries = CollectIndexEntries(project, site);
  site.writeExtraPage(kHtmlIndexPage, IndexPageLines(project, entries));
  platform::writeFileAtomic(directory + "/" + std::string(kHtmlSearchData),
                            SearchDataScript(entries));
  std::vector<std::string> support = copySupportFiles(project, directory);
  const std::vector<std::string> bitmaps = copyBitmaps(project, directory);
  support.insert(support.end(), bitmaps.begin(), bitmaps.end());

  const std::string stem = named + "/" + base;
  message(project, lang::BaseLang::kMsgBuildToFile, stem + ".hhp");
  writeLines(directory + "/" + base + ".hhp",
             HtmlHelpProjectLines(base, base, fileNames(site, support)));
  message(project, lang::BaseLang::kMsgBuildToFile, stem + ".hhc");
  writeLines(directory + "/" + base + ".hhc",
             HtmlHelpContentsLines(CollectContentsEntries(project, site)));
  message(project, lang::BaseLang::kMsgBuildToFile, stem + ".hhk");
  writeLines(directory + "/" + base + ".hhk", HtmlHelpIndexLines(entries));
  compileChm(project, directory, named, base);
}

}  // namespace holders
