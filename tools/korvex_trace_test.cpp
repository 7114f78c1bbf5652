#include "tools/korvex_trace.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "ipc/ipc_test_env.h"
#include "ipc/test_child.h"
#include "ipc/trace_link.h"
#include "platform/endpoint.h"

namespace tools {
namespace {

using namespace std::chrono_literals;
using ipc_testing::TestChild;

TEST(KorvexTraceArguments, CountAndHelp) {
  struct Case {
    std::vector<std::string> args;
    std::optional<long> count;
    bool help;
    const char* why;
  } cases[] = {
      {{}, std::nullopt, false, "no arguments: run until interrupted"},
      {{"--count", "3"}, 3, false, "a count"},
      {{"--help"}, std::nullopt, true, "help"},
      {{"--count", "1", "--count", "7"}, 7, false, "the last count wins"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const TraceMonitorOptions options = parseTraceMonitorArguments(c.args);
    EXPECT_EQ(c.count, options.count);
    EXPECT_EQ(c.help, options.help);
  }
}

TEST(KorvexTraceArguments, BadCommandLinesAreRefused) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--count"}, "--count needs a number"},
      {{"--count", "0"}, "--count needs a positive whole number, not \"0\""},
      {{"--count", "-2"}, "--count needs a positive whole number, not \"-2\""},
      {{"--count", "3x"}, "--count needs a positive whole number, not \"3x\""},
      {{"--count", "99999999999999999999"},
       "--count needs a positive whole number, not \"99999999999999999999\""},
      {{"/count"}, "unknown argument: /count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THROW_MSG(parseTraceMonitorArguments(c.args), TraceMonitorError, c.message);
  }
}

TEST(KorvexTraceLine, ShowsEveryFieldOnOneLine) {
  struct Case {
    ipc::TraceRecord record;
    const char* line;
    const char* why;
  } cases[] = {
      {{"korvex", 45292.5, 0, "DEBUGGER", "Status", "PROGRAM START"},
       "2024-01-01 12:00:00.000 | korvex | 0 | DEBUGGER | Status | PROGRAM START",
       "an ordinary record"},
      {{"a\r\nb", 45292.5, -3, "", "", "tab\there"},
       "2024-01-01 12:00:00.000 | a??b | -3 |  |  | tab?here",
       "control bytes stay on the line"},
      {{"p", -7, 1, "s", "c", "t"}, "-7 | p | 1 | s | c | t", "a time off the calendar"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.line, formatTraceLine(c.record));
  }
}

class KorvexTrace : public ipc_testing::EndpointDirTest {
 protected:
  // Starts the monitor and waits until its window can be found.
  std::unique_ptr<TestChild> startMonitor(std::vector<std::string> args) {
    args.insert(args.begin(), KORVEX_TRACE_EXE);
    auto monitor = std::make_unique<TestChild>(args);
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (platform::findWindow("Mobrisk CopyData: #7771") == 0 &&
           std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(10ms);
    }
    return monitor;
  }
  int runClient() {
    TestChild client({KORVEX_TRACE_CLIENT_EXE});
    return client.wait(10s).value_or(-1);
  }
  bool directoryIsEmpty() const { return std::filesystem::is_empty(dir_.path()); }
};

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t bar; (bar = line.find(" | ", start)) != std::string::npos; start = bar + 3) {
    fields.push_back(line.substr(start, bar - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

TEST_F(KorvexTrace, ShowsTheThreeRecordsOfATracedProgramRun) {
  auto monitor = startMonitor({"--count", "3"});
  ASSERT_EQ(0, runClient());
  const char* texts[] = {"Debugger located and being used.", "PROGRAM START", "PROGRAM STOP"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const std::string line = monitor->readLine(5s).value_or("(no line)");
    const std::vector<std::string> fields = fieldsOf(line);
    ASSERT_EQ(6u, fields.size()) << line;
    EXPECT_EQ(23u, fields[0].size()) << fields[0];  // YYYY-MM-DD HH:MM:SS.mmm
    EXPECT_EQ("korvex_trace_test_client", fields[1]);
    EXPECT_EQ("0", fields[2]);
    EXPECT_EQ("DEBUGGER", fields[3]);
    EXPECT_EQ("Status", fields[4]);
    EXPECT_EQ(text, fields[5]);
  }
  EXPECT_EQ(0, monitor->wait(5s));
  EXPECT_EQ(std::nullopt, monitor->readLine(100ms));
  EXPECT_TRUE(directoryIsEmpty());
}

#ifdef KORVEX_EXE
TEST_F(KorvexTrace, KorvexWithoutParametersSendsExactlyThreeRecords) {
  auto monitor = startMonitor({"--count", "3"});
  TestChild korvex({KORVEX_EXE});
  EXPECT_EQ(0, korvex.wait(10s));
  const char* texts[] = {"Debugger located and being used.", "PROGRAM START", "PROGRAM STOP"};
  for (const char* text : texts) {
    const std::vector<std::string> fields = fieldsOf(monitor->readLine(5s).value_or(""));
    ASSERT_EQ(6u, fields.size()) << text;
    EXPECT_EQ("korvex", fields[1]);
    EXPECT_EQ("DEBUGGER", fields[3]);
    EXPECT_EQ(text, fields[5]);
  }
  EXPECT_EQ(0, monitor->wait(5s));
}
#endif

TEST_F(KorvexTrace, AnswersTheCheckWith7771Only) {
  auto monitor = startMonitor({});
  const auto window = platform::findWindow("Mobrisk CopyData: #7771");
  ASSERT_NE(0, window);
  const uint32_t check = platform::registerWindowMessage("Mobrisk.CopyData");
  EXPECT_EQ(7771, platform::sendMessage(window, check, 7771, 0));
  EXPECT_EQ(0, platform::sendMessage(window, check, 7772, 0));
}

TEST_F(KorvexTrace, InterruptEndsItCleanly) {
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    auto monitor = startMonitor({});
    ASSERT_FALSE(directoryIsEmpty());
    monitor->signal(signal);
    EXPECT_EQ(0, monitor->wait(2s));
    EXPECT_TRUE(directoryIsEmpty());
  }
}

TEST_F(KorvexTrace, SurvivesBlocksThatAreNoRecords) {
  auto monitor = startMonitor({"--count", "3"});
  ipc::TCopyData sender;
  sender.Logging = false;
  sender.TargetID = 7771;
  ASSERT_TRUE(sender.LocateTarget());
  sender.SendData(0, "garbage", 7);  // number 0, but no record
  sender.SendData(5, "other", 5);    // not a trace record's number
  sender.SendData(0, nullptr, 0);    // nothing at all
  ASSERT_EQ(0, runClient());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(monitor->readLine(5s).has_value());
  EXPECT_EQ(0, monitor->wait(5s));
}

TEST_F(KorvexTrace, ASecondMonitorIsRefused) {
  auto first = startMonitor({});
  TestChild second({KORVEX_TRACE_EXE});
  EXPECT_EQ(1, second.wait(5s));
  const auto window = platform::findWindow("Mobrisk CopyData: #7771");
  EXPECT_NE(0, window);
}

TEST_F(KorvexTrace, ATracedProgramRunsAloneWithoutDelay) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, runClient());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_TRUE(directoryIsEmpty());
}

}  // namespace
}  // namespace tools
