// Whole-program tests of the HTML output: the format switch against the
// OutputFormat setting, the usage line of the switch, and the bundled example
// documented as a site, checked page by page, and opened in a browser when
// one is installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "platform/files.h"
#include "tests/e2e/demo_project.h"
#include "tests/e2e/korvex_sandbox.h"
#include "tests/e2e/sample_units.h"
#include "tools/helpcheck_html.h"

namespace {

using testing_support::DemoProject;
using testing_support::KorvexSandbox;
using testing_support::RunResult;

class KorvexFormat : public ::testing::Test {
 protected:
  KorvexFormat() { sandbox_.writeWork("One.pas", testing_support::kUnitOne); }

  // "HTML" when the run wrote the site OUT/, "RTF" when it wrote OUT.RTF.
  std::string formatWritten(const std::vector<std::string>& arguments) {
    const RunResult result = sandbox_.run(arguments);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    const bool site = std::filesystem::is_directory(sandbox_.workDir() + "/OUT");
    const bool rtf = sandbox_.workFileExists("OUT.RTF");
    std::filesystem::remove_all(sandbox_.workDir() + "/OUT");
    std::filesystem::remove(sandbox_.workDir() + "/OUT.RTF");
    return site && !rtf ? "HTML" : rtf && !site ? "RTF" : "neither or both";
  }

  KorvexSandbox sandbox_;
};

TEST_F(KorvexFormat, SwitchOverridesTheSettingWhichDefaultsToRtf) {
  struct Row {
    const char* setting;  // OutputFormat in the work directory's KORVEX.INI, or null
    std::vector<std::string> switches;
    const char* written;
    const char* why;
  };
  const Row rows[] = {
      {nullptr, {}, "RTF", "no setting, no switch: the old output"},
      {"HTML", {}, "HTML", "the setting alone"},
      {"html", {}, "HTML", "in any capitals"},
      {"HTML", {"/fRTF"}, "RTF", "the switch wins over the setting"},
      {"RTF", {"/fhtml"}, "HTML", "both ways"},
      {nullptr, {"/fHTML", "/fRTF"}, "HTML", "the first switch counts, as for every switch"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    sandbox_.writeWork("KORVEX.INI",
                       row.setting == nullptr
                           ? std::string()
                           : std::string("[Options]\r\nOutputFormat=") + row.setting + "\r\n");
    std::vector<std::string> arguments{"/uOne.pas", "/hOUT"};
    arguments.insert(arguments.end(), row.switches.begin(), row.switches.end());
    EXPECT_EQ(row.written, formatWritten(arguments));
  }
}

TEST_F(KorvexFormat, AnUnknownFormatEndsTheRunBeforeAnythingIsWritten) {
  const RunResult result = sandbox_.run({"/uOne.pas", "/hOUT", "/fPDF"});
  EXPECT_EQ(1, result.exitStatus);
  EXPECT_EQ("korvex: unknown output format PDF: use RTF or HTML\n", result.err);
  EXPECT_EQ(std::vector<std::string>{"One.pas"}, sandbox_.workFiles());
}

TEST_F(KorvexFormat, HelpAddsTheFormatLineAfterTheUsage) {
  const std::string usage = sandbox_.run({}).out;
  const RunResult help = sandbox_.run({"--help"});
  EXPECT_EQ(0, help.exitStatus);
  EXPECT_EQ(usage +
                "Format: /fRTF (Windows Help project, the default) or /fHTML (web pages and "
                "HTML Help)\n",
            help.out);
  EXPECT_EQ(std::string::npos, usage.find("/fRTF")) << "the plain usage stays as it was";
}

TEST_F(KorvexFormat, TheFormatLineIsTranslatable) {
  sandbox_.writeInterfaceLanguage(
      "Deutsch.lnf", "DEU", "Deutsch",
      {{lang::BaseLang::kUsageFormatSwitch, "Format: /fRTF oder /fHTML"}});
  sandbox_.writeProgram("Vantro.INI", "[Form Storage]\r\nedtDONOTTRANSLATE_Text=Deutsch\r\n");
  const std::string help = sandbox_.run({"--help"}).out;
  EXPECT_TRUE(help.ends_with("\nFormat: /fRTF oder /fHTML\n")) << help;
}

// The example documented as a site, as `make demo` does it.
class KorvexHtmlDemo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new DemoProject;
    result_ = new RunResult(demo_->build({"/fHTML"}));
  }
  static void TearDownTestSuite() {
    delete result_;
    delete demo_;
  }
  static std::string site() { return demo_->outputDir() + "/SHAPES"; }

  static DemoProject* demo_;
  static RunResult* result_;
};

DemoProject* KorvexHtmlDemo::demo_ = nullptr;
RunResult* KorvexHtmlDemo::result_ = nullptr;

TEST_F(KorvexHtmlDemo, WritesTheSiteInsteadOfTheHelpProject) {
  ASSERT_EQ(0, result_->exitStatus) << result_->err;
  EXPECT_FALSE(platform::fileExists(demo_->output(".RTF")));
  for (const char* file : {"index.html", "alphabetical.html", "search_data.js", "korvex.css",
                           "search.js", "SHAPES.hhp", "SHAPES.hhc", "SHAPES.hhk",
                           "Type_Shapes_TShape.html", "Properties_Shapes_TShape.html",
                           "Sample_Shapes_TShape.html", "Method_Shapes_TShape_Draw.html"}) {
    EXPECT_TRUE(platform::fileExists(site() + "/" + file)) << file;
  }
  EXPECT_NE(std::string::npos, result_->out.find("Build to file:"));
}

TEST_F(KorvexHtmlDemo, HelpcheckFindsNothing) {
  ASSERT_EQ(0, result_->exitStatus) << result_->err;
  std::vector<std::string> findings;
  for (const tools::Finding& finding : tools::checkHtmlSite(tools::readHtmlSite(site())))
    findings.push_back(tools::formatFinding(finding));
  EXPECT_EQ(std::vector<std::string>{}, findings);
  // The component bitmap TShape names is brought beside the pages.
  EXPECT_EQ(testing_support::readBytes(testing_support::sourceDir() + "/examples/shapes/SHAPE.BMP"),
            testing_support::readBytes(site() + "/SHAPE.BMP"));
}

TEST_F(KorvexHtmlDemo, CompilesTheChmWhenChmcmdIsInstalled) {
  if (!std::filesystem::exists("/usr/bin/chmcmd")) {
    GTEST_SKIP() << "chmcmd is not installed; korvex leaves SHAPES.hhp to compile";
  }
  EXPECT_GT(std::filesystem::file_size(site() + "/SHAPES.chm"), 0u);
  EXPECT_NE(std::string::npos, result_->out.find("SHAPES/SHAPES.chm\n")) << result_->out;
  EXPECT_EQ(std::string::npos, result_->out.find("HTML Help compiler:Error")) << result_->out;
  if (!std::filesystem::exists("/usr/bin/chmls")) return;
  const RunResult listed =
      testing_support::runProgram("/usr/bin/chmls", {"-n", "list", site() + "/SHAPES.chm"});
  ASSERT_EQ(0, listed.exitStatus) << listed.err;
  int pages = 0;
  for (const auto& entry : std::filesystem::directory_iterator(site())) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".html")) continue;
    ++pages;
    EXPECT_NE(std::string::npos, listed.out.find("/" + name + "\n"))
        << name << " is not in the CHM";
  }
  EXPECT_GT(pages, 50);
}

// Loads the contents page and a class page in headless Chromium, follows
// the class page's first link to a member list, and leaves a screenshot of
// the class page in the temporary directory for a person to look at.
TEST_F(KorvexHtmlDemo, BrowserShowsThePages) {
  const char* browser = "/usr/bin/chromium";
  if (!std::filesystem::exists(browser)) {
    GTEST_SKIP() << "chromium is not installed (scripts/setup leaves it out); no browser test";
  }
  const auto dom = [&](const std::string& page) {
    testing_support::RunOptions options;
    options.timeout = std::chrono::seconds(60);
    return testing_support::runProgram(
        browser,
        {"--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=2000", "--dump-dom",
         "file://" + site() + "/" + page},
        options);
  };
  const RunResult contents = dom("index.html");
  ASSERT_EQ(0, contents.exitStatus) << contents.err;
  EXPECT_NE(std::string::npos, contents.out.find("<a href=\"Unit_Shapes.html\">Shapes</a>"));

  const RunResult type = dom("Type_Shapes_TShape.html");
  ASSERT_EQ(0, type.exitStatus) << type.err;
  std::smatch link;
  ASSERT_TRUE(
      std::regex_search(type.out, link, std::regex("class=\"banner\"><a href=\"([^\"]+)\"")));
  const RunResult followed = dom(link[1]);
  EXPECT_NE(std::string::npos, followed.out.find("<h1>TShape Properties</h1>")) << followed.out;

  testing_support::RunOptions options;
  options.timeout = std::chrono::seconds(60);
  const std::string shot =
      (std::filesystem::temp_directory_path() / "korvex-demo-TShape.png").string();
  const RunResult screenshot = testing_support::runProgram(
      browser,
      {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--window-size=1000,700",
       "--screenshot=" + shot, "file://" + site() + "/Type_Shapes_TShape.html"},
      options);
  EXPECT_EQ(0, screenshot.exitStatus) << screenshot.err;
  EXPECT_GT(std::filesystem::file_size(shot), 1000u);
  RecordProperty("screenshot", shot);
}

}  // namespace
