#include "bench/unit_file.h"

#include <gtest/gtest.h>

#include <string>

namespace bench {
namespace {

TEST(UnitFile, FirstTokenDecides) {
  struct Row {
    std::string text;
    bool unit;
    const char* why;
  };
  const Row rows[] = {
      {"unit Foo;\ninterface\nend.", true, "plain unit"},
      {"UNIT Foo;", true, "keywords ignore case"},
      {"  \t\r\n\r\nUnit Foo;", true, "blanks and line breaks first"},
      {"{$mode objfpc}{$H+}\nunit Foo;", true, "directives first"},
      {"{ licence\n  text }\n(* more\n *)\nunit Foo;", true, "block comments over lines"},
      {"// header\nunit Foo;", true, "a // comment ends at an LF line end"},
      {"// header\runit Foo;", true, "... and at a CR alone"},
      {"\xEF\xBB\xBFunit Foo;", true, "a UTF-8 byte order mark is skipped"},
      {"program Foo;\nbegin end.", false, "program"},
      {"library Foo;", false, "library"},
      {"package Foo;", false, "package (an identifier)"},
      {"{$i inc.inc}\nprocedure X;", false, "include file"},
      {"units Foo;", false, "a longer word"},
      {"{ unit Foo; }\nprogram P;", false, "the word inside a comment"},
      {"", false, "empty file"},
      {"{ never closed\nunit Foo;", false, "an unclosed comment swallows the rest"},
      {std::string("\0unit Foo;", 10), false, "the text ends at a NUL"},
      {"\xEF\xBB unit Foo;", false, "a partial byte order mark is text"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.unit, startsWithUnit(row.text));
  }
}

}  // namespace
}  // namespace bench
