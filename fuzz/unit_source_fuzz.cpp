// Pascal source through the whole reader and the help build, in memory,
// with the shipped page set.
//
// Input: up to four units separated by NUL bytes, read in order (so link
// search, inheritance and lookups cross units), with the symbol FUZZ defined.
// The working directory holds two include files: DECLS.INC with a few
// declarations and LOOP.INC, which includes itself. Findings are crashes,
// hangs, sanitizer reports, and topics that differ when the units are built
// on several threads.
//
// With KORVEX_FUZZ_HELPCHECK=1 in the environment, the help consistency
// checker must also find nothing in the topics, project and contents texts.
// That is off by default because source text can cause findings by itself:
// an author's <L> jump to a topic that does not exist, or a brace inside a
// comment, which descriptions pass on unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "platform/text.h"
#include "tools/helpcheck.h"

namespace {

constexpr std::size_t kMaxUnits = 4;

std::vector<std::string_view> units(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t nul;
       parts.size() + 1 < kMaxUnits && (nul = text.find('\0')) != std::string_view::npos;) {
    parts.push_back(text.substr(0, nul));
    text.remove_prefix(nul + 1);
  }
  parts.push_back(text);
  return parts;
}

void checkHelp(holders::THProject& project, const std::string& rtf) {
  tools::HelpProjectFiles files;
  files.rtfName = "FUZZ.RTF";
  files.hpjName = "FUZZ.HPJ";
  files.cntName = "FUZZ.CNT";
  files.rtf = rtf;
  files.hpj = platform::joinLinesCrLf(project.HelpProjectLines("FUZZ.HPJ"));
  files.cnt = platform::joinLinesCrLf(project.ContentsLines("FUZZ.HPJ"));
  const std::vector<tools::Finding> findings = tools::checkHelpProject(files);
  for (const tools::Finding& finding : findings) {
    std::fprintf(stderr, "%s\n", tools::formatFinding(finding).c_str());
  }
  fuzzing::check(findings.empty(), "the help checker finds faults in the output");
}

bool helpCheckWanted() {
  const char* value = std::getenv("KORVEX_FUZZ_HELPCHECK");
  return value != nullptr && std::string_view(value) == "1";
}

lang::TCustomLanguageCenter& messages() {
  static lang::TCustomLanguageCenter center;
  return center;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Configuration files are read from the current directory; ours has none.
  fuzzing::check(::chdir(fuzzing::workDirectory().c_str()) == 0, "cannot enter the work directory");
  fuzzing::writeBytes(fuzzing::workFile("DECLS.INC"),
                      "type\r\n  { Included. }\r\n  TIncluded = class(TObject)\r\n"
                      "    procedure Run; virtual;\r\n  end;\r\nconst Limit = 10;\r\n");
  fuzzing::writeBytes(fuzzing::workFile("LOOP.INC"), "{$I LOOP.INC}\r\nvar Looped: Integer;\r\n");
  lang::BaseLang::LoadENG(messages());
  return 0;
}

// Reads the units into project and builds their topics on `threads`
// threads, reading included; returns the topics text.
std::string build(holders::THProject& project, std::string_view text, unsigned threads) {
  project.MessageLanguage = &messages();
  project.Scope = holders::kScopePrivate;
  project.BuildThreads = threads;
  project.AddDefine("FUZZ");
  std::vector<holders::THProject::UnitText> sources;
  for (std::string_view unit : units(text)) {
    const std::string name = "FUZZ" + std::to_string(sources.size());
    sources.push_back({name, unit, fuzzing::workFile(name + ".PAS")});
  }
  project.AddUnitTexts(sources);
  holders::MemoryPageSink sink;
  project.BuildTopics(sink);
  return sink.text();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzzing::asText(data, size);
  const holders::OptionsGuard options;
  holders::THProject project(std::string(KORVEX_SOURCE_DIR) + "/");
  const std::string rtf = build(project, text, 1);
  // Units read and built on several threads give the same topics.
  if (units(text).size() > 1) {
    holders::THProject parallel(std::string(KORVEX_SOURCE_DIR) + "/");
    fuzzing::check(build(parallel, text, 3) == rtf, "units read on three threads differ from one");
  }
  static const bool helpCheck = helpCheckWanted();
  if (helpCheck) checkHelp(project, rtf);
  return 0;
}
