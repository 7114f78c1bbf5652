#include "console/console_project.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

namespace console {
namespace {

// A buffer that takes the first `room` bytes and refuses the rest, as a
// full disk or a closed pipe does.
class FillingBuffer : public std::streambuf {
 public:
  explicit FillingBuffer(size_t room) : room_(room) {}
  std::string taken;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()) || taken.size() >= room_) {
      return traits_type::eof();
    }
    taken += traits_type::to_char_type(c);
    return c;
  }

 private:
  size_t room_;
};

TEST(ConsoleMessages, GoOutOneToALine) {
  std::ostringstream out;
  THelpConsoleProject project("", out);
  project.Message(0, "Adding unit:a.pas");
  project.Message(3, "");
  project.Message(1, "Parsing constant:X");
  EXPECT_EQ(out.str(), "Adding unit:a.pas\n\nParsing constant:X\n");
  EXPECT_TRUE(out.good());
}

TEST(ConsoleMessages, AFailedWriteMarksTheStreamBad) {
  FillingBuffer buffer(10);
  std::ostream out(&buffer);
  THelpConsoleProject project("", out);
  project.Message(0, "first");
  EXPECT_TRUE(out.good());
  project.Message(0, "second line");
  EXPECT_TRUE(out.bad());
  project.Message(0, "third");  // refused quietly, like any write to a bad stream
  EXPECT_EQ(buffer.taken, "first\nseco");
}

TEST(ConsoleMessages, AreKeptWhileResultsAreAsked) {
  std::ostringstream out;
  THelpConsoleProject project("", out);
  project.UseResults = true;
  project.Message(0, "kept");
  EXPECT_EQ(project.Results, std::vector<std::string>{"kept"});
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace console
