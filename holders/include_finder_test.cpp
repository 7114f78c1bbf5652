#include "holders/include_finder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/support/test_support.h"

namespace holders {
namespace {

using testing_support::TempDir;

TEST(IncludeFinder, TheFirstAbsoluteDirectoryHoldingTheFileWins) {
  TempDir dir;
  dir.write("a/other.inc", "");
  dir.write("b/common.inc", "");
  dir.write("c/Common.Inc", "");
  IncludeFinder finder;
  const std::vector<std::string> directories = {dir.path() + "/a/", dir.path() + "/a/",
                                                dir.path() + "/b/", dir.path() + "/c/"};
  EXPECT_EQ(finder.find("COMMON.INC", directories), dir.path() + "/b/COMMON.INC");
  EXPECT_EQ(finder.find("MISSING.INC", directories), "MISSING.INC") << "used as given";
}

TEST(IncludeFinder, DirectoriesAddedLaterAreSearchedForNamesNotFoundYet) {
  TempDir dir;
  dir.write("late/late.inc", "");
  IncludeFinder finder;
  std::vector<std::string> directories = {dir.path() + "/early/"};
  EXPECT_EQ(finder.find("LATE.INC", directories), "LATE.INC");
  directories.push_back(dir.path() + "/late/");
  EXPECT_EQ(finder.find("LATE.INC", directories), dir.path() + "/late/LATE.INC");
}

// A plain name is looked up among the files of every directory listed so
// far at once; what it finds must be what trying the directories in turn
// finds, as the list grows between lookups.
TEST(IncludeFinder, APlainNameIsFoundInTheFirstDirectoryHoldingItAsTheListGrows) {
  TempDir dir;
  std::vector<std::string> directories;
  for (int d = 0; d < 60; ++d) {
    directories.push_back(dir.path() + "/d" + std::to_string(d) + "/");
    dir.write("d" + std::to_string(d) + "/filler" + std::to_string(d) + ".inc", "");
  }
  dir.write("d45/Shared.inc", "");
  dir.write("d52/SHARED.INC", "");
  dir.write("d3/early.inc", "");
  IncludeFinder finder;
  const std::vector<std::string> first(directories.begin(), directories.begin() + 30);
  EXPECT_EQ(finder.find("SHARED.INC", first), "SHARED.INC") << "in none of the first 30";
  EXPECT_EQ(finder.find("SHARED.INC", directories), dir.path() + "/d45/SHARED.INC");
  EXPECT_EQ(finder.locate("SHARED.INC", directories).path, dir.path() + "/d45/Shared.inc");
  EXPECT_EQ(finder.find("EARLY.INC", directories), dir.path() + "/d3/EARLY.INC");
  EXPECT_EQ(finder.find("FILLER59.INC", directories), dir.path() + "/d59/FILLER59.INC");
}

TEST(IncludeFinder, NamesWithADirectoryPartAreLookedUpAsGiven) {
  TempDir dir;
  dir.write("src/inc/deep.inc", "");
  IncludeFinder finder;
  EXPECT_EQ(finder.find("INC\\DEEP.INC", {dir.path() + "/src/"}),
            dir.path() + "/src/INC\\DEEP.INC");
}

// Finders on several threads list directories through one set of listings
// (run under the sanitizers, this also shows they do so without a race);
// each finds what a finder of its own would.
TEST(IncludeFinder, FindersSharingListingsFindWhatALoneFinderFinds) {
  TempDir dir;
  std::vector<std::string> directories;
  std::vector<std::string> names;
  for (int d = 0; d < 40; ++d) {
    const std::string sub = "d" + std::to_string(d);
    directories.push_back(dir.path() + "/" + sub + "/");
    dir.write(sub + "/Own" + std::to_string(d) + ".inc", "");
    names.push_back("OWN" + std::to_string(d) + ".INC");
  }
  names.push_back("NOWHERE.INC");
  const auto findAll = [&](IncludeFinder& finder) {
    std::vector<IncludeFinder::Located> found;
    for (const std::string& name : names) found.push_back(finder.locate(name, directories));
    return found;
  };
  IncludeFinder alone;
  const std::vector<IncludeFinder::Located> expected = findAll(alone);
  DirectoryListings shared;
  std::vector<std::vector<IncludeFinder::Located>> results(4);
  {
    std::vector<std::jthread> threads;
    for (auto& result : results) {
      threads.emplace_back([&] {
        IncludeFinder finder(&shared);
        result = findAll(finder);
      });
    }
  }
  for (const auto& result : results) {
    ASSERT_EQ(result.size(), expected.size());
    for (size_t i = 0; i < result.size(); ++i) {
      EXPECT_EQ(result[i].name, expected[i].name);
      EXPECT_EQ(result[i].path, expected[i].path);
    }
  }
  EXPECT_EQ(expected.front().path, dir.path() + "/d0/Own0.inc");
}

// Runs a test body in another current directory.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path saved_;
};

TEST(IncludeFinder, ARelativeDirectoryExtendsTheNameForTheLaterOnes) {
  TempDir dir;
  dir.write("src/x.inc", "");
  dir.write("lib/src/x.inc", "");
  const CurrentDirectory inside(dir.path());
  IncludeFinder finder;
  EXPECT_EQ(finder.find("X.INC", {"src/", "lib/"}), "lib/src/X.INC");
}

TEST(IncludeFinder, LocatesTheFileAsItIsSpelledOnDisk) {
  TempDir dir;
  dir.write("src/Inc/Deep.inc", "");
  dir.write("src/shared.inc", "");
  dir.write("src/Shared.inc", "");
  dir.write("lib/x.inc", "");
  dir.write("cwd/local.inc", "");
  const CurrentDirectory inside(dir.path() + "/cwd");
  IncludeFinder finder;
  const std::vector<std::string> directories = {dir.path() + "/src/"};
  struct Case {
    const char* name;
    std::string path;
  } cases[] = {
      {"INC\\DEEP.INC", dir.path() + "/src/Inc/Deep.inc"},
      {"SHARED.INC", dir.path() + "/src/Shared.inc"},  // first in byte order
      {"..\\LIB\\X.INC", dir.path() + "/src/../lib/x.inc"},
      {"LOCAL.INC", "./local.inc"},  // no directory holds it: as given
      {"NOWHERE\\X.INC", ""},
      {"..\\NOWHERE\\..\\LIB\\X.INC", ""},
      {"MISSING.INC", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(finder.locate(c.name, directories).path, c.path);
    EXPECT_EQ(finder.locate(c.name, directories).path, c.path) << "asked again";
  }
}

}  // namespace
}  // namespace holders
