#include "ipc/trace_link.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ipc/copy_data.h"
#include "ipc/ipc_test_env.h"
#include "ipc/trace_record.h"

namespace ipc {
namespace {

using namespace std::chrono_literals;

TEST(TraceText, FormatsLikePrintfForNumbersAndTexts) {
  struct Case {
    const char* format;
    std::initializer_list<TraceArg> args;
    const char* text;
    const char* why;
  } cases[] = {
      {"%d Location %d", {10101, 7771}, "10101 Location 7771", "numbers"},
      {"Target Located: %s (%d)", {"TRUE", 7771}, "Target Located: TRUE (7771)", "mixed"},
      {"PROGRAM START", {}, "PROGRAM START", "no placeholders"},
      {"100%% done", {}, "100% done", "an escaped percent sign"},
      {"%d and %d", {1}, "1 and %d", "a placeholder without an argument stays"},
      {"%x %", {1}, "%x %", "other and trailing percent signs stay"},
      {"%d", {-42}, "-42", "negative"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.text, FormatTraceText(c.format, c.args));
  }
}

// A trace monitor inside the test: channel 7771 collecting the records.
class TraceLinkTest : public ipc_testing::EndpointDirTest {
 protected:
  std::unique_ptr<TCopyData> startMonitor() {
    auto monitor = std::make_unique<TCopyData>();
    monitor->Logging = false;
    monitor->SetID(kTraceMonitorID);
    monitor->OnIncoming = [this](TCopyData&, int32_t number, const void* data, int32_t size) {
      EXPECT_EQ(0, number);
      records_.push_back(DecodeTraceRecord(
          std::string(static_cast<const char*>(data), static_cast<size_t>(size))));
      return 0;
    };
    return monitor;
  }
  std::vector<TraceRecord> records_;
};

TEST_F(TraceLinkTest, AMonitorSeesStartAndStopOfTheProgram) {
  auto monitor = startMonitor();
  StartTraceLink("C:\\Apps\\korvex.exe");
  ASSERT_NE(nullptr, TraceLink());
  EXPECT_EQ(kTraceLinkID, TraceLink()->ID());
  EXPECT_FALSE(TraceLink()->Logging);
  StopTraceLink();
  EXPECT_EQ(nullptr, TraceLink());
  const char* texts[] = {"Debugger located and being used.", "PROGRAM START", "PROGRAM STOP"};
  ASSERT_EQ(3u, records_.size());
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(texts[i]);
    EXPECT_EQ("korvex.exe", records_[i].Program);
    EXPECT_NEAR(LocalDateTimeNow(), records_[i].Time, 5.0 / 86400);
    EXPECT_EQ(0, records_[i].Kind);
    EXPECT_EQ("DEBUGGER", records_[i].Source);
    EXPECT_EQ("Status", records_[i].Category);
    EXPECT_EQ(texts[i], records_[i].Text);
  }
}

TEST_F(TraceLinkTest, ProgramNameDefaultsToTheRunningExecutable) {
  StartTraceLink();
  EXPECT_EQ("ipc_test", ModuleName());
}

TEST_F(TraceLinkTest, StartingTwiceStartsOnce) {
  auto monitor = startMonitor();
  StartTraceLink("one");
  StartTraceLink("two");
  EXPECT_EQ(2u, records_.size());
  EXPECT_EQ("one", ModuleName());
}

TEST_F(TraceLinkTest, WithoutAMonitorNothingIsSentEvenToOneStartedLater) {
  const auto start = std::chrono::steady_clock::now();
  StartTraceLink("prog");
  ASSERT_NE(nullptr, TraceLink());
  EXPECT_EQ(0, TraceLink()->Target);
  auto monitor = startMonitor();
  Trace(1, "DEBUGGER", "Status", "late");
  StopTraceLink();
  EXPECT_TRUE(records_.empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

TEST_F(TraceLinkTest, AMonitorThatWentAwayIsSkippedSilently) {
  auto monitor = startMonitor();
  StartTraceLink("prog");
  monitor.reset();
  const auto start = std::chrono::steady_clock::now();
  Trace(1, "DEBUGGER", "Status", "lost");
  StopTraceLink();
  EXPECT_EQ(2u, records_.size());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

TEST_F(TraceLinkTest, TraceCarriesKindSourceCategoryAndFormattedText) {
  auto monitor = startMonitor();
  StartTraceLink("prog");
  records_.clear();
  Trace(9, "Src", "Cat", "%s=%d", {"x", 5});
  ASSERT_EQ(1u, records_.size());
  EXPECT_EQ(9, records_[0].Kind);
  EXPECT_EQ("Src", records_[0].Source);
  EXPECT_EQ("Cat", records_[0].Category);
  EXPECT_EQ("x=5", records_[0].Text);
}

TEST_F(TraceLinkTest, AnUnusableEndpointDirectoryLeavesTheLinkDown) {
  const std::string file = dir_.write("not-a-directory", "");
  ::setenv("KORVEX_ENDPOINT_DIR", file.c_str(), 1);
  {
    TraceSession session("prog");
    EXPECT_EQ(nullptr, TraceLink());
    Trace(0, "DEBUGGER", "Status", "nowhere");
  }
  EXPECT_EQ(nullptr, TraceLink());
}

}  // namespace
}  // namespace ipc
