#include "holders/html_help.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "holders/html_dialect.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/text.h"

namespace holders {
namespace {

const std::vector<std::string> kSitemapHead = {
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">", "<html>",  "<head>",
    "<meta name=\"GENERATOR\" content=\"Korvex\">",     "</head>", "<body>",
};
const std::vector<std::string> kSitemapFoot = {"</body>", "</html>"};

// Control bytes (line breaks in a name read from damaged source) would split
// the entry; they become blanks.
std::string param(std::string_view name, std::string_view value) {
  std::string text = escapeMarkup(value);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return "<param name=\"" + std::string(name) + "\" value=\"" + text + "\">";
}

std::string sitemapEntry(std::string_view name, std::string_view local) {
  std::string entry = "<li><object type=\"text/sitemap\">" + param("Name", name);
  if (!local.empty()) entry += param("Local", local);
  return entry + "</object>";
}

std::string entryTitle(const IndexEntry& entry) {
  return entry.context.empty() ? entry.name : entry.name + " (" + entry.context + ")";
}

// The targets of one keyword: entries [first, last) of equal names.
std::string keywordEntry(const std::vector<IndexEntry>& entries, size_t first, size_t last) {
  std::string line = "<li><object type=\"text/sitemap\">" + param("Name", entries[first].name);
  for (size_t i = first; i < last; ++i) {
    if (last - first > 1) line += param("Name", entryTitle(entries[i]));
    line += param("Local", entries[i].file);
  }
  return line + "</object>";
}

std::vector<std::string> readAll(int descriptor) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  return platform::splitLines(text);
}

[[noreturn]] void runChild(int output, const std::string& compiler, const std::string& directory,
                           const std::string& projectFile) {
  const int input = open("/dev/null", O_RDONLY);
  if (input >= 0) dup2(input, STDIN_FILENO);
  dup2(output, STDOUT_FILENO);
  dup2(output, STDERR_FILENO);
  if (chdir(directory.c_str()) != 0) _exit(126);
  std::string argument0 = compiler;
  std::string argument1 = projectFile;
  char* arguments[] = {argument0.data(), argument1.data(), nullptr};
  execv(compiler.c_str(), arguments);
  _exit(127);
}

}  // namespace

std::vector<std::string> HtmlHelpProjectLines(std::string_view base, std::string_view title,
                                              const std::vector<std::string>& files) {
  const std::string name(base);
  // The window caption stands in quotes, which it therefore cannot hold.
  std::string caption(title);
  for (char& c : caption) {
    if (c == '"') c = '\'';
  }
  std::vector<std::string> lines = {
      "[OPTIONS]",
      "Compatibility=1.1 or later",
      "Compiled file=" + name + ".chm",
      "Contents file=" + name + ".hhc",
      "Index file=" + name + ".hhk",
      "Default topic=index.html",
      "Default Window=main",
      "Display compile progress=No",
      "Full-text search=Yes",
      "Language=0x409 English (United States)",
      "Title=" + std::string(title),
      "",
      "[WINDOWS]",
      "main=\"" + caption + "\",\"" + name + ".hhc\",\"" + name +
          ".hhk\",\"index.html\",\"index.html\",,,,,0x2520,,0x3006,,,,,,,,0",
      "",
      "[FILES]",
  };
  lines.insert(lines.end(), files.begin(), files.end());
  return lines;
}

std::vector<std::string> HtmlHelpContentsLines(const std::vector<ContentsEntry>& entries) {
  std::vector<std::string> lines = kSitemapHead;
  lines.insert(lines.end(), {"<object type=\"text/site properties\">",
                             "<param name=\"ImageType\" value=\"Folder\">", "</object>"});
  int depth = 0;
  for (const ContentsEntry& entry : entries) {
    // A level deeper than the one above opens a list below that heading.
    for (; depth < entry.level; ++depth) lines.push_back("<ul>");
    for (; depth > entry.level; --depth) lines.push_back("</ul>");
    lines.push_back(sitemapEntry(entry.text, entry.file));
  }
  for (; depth > 0; --depth) lines.push_back("</ul>");
  lines.insert(lines.end(), kSitemapFoot.begin(), kSitemapFoot.end());
  return lines;
}

std::vector<std::string> HtmlHelpIndexLines(const std::vector<IndexEntry>& entries) {
  std::vector<std::string> lines = kSitemapHead;
  lines.push_back("<ul>");
  for (size_t first = 0; first < entries.size();) {
    size_t last = first + 1;
    while (last < entries.size() && platform::sameText(entries[last].name, entries[first].name))
      ++last;
    lines.push_back(keywordEntry(entries, first, last));
    first = last;
  }
  lines.push_back("</ul>");
  lines.insert(lines.end(), kSitemapFoot.begin(), kSitemapFoot.end());
  return lines;
}

std::optional<std::string> FindChmCompiler() {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (true) {
    const size_t colon = rest.find(':');
    const std::string_view directory = rest.substr(0, colon);
    const std::string candidate =
        platform::AddBackslash(directory.empty() ? "." : directory) + "chmcmd";
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(colon + 1);
  }
}

ChmCompilerRun RunChmCompiler(const std::string& compiler, const std::string& directory,
                              const std::string& projectFile) {
  int channel[2];
  if (pipe(channel) != 0) platform::throwSystemError("start", compiler);
  const pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    platform::throwSystemError("start", compiler);
  }
  if (child == 0) {
    close(channel[0]);
    runChild(channel[1], compiler, directory, projectFile);
  }
  close(channel[1]);
  ChmCompilerRun run;
  run.started = true;
  run.output = readAll(channel[0]);
  close(channel[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  return run;
}

std::vector<std::string> ChmProblems(const ChmCompilerRun& run) {
  std::vector<std::string> problems;
  for (const std::string& line : run.output) {
    if (line.find("Warning:") != std::string::npos || line.find("Error:") != std::string::npos)
      problems.push_back(platform::trim(line));
  }
  return problems;
}

}  // namespace holders
