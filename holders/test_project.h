// Shared by the holders tests: a project over the small test page set of
// tests/data/pages, with the built-in message texts, that records its
// messages, plus helpers to read units from strings and build into memory.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "holders/method.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "holders/property.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "holders/variable.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "tests/support/test_support.h"

namespace holders::testing {

inline std::string pagesDirectory() {
  return testing_support::sourceDir() + "/tests/data/pages/";
}

class RecordingProject : public THProject {
 public:
  explicit RecordingProject(std::string programDirectory = pagesDirectory())
      : THProject(std::move(programDirectory)) {
    lang::BaseLang::LoadENG(messageLanguage_);
    MessageLanguage = &messageLanguage_;
    Scope = kScopePublic;
  }

  void Message(int level, std::string_view text) override {
    messages.emplace_back(level, std::string(text));
  }

  // The messages of one level, in order.
  std::vector<std::string> messagesAt(int level) const {
    std::vector<std::string> result;
    for (const auto& [messageLevel, text] : messages) {
      if (messageLevel == level) result.push_back(text);
    }
    return result;
  }

  std::vector<std::pair<int, std::string>> messages;

 private:
  lang::TCustomLanguageCenter messageLanguage_;
};

// Options at their initial values for the test, then a project.
struct Model {
  OptionsGuard guard;
  RecordingProject project;

  THUnit& unit(std::string_view text, std::string_view name = "U") {
    return project.AddUnitText(name, text);
  }
  // Every page the build writes, in order, joined with CR LF.
  std::string build() {
    MemoryPageSink sink;
    project.BuildTopics(sink);
    return sink.text();
  }
};

// Text with CR LF shown as "|", for one-line expectations.
inline std::string bars(std::string text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      result += '|';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace holders::testing
