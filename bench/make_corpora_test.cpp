// bench/make-corpora over a small stand-in for the Free Pascal source tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"

namespace bench {
namespace {

using testing_support::TempDir;

class MakeCorpora : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_ = dir_.path() + "/fpc";
    dir_.write("fpc/rtl/objpas/sysutils.pp", "{$mode objfpc}\nunit sysutils;");
    dir_.write("fpc/rtl/objpas/sysutils.inc", "procedure P;");
    dir_.write("fpc/rtl/inc/system.pp", "unit system;");
    dir_.write("fpc/packages/fcl-base/src/b.pas", "UNIT b;");
    dir_.write("fpc/packages/fcl-base/src/A.PP", "// a\nunit A;");
    dir_.write("fpc/packages/fcl-base/src/prog.pp", "program prog;");
    dir_.write("fpc/packages/fcl-xml/src/xml.pp", "unit xml;");
    dir_.write("fpc/packages/fcl-json/src/json.pas", "unit json;");
    dir_.write("fpc/packages/other/src/other.pp", "(* x *) unit other;");
    dir_.write("fpc/packages/other/src/other.txt", "unit text;");
  }

  // Runs the script; its exit status.
  int run(const std::string& tree) {
    const std::string command = testing_support::sourceDir() + "/bench/make-corpora -s '" + tree +
                                "' -o '" + out() + "' -b '" + KORVEX_BUILD_DIR +
                                "' >/dev/null 2>&1";
    return std::system(command.c_str());
  }
  std::string out() const { return dir_.path() + "/out"; }
  std::string list(const std::string& name) const {
    return testing_support::readBytes(out() + "/" + name + ".list");
  }

  TempDir dir_;
  std::string tree_;
};

TEST_F(MakeCorpora, ListsUnitFilesOfEachCorpusInByteOrder) {
  ASSERT_EQ(0, run(tree_));
  const std::string p = tree_ + "/packages/";
  EXPECT_EQ(tree_ + "/rtl/objpas/sysutils.pp\n", list("small"));
  EXPECT_EQ(p + "fcl-base/src/A.PP\n" + p + "fcl-base/src/b.pas\n" + p + "fcl-json/src/json.pas\n" +
                p + "fcl-xml/src/xml.pp\n",
            list("medium"));
  EXPECT_EQ(p + "fcl-base/src/A.PP\n" + p + "fcl-base/src/b.pas\n" + p + "fcl-json/src/json.pas\n" +
                p + "fcl-xml/src/xml.pp\n" + p + "other/src/other.pp\n",
            list("large"));
  EXPECT_EQ(list("large") + tree_ + "/rtl/inc/system.pp\n" + tree_ + "/rtl/objpas/sysutils.pp\n",
            list("tree"));
}

TEST_F(MakeCorpora, WritesAConfigurationPerCorpus) {
  ASSERT_EQ(0, run(tree_));
  EXPECT_EQ(
      "; Benchmark corpus \"small\", written by bench/make-corpora.\r\n"
      "[Options]\r\nKorvexProjectName=SMALL\r\n[Files]\r\n" +
          tree_ + "/rtl/objpas/sysutils.pp=\r\n",
      testing_support::readBytes(out() + "/small/KORVEX.INI"));
}

TEST_F(MakeCorpora, RefusesPathsThatCannotBeKeys) {
  dir_.write("odd=name/rtl/objpas/u.pp", "unit u;");
  dir_.write("odd=name/packages/fcl-base/src/x.pp", "");
  dir_.write("odd=name/packages/fcl-xml/src/x.pp", "");
  dir_.write("odd=name/packages/fcl-json/src/x.pp", "");
  EXPECT_NE(0, run(dir_.path() + "/odd=name"));
}

TEST_F(MakeCorpora, RefusesATreeWithoutRtlAndPackages) {
  EXPECT_NE(0, run(tree_ + "/rtl"));
}

}  // namespace
}  // namespace bench
